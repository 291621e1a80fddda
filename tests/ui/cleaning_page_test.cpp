#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>

#include "clean/cleaning_page.h"
#include "clean/results_page.h"
#include "res/resource.h"
#include "tests/support/file_tree.h"
#include "tests/support/scan_driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"
#include "ui/language_table.h"

namespace {

// The page around a cleaning job: its bar, its state line, its Stop. The job's rules are the
// job's tests.
class CleaningPageTest : public testing::Test {
protected:
    void SetUp() override {
        host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(page.CreateModeless(host));
        page.finishedCallback = [this] { ++finished; };
        page.beforeFile = [this](CleaningJob::Pass pass, std::size_t index, const std::atomic<bool>& stop) {
            if (pass == CleaningJob::Pass::Removal && index == holdAt) gate.Hold([&] { return stop.load(); });
        };
        for (const char* name : {"s1.tmp", "s2.tmp", "s3.tmp", "s4.tmp"}) {
            WriteFile(root / name, name);
            files.emplace(root / name, CheckedFile{"Junk", ReadFileStamp(root / name)});
        }
    }
    void TearDown() override {
        DestroyWindow(page.Hwnd());
        DestroyWindow(host);
    }
    void HoldBefore(std::size_t index) {
        holdAt = index;
        gate.Arm();
    }
    std::string State() { return Text(GetDlgItem(page.Hwnd(), IDC_CLEANING_STATE)); }
    LRESULT Bar(UINT message) { return SendMessageA(GetDlgItem(page.Hwnd(), IDC_CLEANING_PROGRESS), message, 0, 0); }

    TempFolder root;
    HWND host = nullptr;
    CleaningPage page;
    CleanFiles files;
    WorkerGate gate;
    std::size_t holdAt = SIZE_MAX;
    std::atomic<int> finished{0};
};

}  // namespace

TEST_F(CleaningPageTest, ARunShowsItsPassOnTheBarAndItsEndOnTheStateLine) {
    page.Start({files, Removal::Permanent, true, root / "bk"});
    ASSERT_TRUE(PumpUntil([&] { return finished > 0; }));
    EXPECT_EQ(State(), "_CleaningPageStateComplete");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_CLEANING_STOP)));
    EXPECT_EQ(SendMessageA(GetDlgItem(page.Hwnd(), IDC_CLEANING_PROGRESS), PBM_GETRANGE, FALSE, 0), 4);
    EXPECT_EQ(Bar(PBM_GETPOS), 4);
    EXPECT_EQ(page.Outcome().Removed(), 4u);
}

TEST_F(CleaningPageTest, StopAsksAndOnlyOkEndsTheRunBetweenTwoFiles) {
    ScriptedMessageBoxes boxes;
    HoldBefore(2);
    page.Start({files, Removal::Permanent, false, {}});
    ASSERT_TRUE(gate.WaitUntilHeld());

    boxes.Answer(IDCANCEL);
    Click(page.Hwnd(), IDC_CLEANING_STOP);
    EXPECT_TRUE(page.IsRunning());
    EXPECT_EQ(finished, 0);

    boxes.Answer(IDOK);
    Click(page.Hwnd(), IDC_CLEANING_STOP);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "_StopCleanConfirm");
    EXPECT_EQ(boxes.shown[0].style & MB_OKCANCEL, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_FALSE(page.IsRunning());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(State(), "_CleaningPageStateStopped");
    EXPECT_EQ(Bar(PBM_GETPOS), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_CLEANING_STOP)));

    CleaningOutcome outcome = page.Outcome();  // waits for the worker to leave
    PumpMessages();
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(State(), "_CleaningPageStateStopped");  // the worker ran none of its end steps
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.Removed(), 2u);
    EXPECT_TRUE(Exists(root / "s3.tmp") && Exists(root / "s4.tmp"));
}

// Its button shows only where a set was made, and opens that set's folder.
TEST_F(CleaningPageTest, TheResultsPageOpensTheSetJustMade) {
    ResultsPage results;
    ASSERT_TRUE(results.CreateModeless(host));
    HWND open = GetDlgItem(results.Hwnd(), IDC_RESULTS_OPEN_BACKUP);
    auto shown = [&] { return (GetWindowLongA(open, GWL_STYLE) & WS_VISIBLE) != 0; };
    CleaningOutcome made;
    made.ran = true;
    made.setFolder = root / "bk\\2026-12-07_10-00-00";
    results.ShowOutcome(made);
    EXPECT_TRUE(shown());
    RecordedShell shell;
    Click(results.Hwnd(), IDC_RESULTS_OPEN_BACKUP);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].parameters, "\"" + made.setFolder + "\"");
    results.ShowOutcome(CleaningOutcome{});
    EXPECT_FALSE(shown());
}
