#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "base/worker_run.h"
#include "tests/support/scan_driver.h"
#include "tests/support/ui_driver.h"

namespace {

// An event the worker waits on, standing for a slow file-system call (a shortcut on an
// unreachable share): it ignores the stop request until the test lets it go.
class Gate {
public:
    Gate() : reached(CreateEventA(nullptr, TRUE, FALSE, nullptr)), released(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    void Hold() {
        SetEvent(reached.Get());
        WaitForSingleObject(released.Get(), 20000);
    }
    bool WaitUntilHeld() { return StepWorkerUntil([&] { return WaitForSingleObject(reached.Get(), 0) == WAIT_OBJECT_0; }); }
    void Release() { SetEvent(released.Get()); }

private:
    UniqueHandle reached, released;
};

struct Ends {
    std::vector<RunEnd> seen;
    std::string failure;
    DWORD thread = 0;
    WorkerRun::EndHandler Handler() {
        return [this](RunEnd end, const std::string& text) {
            seen.push_back(end);
            failure = text;
            thread = GetCurrentThreadId();
        };
    }
};

class WorkerRunTest : public testing::Test {
protected:
    bool WaitUntilThreadLeft() { return StepWorkerUntil([&] { return !run.ThreadAlive(); }); }
    WorkerRun run;
    Ends ends;
};

HANDLE FailToStart(unsigned(__stdcall*)(void*), void*) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

}  // namespace

TEST_F(WorkerRunTest, WorkRunsOnItsOwnThreadAndTheEndArrivesOnTheUiThread) {
    std::atomic<DWORD> workThread{0};
    ASSERT_TRUE(run.Start([&] { workThread = GetCurrentThreadId(); }, ends.Handler()));
    EXPECT_TRUE(run.IsRunning());
    ASSERT_TRUE(WaitUntilThreadLeft());
    EXPECT_TRUE(ends.seen.empty());  // posted: the end waits for the message loop
    PumpMessages();
    ASSERT_EQ(ends.seen, std::vector<RunEnd>{RunEnd::Finished});
    EXPECT_EQ(ends.thread, GetCurrentThreadId());
    EXPECT_NE(workThread.load(), GetCurrentThreadId());
    EXPECT_FALSE(run.IsRunning());
}

TEST_F(WorkerRunTest, StopEndsTheRunAtOnceWhileTheWorkerIsInsideASlowCall) {
    Gate gate;
    run.Start([&] { gate.Hold(); }, ends.Handler());
    ASSERT_TRUE(gate.WaitUntilHeld());

    ULONGLONG before = GetTickCount64();
    EXPECT_TRUE(run.Stop());
    EXPECT_LT(GetTickCount64() - before, 1000u);
    EXPECT_EQ(ends.seen, std::vector<RunEnd>{RunEnd::Stopped});  // the end steps ran inside Stop
    EXPECT_FALSE(run.IsRunning());
    EXPECT_TRUE(run.ThreadAlive());  // still inside its slow call, in the background
    EXPECT_FALSE(run.Stop());

    gate.Release();
    ASSERT_TRUE(WaitUntilThreadLeft());
    PumpMessages();
    EXPECT_EQ(ends.seen.size(), 1u);  // the worker's own end message changed nothing
}

TEST_F(WorkerRunTest, AnEndRacingAStopIsReportedExactlyOnce) {
    // The worker has ended and posted its end, but the loop has not seen it when Stop comes.
    run.Start([] {}, ends.Handler());
    ASSERT_TRUE(WaitUntilThreadLeft());
    EXPECT_TRUE(run.Stop());
    PumpMessages();
    EXPECT_EQ(ends.seen, std::vector<RunEnd>{RunEnd::Stopped});

    // The other order: the end is delivered first, and a late Stop finds nothing to stop.
    Ends second;
    run.Start([] {}, second.Handler());
    ASSERT_TRUE(WaitUntilThreadLeft());
    PumpMessages();
    EXPECT_FALSE(run.Stop());
    EXPECT_EQ(second.seen, std::vector<RunEnd>{RunEnd::Finished});
}

TEST_F(WorkerRunTest, TheEndOfAStoppedRunDoesNotEndTheNextOne) {
    Gate first, second;
    run.Start([&] { first.Hold(); }, ends.Handler());
    ASSERT_TRUE(first.WaitUntilHeld());
    run.Stop();
    first.Release();  // it leaves and posts its end, which stays queued

    Ends next;
    ASSERT_TRUE(run.Start([&] { second.Hold(); }, next.Handler()));  // joins the first thread
    ASSERT_TRUE(second.WaitUntilHeld());
    PumpMessages();
    EXPECT_TRUE(next.seen.empty());
    EXPECT_TRUE(run.IsRunning());
    second.Release();
    ASSERT_TRUE(PumpUntil([&] { return !next.seen.empty(); }));
    EXPECT_EQ(next.seen, std::vector<RunEnd>{RunEnd::Finished});
    EXPECT_EQ(ends.seen, std::vector<RunEnd>{RunEnd::Stopped});
}

TEST_F(WorkerRunTest, AThreadThatCannotBeCreatedStillEndsTheRunThroughTheLoop) {
    WorkerRun::ThreadStarter saved = WorkerRun::Starter();
    WorkerRun::Starter() = &FailToStart;
    bool ran = false;
    bool started = run.Start([&] { ran = true; }, ends.Handler());
    WorkerRun::Starter() = saved;
    EXPECT_FALSE(started);
    EXPECT_TRUE(ends.seen.empty());
    PumpMessages();
    EXPECT_EQ(ends.seen, std::vector<RunEnd>{RunEnd::NotStarted});
    EXPECT_FALSE(ran);
    EXPECT_FALSE(run.IsRunning());

    Ends again;  // and the next start works
    EXPECT_TRUE(run.Start([&] { ran = true; }, again.Handler()));
    ASSERT_TRUE(PumpUntil([&] { return !again.seen.empty(); }));
    EXPECT_TRUE(ran);
}

TEST_F(WorkerRunTest, AnExceptionOfTheWorkEndsTheRunAsFailedWithItsText) {
    Ends failed;
    run.Start([&] { throw std::runtime_error("disk on fire"); }, failed.Handler());
    ASSERT_TRUE(PumpUntil([&] { return !failed.seen.empty(); }));
    EXPECT_EQ(failed.seen, std::vector<RunEnd>{RunEnd::Failed});
    EXPECT_EQ(failed.failure, "disk on fire");
}

TEST_F(WorkerRunTest, AFailureAfterAStopIsStillShown) {
    ScriptedMessageBoxes boxes;
    Gate gate;
    run.Start(
        [&] {
            gate.Hold();
            throw std::runtime_error("late failure");
        },
        ends.Handler());
    ASSERT_TRUE(gate.WaitUntilHeld());
    run.Stop();
    gate.Release();
    ASSERT_TRUE(WaitUntilThreadLeft());
    PumpMessages();
    EXPECT_EQ(ends.seen, std::vector<RunEnd>{RunEnd::Stopped});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("late failure"), std::string::npos) << boxes.shown[0].text;
}
