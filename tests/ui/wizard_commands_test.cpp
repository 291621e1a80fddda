#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/main_wizard.h"
#include "app/wizard_navigation.h"
#include "res/resource.h"
#include "tests/support/file_tree.h"
#include "tests/support/scan_driver.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"

namespace {

// A wizard whose scan worker is held before its first line until the test lets it go.
class WizardDuringAScan : public testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 20; ++i) MakeFile(tree / ("x" + std::to_string(i) + ".tmp"));
        ASSERT_TRUE(wizard.CreateModeless(nullptr));
        ScanOnly(wizard, {tree.Path()});
        wizard.ShowPage(kSkipFoldersPage);
        wizard.UpdateButtons(kSkipFoldersPage);
    }
    void TearDown() override {
        held.Release();  // the page joins its worker as it goes
        if (wizard.Hwnd()) DestroyWindow(wizard.Hwnd());
        PumpMessages();
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(wizard.Hwnd(), id)) != FALSE; }

    SettingsFixture settings;
    TempFolder tree;
    HeldWorkers held;
    MainWizard wizard;
};

}  // namespace

TEST_F(WizardDuringAScan, NextAndBackPostedWhileTheScanRunsDoNothing) {
    Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
    ASSERT_EQ(wizard.CurrentPage(), kScanPage);
    ASSERT_TRUE(wizard.scanPage.IsRunning());
    // As another program would send them, and as clicks queued before the buttons went grey.
    PostMessageA(wizard.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_WIZARD_NEXT, BN_CLICKED), 0);
    PostMessageA(wizard.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_WIZARD_BACK, BN_CLICKED), 0);
    Command(wizard.Hwnd(), IDC_WIZARD_NEXT);
    PumpMessages();
    EXPECT_EQ(wizard.CurrentPage(), kScanPage);
    EXPECT_FALSE(Enabled(IDC_WIZARD_NEXT));
    EXPECT_FALSE(Enabled(IDC_WIZARD_BACK));
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(wizard.reportPage.Hwnd(), IDC_REPORT_LIST)), 0);
    HWND cancel = GetDlgItem(wizard.Hwnd(), IDC_WIZARD_CANCEL);
    EXPECT_TRUE(IsWindowEnabled(cancel));  // Cancel stays: it answers with the refusal
    EXPECT_TRUE(GetWindowLongA(cancel, GWL_STYLE) & WS_VISIBLE);

    held.Release();
    ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_WIZARD_NEXT); }));
    EXPECT_EQ(wizard.CurrentPage(), kScanPage);
    Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
    EXPECT_EQ(wizard.CurrentPage(), kReportPage);
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(wizard.reportPage.Hwnd(), IDC_REPORT_LIST)), 20);
}

// A restore or a set's deletion beside a worker could undo what a cleaning is writing.
TEST_F(WizardDuringAScan, TheRescueManagerIsGreyWhileAWorkerRuns) {
    HMENU menu = GetMenu(wizard.Hwnd());
    auto grey = [&] {
        SendMessageA(wizard.Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
        return (GetMenuState(menu, IDM_RESCUE_MANAGER, MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
    ASSERT_TRUE(wizard.scanPage.IsRunning());
    EXPECT_TRUE(grey());
    Command(wizard.Hwnd(), IDM_RESCUE_MANAGER);  // would block on a modal dialog if it opened
    held.Release();
    ASSERT_TRUE(PumpUntil([&] { return Enabled(IDC_WIZARD_NEXT); }));
    EXPECT_FALSE(grey());
}

TEST_F(WizardDuringAScan, ManyCloseRequestsDuringAScanShowOneRefusalAtATime) {
    ScriptedMessageBoxes boxes;
    Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
    ASSERT_TRUE(wizard.scanPage.IsRunning());
    // While the refusal is open its loop delivers the close requests that keep coming.
    MessageBoxFunction scripted = MessageBoxHandler();
    MessageBoxHandler() = [&](HWND owner, const std::string& text, const std::string& caption, UINT style) {
        for (int i = 0; i < 50; ++i) SendMessageA(wizard.Hwnd(), WM_CLOSE, 0, 0);
        return scripted(owner, text, caption, style);
    };
    SendMessageA(wizard.Hwnd(), WM_CLOSE, 0, 0);
    MessageBoxHandler() = scripted;
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(IsWindow(wizard.Hwnd()));
    SendMessageA(wizard.Hwnd(), WM_CLOSE, 0, 0);  // and the next request is answered again
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST(PageButtonsTest, AClickPostedToADisabledButtonDoesNothing) {
    SettingsFixture settings;
    ScriptedFolderBrowser browser;
    CleanOptionsPage page;
    ASSERT_TRUE(page.CreateModeless(settings.Host()));
    SetChecked(page.Hwnd(), IDC_CLEAN_BACKUP, false);
    Click(page.Hwnd(), IDC_CLEAN_BACKUP);
    Click(page.Hwnd(), IDC_CLEAN_BACKUP);  // twice: unchecked, and the browse button disabled
    ASSERT_FALSE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_CLEAN_BROWSE)));
    PostMessageA(page.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CLEAN_BROWSE, BN_CLICKED), 0);
    PumpMessages();
    EXPECT_EQ(browser.shown, 0);
    DestroyWindow(page.Hwnd());
}
