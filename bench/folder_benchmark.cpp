// Folder page benchmark: expanding a folder that holds many sub-folders, some with folders of
// their own, on a shown page.
//
// folder_benchmark.exe [--folders N] [--rounds N]
// The tree is made once in the temporary folder and kept for the next run.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/com_ptr.h"
#include "res/resource.h"
#include "settings/folder_page.h"

namespace {

constexpr double kTarget = 1.0;  // seconds for one expansion

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// N folders, every tenth with one folder inside, so both kinds of row are there.
std::string MakeTree(int folders) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string root = std::string(temp) + "tidyhold-bench-folders-" + std::to_string(folders);
    std::string done = root + "\\.complete";
    if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES) return root;
    CreateDirectoryA(root.c_str(), nullptr);
    for (int i = 0; i < folders; ++i) {
        std::string folder = root + "\\folder " + std::to_string(i);
        CreateDirectoryA(folder.c_str(), nullptr);
        if (i % 10 == 0) CreateDirectoryA((folder + "\\inner").c_str(), nullptr);
    }
    CloseHandle(CreateFileA(done.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return root;
}

int Argument(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == name) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    int folders = Argument(argc, argv, "--folders", 20000);
    int rounds = Argument(argc, argv, "--rounds", 3);

    std::printf("Making or finding a folder with %d sub-folders...\n", folders);
    std::string root = MakeTree(folders);
    HWND host = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                nullptr, nullptr);
    std::vector<double> seconds;
    int rows = 0;
    for (int round = 0; round < rounds; ++round) {
        FolderPage page;
        page.CreateModeless(host);
        MoveWindow(page.Hwnd(), 0, 0, 800, 600, TRUE);
        ShowWindow(page.Hwnd(), SW_SHOW);
        page.FillRoots({root});
        SendMessageA(GetDlgItem(page.Hwnd(), IDC_FOLDER_SELECT_ALL), BM_CLICK, 0, 0);  // as the page starts
        Pump();
        HWND tree = GetDlgItem(page.Hwnd(), IDC_FOLDER_TREE);
        HTREEITEM item = TreeView_GetRoot(tree);
        double start = Now();
        TreeView_Expand(tree, item, TVE_EXPAND);
        UpdateWindow(tree);
        seconds.push_back(Now() - start);
        rows = static_cast<int>(TreeView_GetCount(tree));
        std::printf("  round %d: expanded in %.3f s, %d rows\n", round + 1, seconds.back(), rows);
        DestroyWindow(page.Hwnd());
        Pump();
    }
    std::sort(seconds.begin(), seconds.end());
    double median = seconds[seconds.size() / 2];
    std::printf("Expanding a folder of %d sub-folders: median %.3f s (target < %.1f s: %s)\n", folders, median,
                kTarget, median < kTarget ? "met" : "MISSED");
    DestroyWindow(host);
    return 0;
}
