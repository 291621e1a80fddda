#include "ui/hyperlink_field.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <charconv>

#include "base/failure.h"
#include "base/registry.h"
#include "ui/dialog.h"
#include "ui/shell_open.h"

namespace {

constexpr UINT_PTR kToolId = 1;

std::string_view TrimBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<int> ParseComponent(std::string_view text) {
    text = TrimBlanks(text);
    int value = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value > 255)
        return std::nullopt;
    return value;
}

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }

}  // namespace

std::optional<COLORREF> ParseColorText(std::string_view text) {
    int parts[3] = {};
    for (int index = 0; index < 3; ++index) {
        size_t comma = text.find(',');
        if ((index < 2) == (comma == std::string_view::npos)) return std::nullopt;  // exactly two commas
        std::optional<int> value = ParseComponent(text.substr(0, comma));
        if (!value) return std::nullopt;
        parts[index] = *value;
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return RGB(parts[0], parts[1], parts[2]);
}

LinkColors ReadLinkColors(HKEY root, const std::string& key) {
    LinkColors colors;
    if (auto link = ParseColorText(ReadValueText(root, key, "Anchor Color"))) colors.link = *link;
    if (auto visited = ParseColorText(ReadValueText(root, key, "Anchor Color Visited"))) colors.visited = *visited;
    return colors;
}

HyperlinkField::~HyperlinkField() {
    if (control) {
        if (tooltip) DestroyWindow(tooltip);
        Detach();
    }
}

bool HyperlinkField::Attach(HWND window) {
    if (control || !IsWindow(window)) return false;
    control = window;
    visited = false;
    label = WindowText(window);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, "static") == 0)  // a static takes no mouse input without it
        SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | SS_NOTIFY);
    auto base = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA logFont{};
    GetObjectA(base ? static_cast<HGDIOBJ>(base) : GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
    logFont.lfUnderline = TRUE;
    font.Reset(CreateFontIndirectA(&logFont));
    hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
    colors = ReadLinkColors(HKEY_CURRENT_USER, kLinkColorsKey);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));

    tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                              AppInstance(), nullptr);
    if (tooltip) {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every version of the common controls
        tool.hwnd = window;
        tool.uId = kToolId;
        tool.lpszText = target.data();
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    Measure();
    InvalidateRect(window, nullptr, TRUE);
    return true;
}

void HyperlinkField::Detach() {
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongPtrA(control, GWLP_USERDATA, 0);
    control = nullptr;
    tooltip = nullptr;
    pressed = false;
}

UINT HyperlinkField::DrawFlags() const {
    LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    UINT flags = DT_WORDBREAK;
    if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: return flags | DT_CENTER;
    case SS_RIGHT: return flags | DT_RIGHT;
    default: return flags | DT_LEFT;
    }
}

// The drawn text's box, placed as the alignment puts it: what the mouse must hit.
void HyperlinkField::Measure() {
    RECT client{};
    GetClientRect(control, &client);
    RECT text = client;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    UINT flags = DrawFlags();
    DrawTextA(dc, label.c_str(), -1, &text, flags | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    int width = std::min(text.right - text.left, client.right - client.left);
    int height = std::min(text.bottom - text.top, client.bottom - client.top);
    int left = client.left;
    if (flags & DT_CENTER) left += (client.right - client.left - width) / 2;
    else if (flags & DT_RIGHT) left = client.right - width;
    linkRect = {left, client.top, left + width, client.top + height};
    if (tooltip) {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = control;
        tool.uId = kToolId;
        tool.rect = linkRect;
        SendMessageA(tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// The background is the dialog's own static brush; the text goes over it transparently.
void HyperlinkField::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(control, &paint);
    RECT client{};
    GetClientRect(control, &client);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(control), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TextColor());
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, label.c_str(), -1, &client, DrawFlags());
    SelectObject(dc, old);
    if (GetFocus() == control) DrawFocusRect(dc, &linkRect);
    EndPaint(control, &paint);
}

void HyperlinkField::Open() {
    if (target.empty()) return;
    if (!ShellOpen(nullptr, target) || !control) return;  // not opened: nothing shown, still unvisited
    visited = true;
    InvalidateRect(control, nullptr, TRUE);
}

bool HyperlinkField::InLink(LPARAM clientPoint) const {
    POINT point{GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
    return PtInRect(&linkRect, point) != FALSE;
}

LRESULT CALLBACK HyperlinkField::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HyperlinkField*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || self->control != window) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    WNDPROC original = self->original;
    bool handled = false;
    RunGuarded(GetAncestor(window, GA_ROOT), [&] {
        result = self->OnMessage(message, wParam, lParam);
        handled = true;
    });
    return handled ? result : CallWindowProcA(original, window, message, wParam, lParam);
}

LRESULT HyperlinkField::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = control;
    WNDPROC next = original;
    if (tooltip && IsMouseMessage(message)) {
        MSG relayed{window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        DWORD position = GetMessagePos();
        relayed.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
        SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SETCURSOR: {
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(window, &point);
        if (!PtInRect(&linkRect, point)) break;
        SetCursor(hand);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
        if (!InLink(lParam)) break;
        SetFocus(window);
        SetCapture(window);
        pressed = true;
        return 0;
    case WM_LBUTTONUP: {
        if (!pressed) break;
        pressed = false;
        bool inside = InLink(lParam);
        ReleaseCapture();
        if (inside) Open();
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed = false;
        break;
    case WM_GETDLGCODE: {
        // Characters, and Enter too, which the dialog would otherwise give its default button.
        LRESULT code = DLGC_WANTCHARS;
        auto* pending = reinterpret_cast<const MSG*>(lParam);
        if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_CHAR:
        if (wParam != ' ' && wParam != '\r') break;
        Open();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_SETTEXT: {
        LRESULT set = CallWindowProcA(next, window, message, wParam, lParam);
        label = WindowText(window);
        Measure();
        InvalidateRect(window, nullptr, TRUE);
        return set;
    }
    case WM_SIZE:
        Measure();
        break;
    case WM_DESTROY:
        if (tooltip) DestroyWindow(tooltip);
        tooltip = nullptr;
        break;
    case WM_NCDESTROY:
        Detach();
        break;
    default:
        break;
    }
    return CallWindowProcA(next, window, message, wParam, lParam);
}
