#include "ui/screen_scale.h"

#include <algorithm>
#include <cstring>

#include "ui/dialog.h"

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

constexpr COLORREF kWhite = RGB(255, 255, 255);

// 32 bits a pixel, rows from the top: the layout of PixelImage.
BITMAPINFO PixelLayout(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

PixelImage ReadPixels(HBITMAP bitmap) {
    BITMAP size{};
    if (!GetObjectA(bitmap, sizeof size, &size) || size.bmWidth <= 0 || size.bmHeight <= 0) return {};
    BITMAPINFO info = PixelLayout(size.bmWidth, size.bmHeight);
    PixelImage image{size.bmWidth, size.bmHeight,
                     std::vector<std::uint32_t>(static_cast<size_t>(size.bmWidth) * size.bmHeight)};
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.bmHeight), image.pixels.data(), &info,
                         DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size.bmHeight) return {};
    for (std::uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
    return image;
}

UniqueBitmap WritePixels(const PixelImage& image) {
    BITMAPINFO info = PixelLayout(image.width, image.height);
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    UniqueBitmap bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ReleaseDC(nullptr, screen);
    if (bitmap) std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(std::uint32_t));
    return bitmap;
}

UniqueImageList ScaledImageList(int doubleBitmapId, int width) {
    UniqueBitmap source(static_cast<HBITMAP>(
        LoadImageA(AppInstance(), MAKEINTRESOURCEA(doubleBitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    PixelImage strip = source ? ReadPixels(source.Get()) : PixelImage{};
    if (strip.width == 0 || strip.width % (2 * width) != 0) return {};
    int count = strip.width / (2 * width);
    int targetWidth = ScaleToScreen(width), targetHeight = ScaleToScreen(strip.height / 2);
    PixelImage scaled = ScaleImageStrip(strip, count, targetWidth, targetHeight, 0xFFFFFF);
    UniqueBitmap images = WritePixels(scaled);
    if (!images) return {};
    UniqueImageList list(ImageList_Create(targetWidth, targetHeight, ILC_COLOR24 | ILC_MASK, count, 0));
    if (list && ImageList_AddMasked(list.Get(), images.Get(), kWhite) < 0) list.Reset();
    return list;
}

}  // namespace

PixelImage ScaleImageStrip(const PixelImage& strip, int count, int width, int height, std::uint32_t transparent) {
    if (count <= 0 || width <= 0 || height <= 0 || strip.width <= 0 || strip.height <= 0 ||
        strip.width % count != 0 || strip.pixels.size() != static_cast<size_t>(strip.width) * strip.height)
        return {};
    const int cell = strip.width / count;
    PixelImage scaled{width * count, height,
                      std::vector<std::uint32_t>(static_cast<size_t>(width) * count * height, transparent)};
    // In units of 1/height of a source row and 1/width of a source column, every span is whole.
    for (int image = 0; image < count; ++image) {
        for (int y = 0; y < height; ++y) {
            const int top = y * strip.height, bottom = top + strip.height;
            for (int x = 0; x < width; ++x) {
                const int left = x * cell, right = left + cell;
                long long opaque = 0, clear = 0, sum[3] = {};
                for (int row = top / height; row * height < bottom; ++row) {
                    const int rowWeight = std::min(bottom, (row + 1) * height) - std::max(top, row * height);
                    for (int column = left / width; column * width < right; ++column) {
                        const long long weight =
                            static_cast<long long>(rowWeight) *
                            (std::min(right, (column + 1) * width) - std::max(left, column * width));
                        std::uint32_t pixel = strip.pixels[static_cast<size_t>(row) * strip.width + image * cell + column];
                        if (pixel == transparent) {
                            clear += weight;
                            continue;
                        }
                        opaque += weight;
                        for (int channel = 0; channel < 3; ++channel)
                            sum[channel] += weight * ((pixel >> (8 * channel)) & 0xFF);
                    }
                }
                if (opaque * 2 < opaque + clear) continue;
                std::uint32_t average = 0;
                for (int channel = 0; channel < 3; ++channel)
                    average |= static_cast<std::uint32_t>((sum[channel] + opaque / 2) / opaque) << (8 * channel);
                if (average == transparent) average ^= 1;
                scaled.pixels[static_cast<size_t>(y) * scaled.width + image * width + x] = average;
            }
        }
    }
    return scaled;
}

UniqueImageList LoadScreenImageList(int bitmapId, int doubleBitmapId, int width) {
    if (ScreenDpi() != 96)
        if (UniqueImageList scaled = ScaledImageList(doubleBitmapId, width)) return scaled;
    return UniqueImageList(ImageList_LoadImageA(AppInstance(), MAKEINTRESOURCEA(bitmapId), width, 0, kWhite,
                                                IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

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
