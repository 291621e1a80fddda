#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine: not used*/, int showCommand) {
    return RunProgram(instance, showCommand);
}
