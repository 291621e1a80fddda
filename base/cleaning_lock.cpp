#include "base/cleaning_lock.h"

#include <sddl.h>

namespace {

constexpr wchar_t kName[] = L"Global\\Tidyhold.Cleaning";
constexpr DWORD kAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

// Every account may take and release it, so a cleaning run as SYSTEM and a user's wizard see each
// other; only SYSTEM and administrators may change it.
HANDLE CreateOrOpen() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x00100001;;;WD)(A;;GA;;;SY)(A;;GA;;;BA)",
                                                              SDDL_REVISION_1, &descriptor, nullptr))
        return nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    HANDLE mutex = CreateMutexExW(&attributes, kName, 0, kAccess);
    LocalFree(descriptor);
    return mutex;
}

}  // namespace

// A failure to create or open counts as busy, never as free: ERROR_ACCESS_DENIED means a mutex of
// that name stands that this account may not use, and another kind of object under the name is
// no better.
CleaningLock::CleaningLock() : mutex(CreateOrOpen()) {
    if (!mutex) return;
    const DWORD wait = WaitForSingleObject(mutex.Get(), 0);
    taken = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;  // abandoned: its holder died
    owner = GetCurrentThreadId();
}

CleaningLock::~CleaningLock() {
    // Elsewhere the release would fail, or undo a hold of that thread's own; the mutex is then
    // abandoned as the taking thread ends.
    if (taken && owner == GetCurrentThreadId()) ReleaseMutex(mutex.Get());
}
