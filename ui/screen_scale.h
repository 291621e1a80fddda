// Pixel sizes given for 96 DPI, scaled to the screen's DPI (the program is system DPI aware).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "base/win_handles.h"

struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ImageList_Destroy(h); }
};
using UniqueImageList = Unique<ImageListTraits>;

int ScreenDpi();
// pixels * DPI / 96, rounded.
int ScaleToScreen(int pixels);

// A 24-bit bottom-up picture of the screen's kind; info and bits describe it for the caller.
UniqueBitmap CreateScreenPicture(int width, int height, BITMAPINFO& info, void*& bits);

// Each picture static of the dialog (SS_BITMAP, kept at its template size by SS_REALSIZECONTROL)
// gets its picture, drawn at twice the 96-DPI size, scaled down to exactly its size with a
// smoothing filter. The copies are returned: they must outlive the statics.
std::vector<UniqueBitmap> FitPictures(HWND dialog);

// Pixels as 0xRRGGBB, row after row from the top.
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The strip's `count` images, side by side, each scaled on its own to width x height. A pixel of the
// result is the average of the source pixels under it that are not `transparent`, or `transparent`
// where those cover less than half of it: no image takes in its neighbour's pixels or the
// transparent colour, and no opaque average comes out as the transparent colour. Empty when the
// strip is not `count` images wide.
PixelImage ScaleImageStrip(const PixelImage& strip, int count, int width, int height, std::uint32_t transparent);

// An image list of the bitmap's images, each `width` pixels wide at 96 DPI, white where transparent,
// sized for the screen: at 96 DPI the bitmap itself, otherwise its drawing at twice the size
// (doubleBitmapId) scaled to the DPI by ScaleImageStrip.
UniqueImageList LoadScreenImageList(int bitmapId, int doubleBitmapId, int width);
