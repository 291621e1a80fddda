#include <string>

#include "tests/support/scan_driver.h"

#include "app/main_wizard.h"
#include "base/worker_run.h"
#include "res/resource.h"

#include "base/registry.h"
#include "base/win_handles.h"

namespace {
// The shell rewrites "Shell Folders" from "User Shell Folders" when a process loads it (Wine does
// at every start), so a value for another process has to be set in both.
constexpr const char* kShellFolderKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
};

using SavedValue = ShellFolderOverride::SavedValue;

SavedValue Replace(const char* keyPath, const std::string& value, const std::string& path) {
    SavedValue saved;
    UniqueKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return saved;
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    saved.existed = RegQueryValueExA(key.Get(), value.c_str(), nullptr, &saved.type, reinterpret_cast<BYTE*>(buffer),
                                     &size) == ERROR_SUCCESS;
    saved.data = buffer;
    RegSetValueExA(key.Get(), value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    return saved;
}

void Restore(const char* keyPath, const std::string& value, const SavedValue& saved) {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS) return;
    if (saved.existed) {
        RegSetValueExA(key.Get(), value.c_str(), 0, saved.type, reinterpret_cast<const BYTE*>(saved.data.c_str()),
                       static_cast<DWORD>(saved.data.size() + 1));
    } else {
        RegDeleteValueA(key.Get(), value.c_str());
    }
}
}  // namespace

bool StepWorkerUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return true;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

ShellFolderOverride::ShellFolderOverride(const char* valueName, const std::string& path) : value(valueName) {
    for (size_t i = 0; i < 2; ++i) saved[i] = Replace(kShellFolderKeys[i], value, path);
}

ShellFolderOverride::~ShellFolderOverride() {
    for (size_t i = 0; i < 2; ++i) Restore(kShellFolderKeys[i], value, saved[i]);
}

void ScanOnly(MainWizard& wizard, const std::vector<std::string>& roots) {
    wizard.folderPage.FillRoots(roots);
    SendMessageA(GetDlgItem(wizard.folderPage.Hwnd(), IDC_FOLDER_SELECT_ALL), BM_CLICK, 0, 0);
    for (int option : {IDC_OPT_FIND_TEMP, IDC_OPT_FIND_IE_TEMP, IDC_OPT_FIND_RECENT, IDC_OPT_FIND_IE_HISTORY,
                       IDC_OPT_FIND_IE_COOKIES})
        SetChecked(wizard.optionsPage.Hwnd(), option, false);
}

namespace {
HANDLE heldGate = nullptr;
WorkerRun::ThreadStarter savedStarter = nullptr;

struct HeldStart {
    unsigned(__stdcall* entry)(void*);
    void* argument;
};

unsigned __stdcall HeldEntry(void* data) {
    HeldStart start = *static_cast<HeldStart*>(data);
    delete static_cast<HeldStart*>(data);
    WaitForSingleObject(heldGate, INFINITE);
    return start.entry(start.argument);
}

HANDLE StartHeld(unsigned(__stdcall* entry)(void*), void* argument) {
    return savedStarter(&HeldEntry, new HeldStart{entry, argument});
}
}  // namespace

HeldWorkers::HeldWorkers() {
    heldGate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    savedStarter = WorkerRun::Starter();
    WorkerRun::Starter() = &StartHeld;
}

HeldWorkers::~HeldWorkers() {
    Release();
    WorkerRun::Starter() = savedStarter;
    // The gate stays open for threads still passing it; one small event per test is left behind.
}

void HeldWorkers::Release() { SetEvent(heldGate); }

WorkerGate::WorkerGate()
    : reached(CreateEventA(nullptr, TRUE, FALSE, nullptr)), released(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

WorkerGate::~WorkerGate() {
    CloseHandle(reached);
    CloseHandle(released);
}

void WorkerGate::Arm() { ResetEvent(reached); }

bool WorkerGate::WaitUntilHeld() {
    return StepWorkerUntil([&] { return WaitForSingleObject(reached, 0) == WAIT_OBJECT_0; });
}

void WorkerGate::Release() { SetEvent(released); }

void WorkerGate::Hold(const std::function<bool()>& stopRequested) {
    SetEvent(reached);
    for (int i = 0; i < 4000 && !stopRequested(); ++i)
        if (WaitForSingleObject(released, 5) == WAIT_OBJECT_0) break;
}
