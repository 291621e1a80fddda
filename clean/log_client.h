// The log component ("Jotbook.Log"): records of every cleaning pass, and its viewer.
// Without the component every call is skipped and the caller goes on.
#pragma once
#include <objbase.h>

#include <string>

#include "base/com_ptr.h"

// {3266C63B-1B1F-4589-B661-9658F8D07496}: the component's interface, in slot order.
struct ILogBook : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ShowViewer(LONG flags, IUnknown* owner) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFolder(BSTR folder) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddRecord(BSTR type, BSTR category, BSTR action, BSTR source, BSTR text) = 0;
};
extern const IID IID_ILogBook;

class LogClient {
public:
    // Creates the component and points it at ProgramFolder + "\Log\Data".
    LogClient();
    explicit operator bool() const { return static_cast<bool>(book); }

    void AddRecord(const std::string& type, const std::string& category, const std::string& action,
                   const std::string& source, const std::string& text);
    void ShowViewer();

private:
    ComPtr<ILogBook> book;
};

// The results page's button and the Tools menu's log viewer item.
void OpenLogViewer();
