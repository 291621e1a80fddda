// One cleaning, restore or backup-set delete at a time on the machine, across processes, accounts
// and sessions: a named mutex in the global namespace, tried once and never waited on.
#pragma once
#include "base/win_handles.h"

class CleaningLock {
public:
    CleaningLock();  // tries once; Taken() tells
    ~CleaningLock();  // releases when on the thread that took it (the mutex is that thread's)
    CleaningLock(const CleaningLock&) = delete;
    CleaningLock& operator=(const CleaningLock&) = delete;

    // False while another thread or process holds it, and when it could not be opened at all.
    bool Taken() const { return taken; }

private:
    UniqueHandle mutex;
    bool taken = false;
    DWORD owner = 0;
};
