#include "base/worker_thread.h"

#include <process.h>

void WaitPumpingSentMessages(HANDLE thread) {
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // delivers the pending sent messages
    }
}

HANDLE StartWorkerThread(unsigned(__stdcall* procedure)(void*), void* argument) {
    return reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, procedure, argument, 0, nullptr));
}
