// Documents, addresses and programs opened with the shell's "open" verb, shown normally.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// The function that finally asks the shell; tests put a recorder in its place.
using ShellOpenFunction = std::function<void(HWND owner, const std::string& file, const std::string& parameters)>;
ShellOpenFunction& ShellOpenHandler();

// A failure is silent: the shell tells the user itself where it can.
void ShellOpen(HWND owner, const std::string& file, const std::string& parameters = {});
