// The COM server: the log book object, its class factory, the DLL's exports and its registration.
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <atomic>
#include <new>
#include <string>

#include "base/log_book.h"
#include "components/log/log_viewer.h"
#include "components/log/record_store.h"
#include "components/log/viewer_language.h"

namespace {

HINSTANCE module = nullptr;
std::atomic<long> liveObjects{0};  // books and factories handed out
std::atomic<long> serverLocks{0};

std::string Utf8(BSTR text) {
    if (!text) return {};
    int length = static_cast<int>(SysStringLen(text));
    if (length == 0) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

// The book and its factory each count as a live object of the DLL while any reference is held.
class Counted {
protected:
    Counted() { ++liveObjects; }
    virtual ~Counted() { --liveObjects; }
    ULONG Add() { return ++references; }
    ULONG Drop() {
        ULONG left = --references;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> references{1};
};

// Also answers IPropertyPage, which its callers ask for and hand back as the viewer's owner; every
// method of that interface answers E_NOTIMPL.
class LogBook final : public ILogBook, public IPropertyPage, Counted {
public:

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ILogBook) *out = static_cast<ILogBook*>(this);
        else if (iid == IID_IPropertyPage) *out = static_cast<IPropertyPage*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Add(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    HRESULT STDMETHODCALLTYPE ShowViewer(LONG /*flags*/, IUnknown* owner) override {
        ShowLogViewer(module, OwnerWindow(owner), folder);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFolder(BSTR path) override {
        folder.assign(path ? path : L"", path ? SysStringLen(path) : 0);
        while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
        return folder.empty() ? E_INVALIDARG : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddRecord(BSTR type, BSTR category, BSTR action, BSTR source, BSTR text) override {
        if (folder.empty()) return E_UNEXPECTED;
        LogRecord record = StampedRecord(Utf8(type), Utf8(category), Utf8(action), Utf8(source), Utf8(text));
        if (AppendRecord(folder, record)) return S_OK;
        DWORD error = GetLastError();
        return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }

    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Activate(HWND, LPCRECT, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Deactivate() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG, IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Show(UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Move(LPCRECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Apply() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return E_NOTIMPL; }

private:
    // A window-backed owner names its window; anything else (this very object, or none) leaves the
    // viewer to the calling thread's active window.
    static HWND OwnerWindow(IUnknown* owner) {
        IOleWindow* window = nullptr;
        HWND hwnd = nullptr;
        if (owner && SUCCEEDED(owner->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) {
            if (FAILED(window->GetWindow(&hwnd))) hwnd = nullptr;
            window->Release();
        }
        return hwnd ? hwnd : GetActiveWindow();
    }

    std::wstring folder;
};

class Factory final : public IClassFactory, Counted {
public:

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Add(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* book = new (std::nothrow) LogBook;
        if (!book) return E_OUTOFMEMORY;
        HRESULT result = book->QueryInterface(iid, out);
        book->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) ++serverLocks;
        else --serverLocks;
        return S_OK;
    }
};

// Registration: the ProgID and the class under <root>\Software\Classes.
std::wstring ClassKey() {
    wchar_t clsid[40] = {};
    StringFromGUID2(CLSID_JotbookLog, clsid, 40);
    return std::wstring(L"CLSID\\") + clsid;
}

bool SetString(HKEY classes, const std::wstring& subkey, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(classes, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

HKEY OpenClasses(HKEY root, bool create) {
    HKEY classes = nullptr;
    LONG result = create ? RegCreateKeyExW(root, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &classes, nullptr)
                         : RegOpenKeyExW(root, L"Software\\Classes", 0, KEY_ALL_ACCESS, &classes);
    return result == ERROR_SUCCESS ? classes : nullptr;
}

HRESULT Unregister(HKEY root);

HRESULT Register(HKEY root) {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD length = GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length == std::size(path)) return SELFREG_E_CLASS;
    HKEY classes = OpenClasses(root, true);
    if (!classes) return E_ACCESSDENIED;
    std::wstring clsid = ClassKey().substr(6);
    std::wstring classKey = ClassKey();
    bool ok = SetString(classes, kJotbookLogProgId, nullptr, L"Jotbook log") &&
              SetString(classes, std::wstring(kJotbookLogProgId) + L"\\CLSID", nullptr, clsid) &&
              SetString(classes, classKey, nullptr, L"Jotbook log") &&
              SetString(classes, classKey + L"\\ProgID", nullptr, kJotbookLogProgId) &&
              SetString(classes, classKey + L"\\InprocServer32", nullptr, path) &&
              SetString(classes, classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    RegCloseKey(classes);
    if (ok) return S_OK;
    Unregister(root);  // no half registration
    return SELFREG_E_CLASS;
}

// Removes the class, and the ProgID only while it still names this class.
HRESULT Unregister(HKEY root) {
    HKEY classes = OpenClasses(root, false);
    if (!classes) return S_OK;
    std::wstring clsid = ClassKey().substr(6);
    LONG classResult = RegDeleteTreeW(classes, ClassKey().c_str());
    wchar_t named[64] = {};
    DWORD size = sizeof(named) - sizeof(wchar_t);
    LONG progResult = ERROR_FILE_NOT_FOUND;
    if (RegGetValueW(classes, (std::wstring(kJotbookLogProgId) + L"\\CLSID").c_str(), nullptr, RRF_RT_REG_SZ,
                     nullptr, named, &size) == ERROR_SUCCESS &&
        _wcsicmp(named, clsid.c_str()) == 0)
        progResult = RegDeleteTreeW(classes, kJotbookLogProgId);
    RegCloseKey(classes);
    auto gone = [](LONG result) { return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND; };
    return gone(classResult) && gone(progResult) ? S_OK : SELFREG_E_CLASS;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_JotbookLog) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) Factory;
    if (!factory) return E_OUTOFMEMORY;
    HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result;
}

// The viewer's language file for a host whose file is not named after its program, and for tests;
// null or empty goes back to the host program's.
void WINAPI SetLanguageFile(const wchar_t* file) { SetViewerLanguageFile(file ? file : L""); }

STDAPI DllCanUnloadNow() { return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return Register(HKEY_LOCAL_MACHINE); }
STDAPI DllUnregisterServer() { return Unregister(HKEY_LOCAL_MACHINE); }

// regsvr32 /i:user registers for the current user alone; no command line, or "machine", for everyone.
STDAPI DllInstall(BOOL install, PCWSTR commandLine) {
    HKEY root = HKEY_LOCAL_MACHINE;
    if (commandLine && _wcsicmp(commandLine, L"user") == 0) root = HKEY_CURRENT_USER;
    else if (commandLine && *commandLine && _wcsicmp(commandLine, L"machine") != 0) return E_INVALIDARG;
    return install ? Register(root) : Unregister(root);
}

}  // extern "C"
