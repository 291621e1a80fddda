// The log viewer: the records of a folder, newest first, with a search box over every text.
#pragma once
#include <windows.h>

#include <string>

// Modal over owner (which may be null); returns when the user closes it.
void ShowLogViewer(HINSTANCE module, HWND owner, const std::wstring& folder);
