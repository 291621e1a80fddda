// Every message box of the program: caption "_Tidyhold", information icon, texts looked up as shown.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

// The function that finally shows a box; tests put scripted answers in its place.
using MessageBoxFunction = std::function<int(HWND owner, const std::string& text, const std::string& caption,
                                             UINT style)>;
MessageBoxFunction& MessageBoxHandler();

// Shows the language text of textKey (escapes not expanded).
int ShowMessage(HWND owner, std::string_view textKey, UINT buttons = MB_OK);
// Shows a text that is already built (a formatted language text).
int ShowMessageText(HWND owner, const std::string& text, UINT buttons = MB_OK);
// An exception that reached a window procedure or a worker's entry, told to the user.
void ShowFailure(HWND owner, const std::string& what);
