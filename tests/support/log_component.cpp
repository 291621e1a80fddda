#include "tests/support/log_component.h"

#include "base/ansi.h"
#include "tests/support/temp_folder.h"

LogComponentModule::LogComponentModule() : module(LoadLibraryA(HostPath(TIDYHOLD_LOG_DLL).c_str())) {}

LogComponentModule::~LogComponentModule() {
    if (module) FreeLibrary(module);
}

HRESULT LogComponentModule::RegisterServer() const {
    auto call = Export<HRESULT(STDAPICALLTYPE*)()>("DllRegisterServer");
    return call ? call() : E_NOTIMPL;
}

HRESULT LogComponentModule::UnregisterServer() const {
    auto call = Export<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer");
    return call ? call() : E_NOTIMPL;
}

HRESULT LogComponentModule::Install(bool install, const wchar_t* commandLine) const {
    auto call = Export<HRESULT(STDAPICALLTYPE*)(BOOL, PCWSTR)>("DllInstall");
    return call ? call(install, commandLine) : E_NOTIMPL;
}

HRESULT LogComponentModule::CanUnloadNow() const {
    auto call = Export<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow");
    return call ? call() : E_NOTIMPL;
}

HRESULT LogComponentModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
    auto call = Export<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
    return call ? call(clsid, iid, out) : E_NOTIMPL;
}

void LogComponentModule::SetLanguageFile(const std::string& file) const {
    if (auto call = Export<void(WINAPI*)(const wchar_t*)>("SetLanguageFile")) call(ToWide(file).c_str());
}

ScopedLogRegistration::ScopedLogRegistration(bool registered)
    : wasRegistered(LogComponentRegistered()), wanted(registered) {
    if (wanted == wasRegistered) return;
    if (wanted) dll.RegisterServer();
    else dll.UnregisterServer();
}

ScopedLogRegistration::~ScopedLogRegistration() {
    if (wanted == wasRegistered) return;
    if (wasRegistered) dll.RegisterServer();
    else dll.UnregisterServer();
}
