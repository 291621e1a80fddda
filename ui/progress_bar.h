// Progress bars with a 32-bit range: counts past INT_MAX stay at the end of the bar.
#pragma once
#include <windows.h>

#include <cstddef>

void SetBarRange(HWND bar, std::size_t total);
void SetBarPosition(HWND bar, std::size_t position);
