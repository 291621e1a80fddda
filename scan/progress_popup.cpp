#include "scan/progress_popup.h"

#include <commctrl.h>

#include <climits>

#include "res/resource.h"
#include "ui/language_table.h"

namespace {

// The bar's positions are ints; a count beyond that only loses the last steps.
int BarValue(std::size_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

constexpr ULONGLONG kFrameMilliseconds = 16;

}  // namespace

ProgressPopup::ProgressPopup() : Dialog(IDD_PROGRESS_POPUP) {}

bool ProgressPopup::Open(HWND owner, std::size_t count) {
    total = count;
    if (!CreateModeless(owner)) return false;
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // 32-bit range: PBM_SETRANGE would cut a count above 65535.
    SendMessageA(Item(IDC_PROGRESS_BAR), PBM_SETRANGE32, 0, BarValue(total));
    ShowWindow(hwnd, SW_SHOW);
    return true;
}

void ProgressPopup::Advance(std::size_t position) {
    ULONGLONG now = GetTickCount64();
    if (position < total && now - lastFrame < kFrameMilliseconds) return;
    lastFrame = now;
    SetPosition(position);
    DispatchOne();
}

void ProgressPopup::SetPosition(std::size_t position) {
    SendMessageA(Item(IDC_PROGRESS_BAR), PBM_SETPOS, static_cast<WPARAM>(BarValue(position)), 0);
}

bool ProgressPopup::DispatchOne() {
    if (!hwnd) return false;  // a null filter would take any window's message
    MSG message;
    if (!PeekMessageA(&message, hwnd, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {  // not ours to take: leave it for the main loop
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

bool ProgressPopup::OnInit() {
    CenterWindow(hwnd);
    SetDlgItemTextA(hwnd, IDC_PROGRESS_STATUS, Language().Lookup("_ReportPageProgressState").c_str());
    return false;
}
