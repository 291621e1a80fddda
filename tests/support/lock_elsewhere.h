// The machine's cleaning lock as another process holds it: mutexes belong to threads, so a thread
// of the test's own stands in for that process.
#pragma once
#include <future>
#include <thread>

class LockElsewhere {
public:
    LockElsewhere();   // returns once the other thread has tried
    ~LockElsewhere();  // lets it go there
    LockElsewhere(const LockElsewhere&) = delete;
    LockElsewhere& operator=(const LockElsewhere&) = delete;
    bool Taken() const { return taken; }

private:
    std::promise<void> release;
    std::thread holder;
    bool taken = false;
};

// Whether another thread could take the lock now (and gives it back at once).
bool CleaningLockFree();
