#include "tests/support/lock_elsewhere.h"

#include "base/cleaning_lock.h"

LockElsewhere::LockElsewhere() {
    std::promise<bool> tried;
    std::future<bool> result = tried.get_future();
    holder = std::thread([this, &tried, released = release.get_future()] {
        CleaningLock lock;
        tried.set_value(lock.Taken());
        released.wait();
    });
    taken = result.get();
}

LockElsewhere::~LockElsewhere() {
    release.set_value();
    holder.join();
}

bool CleaningLockFree() {
    bool taken = false;
    std::thread([&] { taken = CleaningLock().Taken(); }).join();
    return taken;
}
