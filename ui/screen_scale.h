// Pixel sizes given for 96 DPI, scaled to the screen's DPI (the program is system DPI aware).
#pragma once
#include <windows.h>

#include <vector>

#include "base/win_handles.h"

int ScreenDpi();
// pixels * DPI / 96, rounded.
int ScaleToScreen(int pixels);

// A 24-bit bottom-up picture of the screen's kind; info and bits describe it for the caller.
UniqueBitmap CreateScreenPicture(int width, int height, BITMAPINFO& info, void*& bits);

// Each picture static of the dialog (SS_BITMAP, kept at its template size by SS_REALSIZECONTROL)
// gets its picture, drawn at twice the 96-DPI size, scaled down to exactly its size with a
// smoothing filter. The copies are returned: they must outlive the statics.
std::vector<UniqueBitmap> FitPictures(HWND dialog);
