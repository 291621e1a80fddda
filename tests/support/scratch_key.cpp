#include "tests/support/scratch_key.h"

#include <winternl.h>

#include "base/win_handles.h"

ScratchKey::ScratchKey(const std::string& name)
    : path("Software\\TidyholdTests\\" + name + "-" + std::to_string(GetCurrentProcessId())) {
    Remove();
}

ScratchKey::~ScratchKey() {
    Remove();
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TidyholdTests");  // fails while another test's key is there
}

bool ScratchKey::Exists() const {
    UniqueKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

void ScratchKey::Set(const std::string& value, const std::string& text, DWORD type) const {
    SetBytes(value, std::string(text.c_str(), text.size() + 1), type);
}

void ScratchKey::SetBytes(const std::string& value, const std::string& bytes, DWORD type) const {
    UniqueKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key.Get(), value.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

bool ScratchKey::SetRawName(std::wstring_view value, std::wstring_view text) const {
    using SetValue = LONG(NTAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, const void*, ULONG);
    auto setValue = reinterpret_cast<SetValue>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSetValueKey")));
    UniqueKey key;
    std::wstring name(value), data(text);  // the registry's own names are counted: no terminator
    UNICODE_STRING counted{static_cast<USHORT>(name.size() * 2), static_cast<USHORT>(name.size() * 2), name.data()};
    return setValue &&
           RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr) ==
               ERROR_SUCCESS &&
           setValue(key.Get(), &counted, 0, REG_SZ, data.c_str(), static_cast<ULONG>((data.size() + 1) * 2)) >= 0;
}

bool ScratchKey::Has(const std::string& value) const {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return false;
    return RegQueryValueExA(key.Get(), value.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void ScratchKey::Remove() const { RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()); }
