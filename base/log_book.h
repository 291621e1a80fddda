// The log component's interface and class, shared by the component and the programs that call it.
#pragma once
#include <objbase.h>

// After IUnknown, in slot order; slots 3 to 6 answer E_NOTIMPL.
struct ILogBook : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ShowViewer(LONG flags, IUnknown* owner) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFolder(BSTR folder) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddRecord(BSTR type, BSTR category, BSTR action, BSTR source, BSTR text) = 0;
};

inline constexpr IID IID_ILogBook = {0x3266C63B, 0x1B1F, 0x4589, {0xB6, 0x61, 0x96, 0x58, 0xF8, 0xD0, 0x74, 0x96}};
inline constexpr CLSID CLSID_JotbookLog = {
    0x310ADEFC, 0xC58F, 0x4BC9, {0x83, 0x76, 0xF9, 0x10, 0x0D, 0xE4, 0xB7, 0xFF}};
inline constexpr wchar_t kJotbookLogProgId[] = L"Jotbook.Log";
