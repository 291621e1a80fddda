#include "ui/progress_bar.h"

#include <commctrl.h>

#include <climits>

namespace {
int BarValue(std::size_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }
}  // namespace

void SetBarRange(HWND bar, std::size_t total) { SendMessageA(bar, PBM_SETRANGE32, 0, BarValue(total)); }

void SetBarPosition(HWND bar, std::size_t position) {
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(BarValue(position)), 0);
}
