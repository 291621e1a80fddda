// One run of a page's worker thread: the thread, its stop request, and the hand-over of its end to
// the UI thread. The scan, the cleaning and the restore jobs run on it.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "base/win_handles.h"

enum class RunEnd {
    Finished,    // the work returned
    Stopped,     // Stop() on the UI thread
    Failed,      // the work threw; the end handler gets the exception's text
    NotStarted,  // no thread could be created
};

// Every member but the worker-side ones is called on the UI thread that owns the run.
class WorkerRun {
public:
    using Work = std::function<void()>;
    using EndHandler = std::function<void(RunEnd end, const std::string& failure)>;
    // Creates a thread that is suspended until the run has published its handle.
    using ThreadStarter = HANDLE (*)(unsigned(__stdcall* entry)(void*), void* argument);

    WorkerRun() = default;
    WorkerRun(const WorkerRun&) = delete;
    WorkerRun& operator=(const WorkerRun&) = delete;
    ~WorkerRun();  // stops without calling the end handler, then joins

    // Waits for the thread of an earlier run to be gone, then runs work on a new thread (with a
    // COM apartment of its own). onEnd runs exactly once for the run, always later and from this
    // thread's message loop: after the work returned or threw, or at once inside Stop(). When no
    // thread can be created it still comes, with RunEnd::NotStarted, and Start returns false.
    // A run still going is left alone: false, and nothing happens.
    bool Start(Work work, EndHandler onEnd);
    // Asks the worker to stop and ends the run now: onEnd(RunEnd::Stopped) has run when this
    // returns. The thread may still be inside a slow call; it leaves at its next check, in the
    // background, and nothing it reports from now on reaches the page. False with no run going.
    bool Stop();
    // From Start until the end handler has run.
    bool IsRunning() const { return running; }
    // The last run's thread has not yet left (it may be ending in the background after a stop).
    bool ThreadAlive() const;
    // Waits until the last run's thread has left, delivering sent messages meanwhile (the worker
    // may be inside a call that sends to this thread's windows, the shell's with an owner say).
    void Join();

    // Worker side: checked between entries or files.
    const std::atomic<bool>& StopFlag() const { return stop; }

    // Tests put a starter that fails in its place.
    static ThreadStarter& Starter();

private:
    static unsigned __stdcall Entry(void* run);
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    HWND Window();
    void End(RunEnd end, const std::string& failure);
    void OnEnded(WPARAM runSerial);

    HWND window = nullptr;  // message-only, on the UI thread: the end arrives here
    UniqueHandle thread;
    std::atomic<bool> stop{false};
    bool running = false;
    WPARAM serial = 0;  // tells an end message of an earlier, stopped run from the current run's
    Work work;
    EndHandler onEnd;
    // Written by the worker just before it posts its end; read by the UI thread on that message.
    RunEnd workerEnd = RunEnd::Finished;
    std::string workerFailure;
};

// Waits for a handle without blocking the worker's sent messages to this thread.
void WaitPumpingSentMessages(HANDLE handle);
