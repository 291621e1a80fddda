#include "ui/screen_scale.h"

int ScreenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        int value = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int ScaleToScreen(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }

UniqueBitmap CreateScreenPicture(int width, int height, BITMAPINFO& info, void*& bits) {
    info = BITMAPINFO{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    bits = nullptr;
    HDC screen = GetDC(nullptr);
    UniqueBitmap picture(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ReleaseDC(nullptr, screen);
    return picture;
}

namespace {

// A 24-bit copy at the given size: the common controls keep 32-bit pictures as copies of their own.
UniqueBitmap Scaled(HBITMAP source, int width, int height) {
    BITMAP size{};
    if (!GetObjectA(source, sizeof size, &size) || width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    void* bits = nullptr;
    UniqueBitmap target = CreateScreenPicture(width, height, info, bits);
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (target && from && to) {
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, target.Get());
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, nullptr);
        StretchBlt(to, 0, 0, width, height, from, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
    }
    if (from) DeleteDC(from);
    if (to) DeleteDC(to);
    return target;
}

}  // namespace

std::vector<UniqueBitmap> FitPictures(HWND dialog) {
    std::vector<UniqueBitmap> pictures;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
        auto source = reinterpret_cast<HBITMAP>(SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
        RECT place{};
        GetClientRect(child, &place);
        UniqueBitmap fitted = source ? Scaled(source, place.right, place.bottom) : UniqueBitmap();
        if (!fitted) continue;  // no memory for the copy: the static stretches the picture itself
        // The template's picture came from the resource: the static leaves it to whoever replaces it.
        if (auto old = reinterpret_cast<HBITMAP>(
                SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(fitted.Get()))))
            DeleteObject(old);
        pictures.push_back(std::move(fitted));
    }
    return pictures;
}
