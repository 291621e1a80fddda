#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "app/main_wizard.h"
#include "app/wizard_navigation.h"
#include "components/log/viewer_ids.h"
#include "res/resource.h"
#include "tests/support/file_tree.h"
#include "tests/support/lock_elsewhere.h"
#include "tests/support/log_component.h"
#include "tests/support/scan_driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"

namespace {

class MainWizardTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(wizard.CreateModeless(nullptr)); }
    void TearDown() override {
        DestroyWindow(wizard.Hwnd());
        PumpMessages();
    }
    HWND Button(int id) { return GetDlgItem(wizard.Hwnd(), id); }
    bool Enabled(int id) { return IsWindowEnabled(Button(id)) != FALSE; }
    bool Visible(int id) { return (GetWindowLongA(Button(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    void GoTo(int index) {
        wizard.ShowPage(index);
        wizard.UpdateButtons(index);
    }
    // On the scanning or cleaning page, as it stands after its worker ended.
    void GoToAfterTheRun(int index) {
        GoTo(index);
        EnableWindow(Button(IDC_WIZARD_BACK), TRUE);
        EnableWindow(Button(IDC_WIZARD_NEXT), TRUE);
    }
    void AddReportRow(bool checked) {
        HWND list = GetDlgItem(wizard.reportPage.Hwnd(), IDC_REPORT_LIST);
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<char*>("C:\\junk.tmp");
        int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        ListView_SetCheckState(list, row, checked);
    }
    // A scan started from here searches an empty folder of the test's own, never the drives or the
    // shell's folders.
    TempFolder scanRoot;  // outlives the wizard and its worker
    MainWizard wizard;
};

}  // namespace

TEST_F(MainWizardTest, OpensOnTheWelcomePageWithEveryPageInThePageArea) {
    EXPECT_EQ(wizard.CurrentPage(), kWelcomePage);
    EXPECT_FALSE(Enabled(IDC_WIZARD_BACK));
    EXPECT_TRUE(Enabled(IDC_WIZARD_NEXT));
    EXPECT_TRUE(Enabled(IDC_WIZARD_HELP));
    EXPECT_TRUE(Enabled(IDC_WIZARD_CANCEL));
    EXPECT_EQ(Text(wizard.Hwnd()), "Tidyhold (0.1.0)");  // from the version resource

    HWND area = GetDlgItem(wizard.Hwnd(), IDC_WIZARD_PANE);
    RECT areaRect{};
    GetClientRect(area, &areaRect);
    const WizardPage* pages[] = {&wizard.welcomePage, &wizard.folderPage, &wizard.junkFilesPage,
                                 &wizard.optionsPage, &wizard.skipFoldersPage, &wizard.scanPage,
                                 &wizard.reportPage, &wizard.cleanOptionsPage, &wizard.cleaningPage,
                                 &wizard.resultsPage};
    for (int i = 0; i < kPageCount; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(IsWindow(pages[i]->Hwnd()));
        EXPECT_EQ(GetParent(pages[i]->Hwnd()), area);
        EXPECT_EQ((GetWindowLongA(pages[i]->Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0, i == 0);
        GoTo(i);
        RECT pageRect{};
        GetWindowRect(pages[i]->Hwnd(), &pageRect);
        MapWindowPoints(nullptr, area, reinterpret_cast<POINT*>(&pageRect), 2);
        EXPECT_EQ(pageRect.left, 0);
        EXPECT_EQ(pageRect.right, areaRect.right);
        EXPECT_EQ(pageRect.bottom, areaRect.bottom);
    }
    // The menu bar: File, Tools, Help with their items.
    HMENU menu = GetMenu(wizard.Hwnd());
    ASSERT_TRUE(menu);
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 0), static_cast<UINT>(IDM_EXIT));
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 1), 0), static_cast<UINT>(IDM_RESCUE_MANAGER));
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 2), 4), static_cast<UINT>(IDM_ABOUT));
}

TEST_F(MainWizardTest, NextAndBackWalkTheSettingsPages) {
    for (int i = kFolderPage; i <= kSkipFoldersPage; ++i) {
        Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
        EXPECT_EQ(wizard.CurrentPage(), i);
        EXPECT_TRUE(Enabled(IDC_WIZARD_BACK));
        EXPECT_TRUE(Enabled(IDC_WIZARD_NEXT));
    }
    for (int i = kOptionsPage; i >= kWelcomePage; --i) {
        Click(wizard.Hwnd(), IDC_WIZARD_BACK);
        EXPECT_EQ(wizard.CurrentPage(), i);
    }
    EXPECT_FALSE(Enabled(IDC_WIZARD_BACK));
    Command(wizard.Hwnd(), IDC_WIZARD_BACK);  // Back on the welcome page goes nowhere
    EXPECT_EQ(wizard.CurrentPage(), kWelcomePage);
}

TEST_F(MainWizardTest, TheScanPageHoldsTheButtonsUntilTheWorkerReportsItsEnd) {
    ScanOnly(wizard, {scanRoot.Path()});
    GoTo(kSkipFoldersPage);
    Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
    EXPECT_EQ(wizard.CurrentPage(), kScanPage);
    EXPECT_FALSE(Enabled(IDC_WIZARD_BACK));
    EXPECT_FALSE(Enabled(IDC_WIZARD_NEXT));
    // The end comes through the message loop, not from inside Next.
    ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_WIZARD_NEXT); }));
    EXPECT_TRUE(Enabled(IDC_WIZARD_BACK));
    EXPECT_FALSE(wizard.scanPage.IsRunning());
}

TEST_F(MainWizardTest, NothingFoundLeadsStraightToTheFinalPage) {
    GoToAfterTheRun(kScanPage);
    Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    EXPECT_EQ(wizard.CurrentPage(), kResultsPage);
    EXPECT_FALSE(Visible(IDC_WIZARD_BACK));
    EXPECT_FALSE(Visible(IDC_WIZARD_NEXT));
    EXPECT_EQ(Text(Button(IDC_WIZARD_CANCEL)), "_FinishButton");  // no language file here: the key
    Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    Command(wizard.Hwnd(), IDC_WIZARD_BACK);
    EXPECT_EQ(wizard.CurrentPage(), kResultsPage);
    GoTo(kFolderPage);  // once hidden, Back and Next never come back
    EXPECT_FALSE(Visible(IDC_WIZARD_BACK));
    EXPECT_FALSE(Visible(IDC_WIZARD_NEXT));
}

TEST_F(MainWizardTest, FoundFilesLeadToTheReport) {
    wizard.scanPage.found["C:\\junk.tmp"] = "Temporary files";
    GoToAfterTheRun(kScanPage);
    Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    EXPECT_EQ(wizard.CurrentPage(), kReportPage);
    EXPECT_TRUE(Enabled(IDC_WIZARD_BACK));
    EXPECT_TRUE(Enabled(IDC_WIZARD_NEXT));
}

TEST_F(MainWizardTest, TheReportGoesOnOnlyWithACheckedRow) {
    struct Case {
        const char* name;
        std::vector<bool> rows;
        int expected;
    };
    const Case cases[] = {
        {"empty list", {}, kResultsPage},
        {"all unchecked", {false, false}, kResultsPage},
        {"one checked", {false, true}, kCleanOptionsPage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListView_DeleteAllItems(GetDlgItem(wizard.reportPage.Hwnd(), IDC_REPORT_LIST));
        for (bool checked : c.rows) AddReportRow(checked);
        GoTo(kReportPage);
        Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
        EXPECT_EQ(wizard.CurrentPage(), c.expected);
    }
}

TEST_F(MainWizardTest, CleaningRunsBetweenTheCleanOptionsAndTheEnd) {
    GoTo(kCleanOptionsPage);
    Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    EXPECT_EQ(wizard.CurrentPage(), kCleaningPage);
    EXPECT_FALSE(Enabled(IDC_WIZARD_BACK));
    EXPECT_FALSE(Enabled(IDC_WIZARD_NEXT));
    ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_WIZARD_NEXT); }));  // nothing checked: a run with no file
    EXPECT_FALSE(wizard.cleaningPage.IsRunning());
    Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    EXPECT_EQ(wizard.CurrentPage(), kResultsPage);
    EXPECT_EQ(Text(GetDlgItem(wizard.resultsPage.Hwnd(), IDC_RESULTS_SUMMARY)).rfind("_CleanerResultsRemoved", 0), 0u);
}

TEST_F(MainWizardTest, ClosingIsRefusedWhileACleaningRuns) {
    HeldWorkers held;
    ScriptedMessageBoxes boxes;
    GoTo(kCleanOptionsPage);
    Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    ASSERT_TRUE(wizard.cleaningPage.IsRunning());
    SendMessageA(wizard.Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(wizard.Hwnd()));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "_CancelRequestThreadExit");
    held.Release();
    ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_WIZARD_NEXT); }));
}

// A logoff waits while a cleaning runs; when the session ends anyway the cleaning stops between
// two files, its records written, before the answer returns.
TEST_F(MainWizardTest, ASessionEndingDuringACleaningWaitsThenStopsIt) {
    HeldWorkers held;
    GoTo(kCleanOptionsPage);
    Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    ASSERT_TRUE(wizard.cleaningPage.IsRunning());
    EXPECT_EQ(SendMessageA(wizard.Hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
    held.Release();
    SendMessageA(wizard.Hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(wizard.cleaningPage.IsRunning());
    EXPECT_EQ(SendMessageA(wizard.Hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
}

// No keeps the page and the files; Next, Back and Cancel while the box is open do nothing.
TEST_F(MainWizardTest, RemovingForGoodWithoutABackupAsksFirst) {
    HeldWorkers held;
    ScriptedMessageBoxes boxes;
    MakeFile(scanRoot / "a.tmp");
    wizard.reportPage.FillReport({{scanRoot / "a.tmp", "Temporary files"}});
    GoTo(kCleanOptionsPage);
    SetChecked(wizard.cleanOptionsPage.Hwnd(), IDC_CLEAN_BACKUP, false);  // permanent is the default
    MessageBoxFunction scripted = MessageBoxHandler();
    bool open = false;  // a box asked from inside the first is answered, not driven again
    MessageBoxHandler() = [&](HWND owner, const std::string& text, const std::string& caption, UINT style) {
        if (!std::exchange(open, true))
            for (int id : {IDC_WIZARD_NEXT, IDC_WIZARD_BACK, IDC_WIZARD_CANCEL}) Command(wizard.Hwnd(), id);
        open = false;
        return scripted(owner, text, caption, style);
    };
    for (int answer : {IDNO, IDYES}) {
        boxes.Answer(answer);
        Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
        EXPECT_EQ(wizard.CurrentPage(), answer == IDYES ? kCleaningPage : kCleanOptionsPage);
        EXPECT_TRUE(Exists(scanRoot / "a.tmp"));
    }
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "_DeleteForGoodConfirm");
    EXPECT_EQ(boxes.shown[0].style & (MB_TYPEMASK | MB_DEFMASK), static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2));
    MessageBoxHandler() = scripted;
}

// The answer to the delete-for-good question comes first; then another's cleaning keeps the files.
TEST_F(MainWizardTest, OneCleaningAtATimeOnTheMachine) {
    ScriptedMessageBoxes boxes;
    MakeFile(scanRoot / "a.tmp");
    wizard.reportPage.FillReport({{scanRoot / "a.tmp", "Temporary files"}});
    GoTo(kCleanOptionsPage);
    SetChecked(wizard.cleanOptionsPage.Hwnd(), IDC_CLEAN_BACKUP, false);
    {
        LockElsewhere other;
        ASSERT_TRUE(other.Taken());
        boxes.Answer(IDYES);
        Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    }
    EXPECT_EQ(wizard.CurrentPage(), kCleanOptionsPage);
    EXPECT_FALSE(wizard.cleaningPage.IsRunning());
    EXPECT_TRUE(Exists(scanRoot / "a.tmp"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "_AnotherCleaningRuns");

    // Ours holds it from its start until its worker has left.
    HeldWorkers held;
    boxes.Answer(IDYES);
    Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    ASSERT_TRUE(wizard.cleaningPage.IsRunning());
    EXPECT_FALSE(CleaningLockFree());
    held.Release();
    ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_WIZARD_NEXT); }));
    EXPECT_TRUE(CleaningLockFree());
}

TEST_F(MainWizardTest, ClosingAwayACheckedReportAsksFirst) {
    ScriptedMessageBoxes boxes;
    AddReportRow(true);
    GoTo(kReportPage);
    for (int answer : {IDNO, IDYES}) {
        boxes.Answer(answer);
        Click(wizard.Hwnd(), IDC_WIZARD_CANCEL);
        EXPECT_EQ(wizard.Hwnd() == nullptr, answer == IDYES);
    }
    EXPECT_EQ(boxes.shown.at(1).text, "_CloseFoundListConfirm");
    EXPECT_EQ(boxes.shown[1].style & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
}

TEST_F(MainWizardTest, BackFromEveryPage) {
    struct Case {
        int from;
        int to;
        bool back, next;  // enabled on the page Back leads to
    };
    const Case cases[] = {
        {kFolderPage, kWelcomePage, false, true},     {kJunkFilesPage, kFolderPage, true, true},
        {kOptionsPage, kJunkFilesPage, true, true},   {kSkipFoldersPage, kOptionsPage, true, true},
        {kScanPage, kFolderPage, true, true},         {kReportPage, kFolderPage, true, true},
        {kCleanOptionsPage, kReportPage, true, true}, {kCleaningPage, kFolderPage, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        if (c.from == kScanPage || c.from == kCleaningPage) {
            GoToAfterTheRun(c.from);
        } else {
            GoTo(c.from);
        }
        Command(wizard.Hwnd(), IDC_WIZARD_BACK);
        EXPECT_EQ(wizard.CurrentPage(), c.to);
        EXPECT_EQ(Enabled(IDC_WIZARD_BACK), c.back);
        EXPECT_EQ(Enabled(IDC_WIZARD_NEXT), c.next);
    }
}

TEST_F(MainWizardTest, CloseBoxExitAndCancelEndTheProgramWithCode2) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        MainWizard other;
        ASSERT_TRUE(other.CreateModeless(nullptr));
        if (way == 0) SendMessageA(other.Hwnd(), WM_CLOSE, 0, 0);
        if (way == 1) Command(other.Hwnd(), IDM_EXIT);
        if (way == 2) Click(other.Hwnd(), IDC_WIZARD_CANCEL);
        EXPECT_FALSE(other.Hwnd());  // the window is gone
        MSG quit{};
        ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(quit.wParam, 2u);
    }
}

TEST_F(MainWizardTest, LogViewerWithoutTheLogComponentDoesNothing) {
    ScopedLogRegistration missing(false);
    ScriptedMessageBoxes boxes;
    GoTo(kResultsPage);
    Click(wizard.resultsPage.Hwnd(), IDC_RESULTS_LOG_VIEWER);
    Command(wizard.Hwnd(), IDM_JOTBOOK);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(IsWindow(wizard.Hwnd()));
}

TEST_F(MainWizardTest, LogViewerOpensFromTheResultsPageAndTheToolsMenu) {
    ScopedLogRegistration registered(true);
    GoTo(kResultsPage);
    for (auto open : {std::function<void()>([&] { Click(wizard.resultsPage.Hwnd(), IDC_RESULTS_LOG_VIEWER); }),
                      std::function<void()>([&] { Command(wizard.Hwnd(), IDM_JOTBOOK); })}) {
        bool listed = false;
        NextDialog viewer([&](HWND dialog) {
            listed = GetDlgItem(dialog, IDC_LOG_LIST) != nullptr;
            Click(dialog, IDCANCEL);
        });
        open();
        EXPECT_TRUE(viewer.Ran());
        EXPECT_TRUE(listed);
    }
    EXPECT_TRUE(IsWindow(wizard.Hwnd()));
}
