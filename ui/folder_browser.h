// The shell's folder browser: one existing file-system folder, or nothing.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

using FolderBrowserFunction = std::function<std::optional<std::string>(HWND owner)>;
// The function that finally shows the browser; tests put scripted answers in its place.
FolderBrowserFunction& FolderBrowserHandler();

// Owned by the active window, no title, no root restriction, file-system folders only. The path
// comes as the shell gives it: a drive root keeps its trailing backslash.
std::optional<std::string> BrowseForFolder();
