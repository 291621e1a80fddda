// Renders the wizard on each of its pages, and the dialogs, to BMP files for the documentation.
// page_shots.exe <output folder>: run beside Tidyhold.language and config.xml, on a real display.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/com_ptr.h"
#include "app/language_table.h"
#include "app/main_wizard.h"
#include "app/program_paths.h"
#include "app/wizard_navigation.h"

namespace {

void Settle(int milliseconds) {
    DWORD until = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (GetTickCount() < until) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

bool SaveWindow(HWND window, const std::string& file) {
    RECT rect{};
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    int stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
    header.bfSize = header.bfOffBits + static_cast<DWORD>(stride * height);
    FILE* out = fopen(file.c_str(), "wb");
    bool ok = out != nullptr;
    if (out) {
        fwrite(&header, sizeof(header), 1, out);
        fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
        fwrite(bits, static_cast<size_t>(stride) * static_cast<size_t>(height), 1, out);
        fclose(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: page_shots <output folder>\n");
        return 1;
    }
    std::string output = argv[1];
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    Language().SetFile(ProgramFolder() + "\\Tidyhold.language");

    const char* names[] = {"welcome", "folders", "junk-files", "options", "skip-folders",
                           "scanning", "report", "clean-options", "cleaning", "results"};
    MainWizard wizard;
    if (!wizard.CreateModeless(nullptr)) return 1;
    ShowWindow(wizard.Hwnd(), SW_SHOW);
    for (int page = 0; page < kPageCount; ++page) {
        wizard.ShowPage(page);
        wizard.UpdateButtons(page);
        Settle(700);
        std::string file = output + "\\page-" + std::to_string(page) + "-" + names[page] + ".bmp";
        if (!SaveWindow(wizard.Hwnd(), file)) return 1;
        std::printf("%s\n", file.c_str());
    }
    DestroyWindow(wizard.Hwnd());
    return 0;
}
