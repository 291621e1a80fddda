#include "ui/dialog.h"

#include <algorithm>
#include <vector>

#include "base/ansi.h"
#include "base/failure.h"

HINSTANCE AppInstance() { return GetModuleHandleA(nullptr); }

Dialog::~Dialog() {
    if (hwnd) DestroyWindow(hwnd);
}

INT_PTR Dialog::RunModal(HWND owner) {
    modal = true;
    INT_PTR result = DialogBoxParamA(AppInstance(), MAKEINTRESOURCEA(templateId), owner, Proc,
                                     reinterpret_cast<LPARAM>(this));
    modal = false;
    return result;
}

HWND Dialog::CreateModeless(HWND parent) {
    modal = false;
    return CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(templateId), parent, Proc,
                              reinterpret_cast<LPARAM>(this));
}

void Dialog::Close(INT_PTR result) {
    if (modal) {
        EndDialog(hwnd, result);
    } else {
        DestroyWindow(hwnd);
    }
}

void Dialog::DestroyNow() {
    if (hwnd) DestroyWindow(hwnd);
}

INT_PTR CALLBACK Dialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled = FALSE;
    RunGuarded(GetAncestor(window, GA_ROOT), [&] { handled = Dispatch(window, message, wParam, lParam); });
    return handled;
}

INT_PTR Dialog::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return self->OnInit() ? TRUE : FALSE;
    }
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;  // messages before WM_INITDIALOG

    switch (message) {
    case WM_COMMAND: {
        // A click for a disabled button (queued before it was disabled, or posted by another
        // program) does nothing, so no handler acts against the state its button shows.
        HWND control = GetDlgItem(window, LOWORD(wParam));
        if (HIWORD(wParam) == BN_CLICKED && control && !IsWindowEnabled(control)) return TRUE;
        return self->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!self->OnNotify(*reinterpret_cast<NMHDR*>(lParam), result)) return FALSE;
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_DESTROY:
        self->OnDestroy();
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->hwnd = nullptr;
        self->OnDestroyed();
        return FALSE;
    default:
        break;
    }
    LRESULT result = 0;
    if (!self->OnMessage(message, wParam, lParam, result)) return FALSE;
    switch (message) {  // these return their value directly, not through DWLP_MSGRESULT
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

void CenterWindow(HWND window) {
    HWND owner = GetWindow(window, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTONEAREST), &monitor))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    RECT over = monitor.rcWork;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
    RECT rect{};
    GetWindowRect(window, &rect);
    POINT at = CenteredPosition({rect.right - rect.left, rect.bottom - rect.top}, over, monitor.rcWork);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT CenteredPosition(SIZE window, const RECT& over, const RECT& work) {
    LONG x = over.left + ((over.right - over.left) - window.cx) / 2;
    LONG y = over.top + ((over.bottom - over.top) - window.cy) / 2;
    x = std::max(std::min(x, work.right - window.cx), work.left);
    y = std::max(std::min(y, work.bottom - window.cy), work.top);
    return {x, y};
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) != BST_UNCHECKED; }

void SetChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

// Read as UTF-16: the 8-bit length may count the UTF-16 text, which is shorter than its UTF-8 form.
std::string WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    int read = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return FromWide({buffer.data(), static_cast<size_t>(read > 0 ? read : 0)});
}
