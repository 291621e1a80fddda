#include <windows.h>

#include "app/startup.h"
#include "base/failure.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine: not used*/, int showCommand) {
    int exitCode = 1;  // what an exception that ended the program leaves
    RunGuarded(nullptr, [&] { exitCode = RunProgram(instance, showCommand); });
    return exitCode;
}
