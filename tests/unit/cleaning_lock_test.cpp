#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "base/cleaning_lock.h"
#include "tests/support/lock_elsewhere.h"

TEST(CleaningLockTest, OneHolderAtATimeAndADeadHoldersLockIsFree) {
    {
        CleaningLock mine;
        ASSERT_TRUE(mine.Taken());
        EXPECT_FALSE(CleaningLockFree());
    }
    EXPECT_TRUE(CleaningLockFree());

    std::unique_ptr<CleaningLock> dead;  // its thread ends holding it
    std::thread([&] { dead = std::make_unique<CleaningLock>(); }).join();
    ASSERT_TRUE(dead->Taken());
    CleaningLock after;
    EXPECT_TRUE(after.Taken());
    EXPECT_FALSE(CleaningLockFree());
    dead.reset();  // not its thread: releases nothing
    EXPECT_FALSE(CleaningLockFree());
}

// A mutex of that name that this account may not use (made first by someone else) is busy, not free.
TEST(CleaningLockTest, ALockThatCannotBeOpenedIsBusy) {
    PSECURITY_DESCRIPTOR systemOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;GA;;;SY)", SDDL_REVISION_1, &systemOnly, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, systemOnly, FALSE};
    UniqueHandle squatter(CreateMutexExW(&attributes, L"Global\\Tidyhold.Cleaning", 0, SYNCHRONIZE));
    LocalFree(systemOnly);
    ASSERT_TRUE(squatter);
    EXPECT_FALSE(CleaningLock().Taken());
}
