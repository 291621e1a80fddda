#include "ui/dialog.h"

#include <vector>

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
    case WM_COMMAND:
        return self->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
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
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT area = work;
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
    RECT rect{};
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = area.left + ((area.right - area.left) - width) / 2;
    int y = area.top + ((area.bottom - area.top) - height) / 2;
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) != BST_UNCHECKED; }

void SetChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(item);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    int read = GetWindowTextA(item, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<size_t>(read > 0 ? read : 0));
}
