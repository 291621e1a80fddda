#include "base/worker_run.h"

#include <process.h>

#include <exception>

#include "base/com_ptr.h"
#include "base/failure.h"

namespace {

constexpr UINT kEndedMessage = WM_APP + 2;  // wParam: the run's serial
constexpr const char* kWindowClass = "TidyholdWorkerRun";

HANDLE StartSuspended(unsigned(__stdcall* entry)(void*), void* argument) {
    return reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, entry, argument, CREATE_SUSPENDED, nullptr));
}

}  // namespace

void WaitPumpingSentMessages(HANDLE handle) {
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // delivers the pending sent messages
    }
}

WorkerRun::ThreadStarter& WorkerRun::Starter() {
    static ThreadStarter starter = &StartSuspended;
    return starter;
}

WorkerRun::~WorkerRun() {
    stop = true;
    running = false;
    Join();
    if (window) DestroyWindow(window);
}

HWND WorkerRun::Window() {
    if (window) return window;
    static const ATOM registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &WorkerRun::WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassA(&windowClass);
    }();
    if (!registered) return nullptr;
    window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
    if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return window;
}

bool WorkerRun::Start(Work newWork, EndHandler newOnEnd) {
    if (running) return false;
    Join();  // the data below belongs to the earlier thread until it has left
    work = std::move(newWork);
    onEnd = std::move(newOnEnd);
    stop = false;
    running = true;
    ++serial;
    HWND target = Window();
    HANDLE created = target ? Starter()(&WorkerRun::Entry, this) : nullptr;
    if (!created) {
        workerEnd = RunEnd::NotStarted;
        workerFailure.clear();
        if (!target || !PostMessageA(target, kEndedMessage, serial, 0)) End(RunEnd::NotStarted, {});
        return false;
    }
    thread.Reset(created);  // published before the thread runs a single line
    ResumeThread(created);
    return true;
}

bool WorkerRun::Stop() {
    if (!running) return false;
    stop = true;
    End(RunEnd::Stopped, {});
    return true;
}

bool WorkerRun::ThreadAlive() const { return thread && WaitForSingleObject(thread.Get(), 0) == WAIT_TIMEOUT; }

void WorkerRun::Join() {
    if (thread) WaitPumpingSentMessages(thread.Get());
    thread.Reset();
}

void WorkerRun::End(RunEnd end, const std::string& failure) {
    running = false;
    EndHandler handler = std::exchange(onEnd, nullptr);
    if (handler) handler(end, failure);
}

void WorkerRun::OnEnded(WPARAM runSerial) {
    if (runSerial != serial) return;  // a stopped run's thread, leaving after a new run began
    if (running) {
        End(workerEnd, workerFailure);
    } else if (workerEnd == RunEnd::Failed) {
        ReportFailure(nullptr, workerFailure);  // failed after its stop: the end steps ran already
    }
}

unsigned __stdcall WorkerRun::Entry(void* argument) {
    auto* self = static_cast<WorkerRun*>(argument);
    RunEnd end = RunEnd::Finished;
    std::string failure;
    try {
        ComApartment com;
        self->work();
    } catch (...) {
        end = RunEnd::Failed;
        failure = CurrentExceptionText();
    }
    self->workerEnd = end;
    self->workerFailure = std::move(failure);
    // A full queue must not lose the end: the page would wait for it for ever.
    while (!PostMessageA(self->window, kEndedMessage, self->serial, 0) && IsWindow(self->window)) Sleep(10);
    return 0;
}

LRESULT CALLBACK WorkerRun::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<WorkerRun*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || message != kEndedMessage) return DefWindowProcA(window, message, wParam, lParam);
    RunGuarded(nullptr, [&] { self->OnEnded(wParam); });
    return 0;
}
