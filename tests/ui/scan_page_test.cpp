#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "app/main_wizard.h"
#include "app/wizard_navigation.h"
#include "base/program_paths.h"
#include "base/win_handles.h"
#include "base/worker_run.h"
#include "base/program_paths.h"
#include "res/resource.h"
#include "scan/scan_page.h"
#include "tests/support/file_tree.h"
#include "tests/support/scan_driver.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"
#include "ui/language_table.h"
#include "ui/list_view.h"

namespace {

// Holds its worker before one chosen folder. By default the hold ends with a stop request; a
// slow hold stands for a file-system call that takes a minute and ignores the stop, after which
// the worker goes on into a folder that now holds one more file.
class GatedScanPage : public ScanPage {
public:
    GatedScanPage()
        : reached(CreateEventA(nullptr, TRUE, FALSE, nullptr)), released(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        beforeFolder = [this](size_t index, const std::atomic<bool>& stop) { Hold(index, stop); };
    }
    void HoldBefore(size_t index, bool slow = false) {
        gateAt = index;
        slowCall = slow;
        ResetEvent(reached.Get());
        ResetEvent(released.Get());
    }
    // Lets the worker run until it is held; its messages to this thread are delivered meanwhile.
    bool WaitUntilHeld() {
        return StepWorkerUntil([&] { return WaitForSingleObject(reached.Get(), 0) == WAIT_OBJECT_0; });
    }
    void Release() { SetEvent(released.Get()); }
    bool WaitUntilLateReportDone() {
        return StepWorkerUntil([&] { return WaitForSingleObject(lateDone.Get(), 0) == WAIT_OBJECT_0; });
    }
    std::string latePath;

private:
    void Hold(size_t index, const std::atomic<bool>& stop) {
        if (index != gateAt) return;
        SetEvent(reached.Get());
        if (!slowCall) {
            for (int i = 0; i < 4000 && !stop; ++i) Sleep(5);
            return;
        }
        WaitForSingleObject(released.Get(), 20000);
        MakeFile(latePath);
        SetEvent(lateDone.Get());
    }

    UniqueHandle reached, released, lateDone{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    size_t gateAt = SIZE_MAX;
    bool slowCall = false;
};

class ScanPageTest : public testing::Test {
protected:
    void SetUp() override {
        host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(page.CreateModeless(host));
        page.finishedCallback = [this] { ++finished; };
        WriteFile(root / "t.language", "[String]\r\n_StateFindItem=Found %d\r\n");
        savedLanguage = Language().File();
        Language().SetFile(root / "t.language");
    }
    void TearDown() override {
        Language().SetFile(savedLanguage);
        DestroyWindow(page.Hwnd());
        DestroyWindow(host);
    }
    HWND List() { return GetDlgItem(page.Hwnd(), IDC_SCAN_LIST); }
    std::string Row(int row) { return RowText(List(), row, 1); }
    ScanSettings Settings(std::vector<std::string> folders) {
        ScanSettings settings;
        settings.Folders = std::move(folders);
        settings.JunkMasks = {{"*.dat", "Data"}};
        settings.SkipFolders = {ProgramFolder()};
        return settings;
    }

    TempFolder root;
    HWND host = nullptr;
    GatedScanPage page;
    std::atomic<int> finished{0};
    std::string savedLanguage;
};

}  // namespace

TEST_F(ScanPageTest, ScansTheSpecialFoldersFirstThenEachChosenFolder) {
    MakeFolder(root / "cache");
    MakeFolder(root / "chosen");
    MakeFile(root / "cache\\both.dat");
    MakeFile(root / "cache\\page.htm");
    MakeFile(root / "chosen\\one.dat");
    MakeFile(root / "chosen\\other.txt");
    ShellFolderOverride cache("Cache", root / "cache");
    ScanSettings settings = Settings({root / "chosen", root / "missing", root / "cache"});
    settings.FindIETemp = true;

    page.StartScan(settings);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_SCAN_STOP)));
    ASSERT_TRUE(PumpUntil([&] { return finished > 0; }));
    PumpMessages();
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(page.IsRunning());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_SCAN_STOP)));
    EXPECT_EQ(Text(GetDlgItem(page.Hwnd(), IDC_SCAN_STATUS)), "_StateStringSearchCompleted");
    ASSERT_EQ(RowCount(List()), 3);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(Row(row), "_StateComplete") << row;  // the missing one too

    FoundList expected = {
        {root / "cache\\both.dat", "Data"},  // found twice: the later reason stays
        {root / "cache\\page.htm", "_InterTempFile"},
        {root / "chosen\\one.dat", "Data"},
    };
    EXPECT_EQ(page.found, expected);
    EXPECT_EQ(Text(GetDlgItem(page.Hwnd(), IDC_SCAN_COUNT)), "Found 3");  // distinct paths
}

TEST_F(ScanPageTest, StopWithOkEndsTheScanAtOnceAndCancelLetsItRun) {
    std::vector<std::string> folders;
    for (int f = 0; f < 3; ++f) {
        std::string folder = root / ("f" + std::to_string(f));
        MakeFolder(folder);
        for (int i = 0; i < 20; ++i) MakeFile(folder + "\\x" + std::to_string(i) + ".dat");
        folders.push_back(folder);
    }
    ScriptedMessageBoxes boxes;
    page.HoldBefore(1);
    page.StartScan(Settings(folders));
    ASSERT_TRUE(page.WaitUntilHeld());
    EXPECT_TRUE(PumpUntil([&] { return Row(1) == "_stateScanning"; }));

    boxes.Answer(IDCANCEL);
    Click(page.Hwnd(), IDC_SCAN_STOP);
    EXPECT_TRUE(page.IsRunning());
    EXPECT_EQ(finished, 0);

    boxes.Answer(IDOK);
    Click(page.Hwnd(), IDC_SCAN_STOP);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "_StopscanConfirm");
    EXPECT_EQ(boxes.shown[0].style & MB_OKCANCEL, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_FALSE(page.IsRunning());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(Text(GetDlgItem(page.Hwnd(), IDC_SCAN_STATUS)), "_StateStringSearchStopped");
    EXPECT_EQ(Row(0), "_StateComplete");
    EXPECT_EQ(Row(1), "_StateComplete");
    EXPECT_EQ(Row(2), "_StateNotComplete");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_SCAN_STOP)));
    for (const auto& [path, reason] : page.found) EXPECT_EQ(path.find(folders[2]), std::string::npos) << path;
    PumpMessages();
    EXPECT_EQ(finished, 1);  // the worker ran none of its end steps

    page.HoldBefore(SIZE_MAX);
    page.StartScan(Settings(folders));  // a new scan starts afresh
    ASSERT_TRUE(PumpUntil([&] { return finished == 2; }));
    EXPECT_EQ(page.found.size(), 60u);
}

TEST_F(ScanPageTest, StopIsPromptWhileTheWorkerIsInsideASlowCallAndWhatItReportsLaterIsDropped) {
    MakeFolder(root / "a");
    MakeFolder(root / "b");
    MakeFile(root / "a\\one.dat");
    ScriptedMessageBoxes boxes;
    page.latePath = root / "b\\late.dat";
    page.HoldBefore(1, true);
    page.StartScan(Settings({root / "a", root / "b"}));
    ASSERT_TRUE(page.WaitUntilHeld());

    boxes.Answer(IDOK);
    ULONGLONG before = GetTickCount64();
    Click(page.Hwnd(), IDC_SCAN_STOP);
    EXPECT_LT(GetTickCount64() - before, 1000u);  // the held worker did not keep the page waiting
    EXPECT_FALSE(page.IsRunning());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(Text(GetDlgItem(page.Hwnd(), IDC_SCAN_STATUS)), "_StateStringSearchStopped");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_SCAN_STOP)));
    EXPECT_EQ(Row(1), "_StateComplete");
    FoundList atStop = page.found;
    EXPECT_EQ(atStop.count(root / "a\\one.dat"), 1u);

    page.Release();  // the slow call returns, and the worker goes on
    ASSERT_TRUE(page.WaitUntilLateReportDone());
    PumpMessages();
    EXPECT_EQ(page.found, atStop);
    EXPECT_EQ(Text(GetDlgItem(page.Hwnd(), IDC_SCAN_STATUS)), "_StateStringSearchStopped");
    EXPECT_EQ(finished, 1);

    page.HoldBefore(SIZE_MAX);
    page.StartScan(Settings({root / "a"}));  // waits for the old worker to leave first
    ASSERT_TRUE(PumpUntil([&] { return finished == 2; }));
    EXPECT_EQ(page.found.size(), 1u);
}

TEST_F(ScanPageTest, AScanThatCannotStartSaysSoAndGivesTheButtonsBack) {
    WorkerRun::ThreadStarter saved = WorkerRun::Starter();
    WorkerRun::Starter() = [](unsigned(__stdcall*)(void*), void*) -> HANDLE { return nullptr; };
    page.StartScan(Settings({root.Path()}));
    WorkerRun::Starter() = saved;
    ASSERT_TRUE(PumpUntil([&] { return finished > 0; }));
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(page.IsRunning());
    EXPECT_EQ(Text(GetDlgItem(page.Hwnd(), IDC_SCAN_STATUS)), "_ThreadNotStarted");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_SCAN_STOP)));
}

TEST_F(ScanPageTest, DestroyingThePageStopsARunningScan) {
    MakeFolder(root / "f");
    for (int i = 0; i < 20; ++i) MakeFile(root / ("f\\x" + std::to_string(i) + ".dat"));
    page.HoldBefore(0);
    page.StartScan(Settings({root / "f"}));
    ASSERT_TRUE(page.WaitUntilHeld());
    DestroyWindow(page.Hwnd());
    EXPECT_FALSE(page.IsRunning());
    EXPECT_EQ(finished, 1);
}

TEST(ScanRunTest, TheWizardRefusesToCloseDuringAScanAndNeverSearchesItsOwnFolder) {
    SettingsFixture settings;
    ScriptedMessageBoxes boxes;
    MainWizard wizard;
    ASSERT_TRUE(wizard.CreateModeless(nullptr));
    // The program's own folder lies below the chosen one, and holds files the mask matches.
    ScanOnly(wizard, {FolderOfPath(ProgramFolder())});
    HWND junk = GetDlgItem(wizard.junkFilesPage.Hwnd(), IDC_JUNK_LIST);
    int row = AppendRow(junk, {"*.exe", "Programs"});
    SetRowChecked(junk, row, true);

    wizard.ShowPage(kSkipFoldersPage);
    wizard.UpdateButtons(kSkipFoldersPage);
    Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
    ASSERT_EQ(wizard.CurrentPage(), kScanPage);
    ASSERT_TRUE(wizard.scanPage.IsRunning());
    Click(wizard.Hwnd(), IDC_WIZARD_CANCEL);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "_ExitProramRequestCancelScanThread");
    EXPECT_EQ(boxes.shown[0].owner, wizard.Hwnd());
    ASSERT_TRUE(IsWindow(wizard.Hwnd()));

    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(GetDlgItem(wizard.Hwnd(), IDC_WIZARD_NEXT)) != FALSE; }));
    EXPECT_FALSE(wizard.scanPage.IsRunning());
    EXPECT_TRUE(wizard.scanPage.found.count(FolderOfPath(ProgramFolder()) + "\\Tidyhold.exe"));
    std::string own = ToLowerAnsi(ProgramFolder());
    for (const auto& [path, reason] : wizard.scanPage.found)
        EXPECT_NE(ToLowerAnsi(path).find(own), 0u) << path;
    Click(wizard.Hwnd(), IDC_WIZARD_CANCEL);
    EXPECT_FALSE(IsWindow(wizard.Hwnd()));
    PumpMessages();
}

TEST(ScanRunTest, NothingFoundLeadsToTheResultsPage) {
    SettingsFixture settings;
    TempFolder empty;
    MainWizard wizard;
    ASSERT_TRUE(wizard.CreateModeless(nullptr));
    ScanOnly(wizard, {empty.Path()});
    wizard.ShowPage(kSkipFoldersPage);
    wizard.UpdateButtons(kSkipFoldersPage);
    Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(GetDlgItem(wizard.Hwnd(), IDC_WIZARD_NEXT)) != FALSE; }));
    EXPECT_TRUE(wizard.scanPage.found.empty());
    EXPECT_EQ(RowCount(GetDlgItem(wizard.scanPage.Hwnd(), IDC_SCAN_LIST)), 1);
    Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
    EXPECT_EQ(wizard.CurrentPage(), kResultsPage);
    DestroyWindow(wizard.Hwnd());
    PumpMessages();
}

TEST(ScanRunTest, WhenNoWorkerCanBeStartedTheWizardGivesBackAndNextBack) {
    SettingsFixture settings;
    MainWizard wizard;
    ASSERT_TRUE(wizard.CreateModeless(nullptr));
    ScanOnly(wizard, {});
    wizard.ShowPage(kSkipFoldersPage);
    wizard.UpdateButtons(kSkipFoldersPage);
    WorkerRun::ThreadStarter saved = WorkerRun::Starter();
    WorkerRun::Starter() = [](unsigned(__stdcall*)(void*), void*) -> HANDLE { return nullptr; };
    Click(wizard.Hwnd(), IDC_WIZARD_NEXT);
    WorkerRun::Starter() = saved;
    EXPECT_EQ(wizard.CurrentPage(), kScanPage);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(GetDlgItem(wizard.Hwnd(), IDC_WIZARD_NEXT)) != FALSE; }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard.Hwnd(), IDC_WIZARD_BACK)));
    EXPECT_EQ(Text(GetDlgItem(wizard.scanPage.Hwnd(), IDC_SCAN_STATUS)), "_ThreadNotStarted");
    DestroyWindow(wizard.Hwnd());
    PumpMessages();
}
