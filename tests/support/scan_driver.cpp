#include <string>

#include "tests/support/scan_driver.h"

#include "app/registry.h"
#include "app/win_handles.h"

namespace {
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
}

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
    UniqueKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    existed = RegQueryValueExA(key.Get(), value.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) ==
              ERROR_SUCCESS;
    saved = buffer;
    RegSetValueExA(key.Get(), value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
}

ShellFolderOverride::~ShellFolderOverride() {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS) return;
    if (existed) {
        RegSetValueExA(key.Get(), value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(saved.c_str()),
                       static_cast<DWORD>(saved.size() + 1));
    } else {
        RegDeleteValueA(key.Get(), value.c_str());
    }
}
