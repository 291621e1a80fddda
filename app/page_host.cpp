#include "app/page_host.h"

#include <commctrl.h>

#include "base/failure.h"

void PageHost::Attach(HWND control) {
    area = control;
    SetWindowSubclass(area, AreaProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

int PageHost::Add(HWND page) {
    pages.push_back(page);
    return static_cast<int>(pages.size()) - 1;
}

HWND PageHost::Page(int index) const {
    return index >= 0 && index < static_cast<int>(pages.size()) ? pages[static_cast<size_t>(index)] : nullptr;
}

void PageHost::ShowPage(int index) {
    HWND page = Page(index);
    if (index == current || !page) return;
    if (HWND shown = Page(current)) ShowWindow(shown, SW_HIDE);
    RECT client{};
    GetClientRect(area, &client);
    MoveWindow(page, client.left, client.top, client.right - client.left, client.bottom - client.top, FALSE);
    ShowWindow(page, SW_SHOW);
    current = index;
}

bool PageHost::NextPage() {
    if (!Page(current + 1)) return false;
    ShowPage(current + 1);
    return true;
}

bool PageHost::PreviousPage() {
    if (!Page(current - 1)) return false;
    ShowPage(current - 1);
    return true;
}

LRESULT CALLBACK PageHost::AreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<PageHost*>(data);
    if (message == WM_SIZE) {
        RunGuarded(GetAncestor(window, GA_ROOT), [&] {
            if (HWND page = self->Page(self->current)) MoveWindow(page, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        });
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, AreaProc, 0);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
