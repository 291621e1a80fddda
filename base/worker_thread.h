// Worker threads of the pages: started with the C runtime, waited for without deadlock.
#pragma once
#include <windows.h>

// The UI thread never waits on a worker with a plain wait: the worker may be inside a
// SendMessage to that very thread. This delivers sent messages while it waits.
void WaitPumpingSentMessages(HANDLE thread);

// A thread running procedure(argument); null when it could not be started.
HANDLE StartWorkerThread(unsigned(__stdcall* procedure)(void*), void* argument);
