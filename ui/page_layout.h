// Resize rules: each page lists the controls that widen, grow, move right or move down by the
// change of its client size since it was created; controls not listed keep their place.
#pragma once
#include <windows.h>

#include <span>
#include <vector>

struct Anchor {
    enum : unsigned { GrowX = 1, GrowY = 2, MoveX = 4, MoveY = 8 };
    int id;
    unsigned flags;
};

// Where a control created at `start` goes when the page is dx wider and dy taller.
RECT AnchoredRect(const RECT& start, unsigned flags, int dx, int dy);

class PageLayout {
public:
    // Remembers the page's client size and the listed controls' places, at creation.
    void Capture(HWND page, std::span<const Anchor> anchors);
    void Apply(int clientWidth, int clientHeight) const;

private:
    struct Placed {
        HWND control;
        RECT start;
        unsigned flags;
    };
    HWND page = nullptr;
    SIZE startSize{};
    std::vector<Placed> controls;
};
