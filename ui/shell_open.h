// Documents, addresses and programs opened with the shell's "open" verb, shown normally.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// The function that finally asks the shell; tests put a recorder in its place. True when the shell
// reports the open done (a result above 32).
using ShellOpenFunction = std::function<bool(HWND owner, const std::string& file, const std::string& parameters)>;
ShellOpenFunction& ShellOpenHandler();

// A failure shows nothing here: the shell tells the user itself where it can.
bool ShellOpen(HWND owner, const std::string& file, const std::string& parameters = {});
