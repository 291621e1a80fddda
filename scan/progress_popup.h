// The small topmost window with a status line and a bar, shown while the report is filled.
#pragma once
#include <windows.h>

#include <cstddef>

#include "ui/dialog.h"

class ProgressPopup : public Dialog {
public:
    ProgressPopup();

    // Creates the popup over its owner, topmost and shown, with the bar running from 0 to total.
    bool Open(HWND owner, std::size_t total);
    // Called once per step of the caller's loop. Moving the bar repaints it at once, which costs
    // far more than a step, so the bar and the pump below run at most once a frame; the last
    // step always shows.
    void Advance(std::size_t position);

    void SetPosition(std::size_t position);
    // Dispatches at most one pending message of the popup and its controls, so it keeps painting
    // while the caller's loop runs; messages of other windows wait. False when none was pending.
    bool DispatchOne();

protected:
    bool OnInit() override;

private:
    std::size_t total = 0;
    ULONGLONG lastFrame = 0;
};
