// One base class for every window built from a dialog template.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

class Dialog {
public:
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();  // too late for a derived OnDestroy: derived classes close first

    INT_PTR RunModal(HWND owner);      // DialogBoxParamA
    HWND CreateModeless(HWND parent);  // CreateDialogParamA; pages, and tests for every dialog
    HWND Hwnd() const { return hwnd; }
    HWND Item(int id) const { return GetDlgItem(hwnd, id); }

protected:
    explicit Dialog(int templateId) : templateId(templateId) {}
    virtual bool OnInit() { return true; }
    virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
    virtual bool OnNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    virtual void OnDestroy() {}  // settings pages save here
    virtual void OnDestroyed() {}  // the window's last message: its child windows are gone
    void Close(INT_PTR result);  // EndDialog when modal, DestroyWindow when not
    void DestroyNow();           // for derived destructors: runs OnDestroy while the object is whole

    HWND hwnd = nullptr;

private:
    static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);  // no exception gets past it
    static INT_PTR Dispatch(HWND, UINT, WPARAM, LPARAM);
    int templateId;
    bool modal = false;
};

// The program's module: templates, icons and bitmaps load from it.
HINSTANCE AppInstance();

// Centres a window over its owner, or in the work area when it has none, keeping it inside the work
// area of the monitor the owner (or the window) is on.
void CenterWindow(HWND window);
// The top left corner for a window of that size centred over `over` and kept inside `work`. A window
// larger than the work area keeps its top left corner inside, so its caption stays in reach.
POINT CenteredPosition(SIZE window, const RECT& over, const RECT& work);

bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);
std::string ItemText(HWND dialog, int id);
// A window's whole text, whatever its length and characters.
std::string WindowText(HWND window);

// Message maps as tables. A command route with no code takes every notification code of its id
// (a button's click, a menu item, an accelerator).
constexpr int kAnyCode = -1;
template <class Self>
struct CommandRoute {
    int id;
    void (Self::*handler)();
    int code = kAnyCode;
};
template <class Self, std::size_t N>
bool Route(Self& self, const CommandRoute<Self> (&routes)[N], int id, int code) {
    for (const auto& route : routes)
        if (route.id == id && (route.code == kAnyCode || route.code == code)) {
            (self.*route.handler)();
            return true;
        }
    return false;
}

// The handler's result goes back to the control that sent the notification.
template <class Self>
struct NotifyRoute {
    int id;
    UINT code;
    LRESULT (Self::*handler)(NMHDR&);
};
template <class Self, std::size_t N>
bool Route(Self& self, const NotifyRoute<Self> (&routes)[N], NMHDR& header, LRESULT& result) {
    for (const auto& route : routes)
        if (static_cast<UINT_PTR>(route.id) == header.idFrom && route.code == header.code) {
            result = (self.*route.handler)(header);
            return true;
        }
    return false;
}
