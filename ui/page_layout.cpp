#include "ui/page_layout.h"

RECT AnchoredRect(const RECT& start, unsigned flags, int dx, int dy) {
    RECT r = start;
    if (flags & Anchor::MoveX) {
        r.left += dx;
        r.right += dx;
    } else if (flags & Anchor::GrowX) {
        r.right += dx;
    }
    if (flags & Anchor::MoveY) {
        r.top += dy;
        r.bottom += dy;
    } else if (flags & Anchor::GrowY) {
        r.bottom += dy;
    }
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

void PageLayout::Capture(HWND window, std::span<const Anchor> anchors) {
    page = window;
    RECT client{};
    GetClientRect(page, &client);
    startSize = {client.right, client.bottom};
    controls.clear();
    for (const Anchor& anchor : anchors) {
        HWND control = GetDlgItem(page, anchor.id);
        if (!control) continue;
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
        controls.push_back({control, rect, anchor.flags});
    }
}

void PageLayout::Apply(int clientWidth, int clientHeight) const {
    if (!page || controls.empty()) return;
    int dx = clientWidth - startSize.cx;
    int dy = clientHeight - startSize.cy;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(controls.size()));
    for (const Placed& placed : controls) {
        RECT r = AnchoredRect(placed.start, placed.flags, dx, dy);
        if (batch)
            batch = DeferWindowPos(batch, placed.control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch) EndDeferWindowPos(batch);
    InvalidateRect(page, nullptr, TRUE);
}
