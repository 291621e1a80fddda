#include "scan/progress_popup.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/language_table.h"
#include "ui/progress_bar.h"

namespace {

constexpr ULONGLONG kFrameMilliseconds = 16;

}  // namespace

ProgressPopup::ProgressPopup() : Dialog(IDD_PROGRESS_POPUP) {}

bool ProgressPopup::Open(HWND owner, std::size_t count) {
    total = count;
    if (!CreateModeless(owner)) return false;
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // 32-bit range: PBM_SETRANGE would cut a count above 65535.
    SetBarRange(Item(IDC_PROGRESS_BAR), total);
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
    SetBarPosition(Item(IDC_PROGRESS_BAR), position);
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
