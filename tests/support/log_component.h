// The log component's DLL as the tests reach it: loaded straight from the build, and registered for
// the machine only for as long as a test needs it, leaving the registry as it was found.
#pragma once
#include <windows.h>

#include <string>

#include "base/log_book.h"
#include "clean/log_client.h"  // LogComponentRegistered

class LogComponentModule {
public:
    LogComponentModule();
    ~LogComponentModule();
    LogComponentModule(const LogComponentModule&) = delete;
    LogComponentModule& operator=(const LogComponentModule&) = delete;

    explicit operator bool() const { return module != nullptr; }
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;
    HRESULT Install(bool install, const wchar_t* commandLine) const;
    HRESULT CanUnloadNow() const;
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const;
    void SetLanguageFile(const std::string& file) const;  // empty: the host program's again

private:
    template <class Function>
    Function Export(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    HMODULE module = nullptr;
};

// Puts the component's machine registration in the wanted state while it lives, and back after.
class ScopedLogRegistration {
public:
    explicit ScopedLogRegistration(bool registered);
    ~ScopedLogRegistration();
    ScopedLogRegistration(const ScopedLogRegistration&) = delete;
    ScopedLogRegistration& operator=(const ScopedLogRegistration&) = delete;

private:
    LogComponentModule dll;
    bool wasRegistered;
    bool wanted;
};

// The texts a concurrent writer (a thread of the test, or the helper process) appends: record index
// of writer tag, several lines and some hundreds of bytes, different for every record.
inline std::string WriterText(const std::string& tag, int index) {
    return tag + "#" + std::to_string(index) + "\r\n" + std::string(300 + index % 200, char('a' + index % 26)) +
           "\r\nend of " + tag;
}
