#include "ui/folder_browser.h"

#include <shlobj.h>

FolderBrowserFunction& FolderBrowserHandler() {
    static FolderBrowserFunction handler = [](HWND owner) -> std::optional<std::string> {
        BROWSEINFOA info{};
        info.hwndOwner = owner;
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        PIDLIST_ABSOLUTE picked = SHBrowseForFolderA(&info);
        if (!picked) return std::nullopt;
        char path[MAX_PATH] = {};
        bool hasPath = SHGetPathFromIDListA(picked, path) != FALSE;
        CoTaskMemFree(picked);
        if (!hasPath || path[0] == '\0') return std::nullopt;
        return std::string(path);
    };
    return handler;
}

std::optional<std::string> BrowseForFolder() { return FolderBrowserHandler()(GetActiveWindow()); }
