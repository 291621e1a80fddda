// The wizard's page area (control 1016): owns the order of the page windows and which one shows.
#pragma once
#include <windows.h>

#include <vector>

class PageHost {
public:
    void Attach(HWND area);
    int Add(HWND page);
    void ShowPage(int index);
    bool NextPage();
    bool PreviousPage();
    int Current() const { return current; }
    HWND Page(int index) const;

private:
    static LRESULT CALLBACK AreaProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    HWND area = nullptr;
    std::vector<HWND> pages;
    int current = -1;
};
