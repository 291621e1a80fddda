// A registry key of the test's own under HKCU\Software, deleted before and after.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

class ScratchKey {
public:
    explicit ScratchKey(const std::string& name);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY Root() const { return HKEY_CURRENT_USER; }
    const std::string& Path() const { return path; }
    bool Exists() const;
    void Set(const std::string& value, const std::string& text, DWORD type = REG_SZ) const;
    void SetBytes(const std::string& value, const std::string& bytes, DWORD type) const;
    // A text value under a name no A function can make: a NUL inside, a lone surrogate.
    bool SetRawName(std::wstring_view value, std::wstring_view text) const;
    bool Has(const std::string& value) const;
    void Remove() const;  // the key and all below it

private:
    std::string path;
};
