// The skinning library, loaded at run time and called by ordinal at its five call sites.
// A missing library or entry point leaves the default look; no result is used.
#pragma once
#include <windows.h>

#include <string>

#include "base/win_handles.h"

class SkinLibrary {
public:
    static constexpr const char* kFileName = "WindowSkin.dll";

    void Initialise();                          // ordinal 1: loads the library first
    void LoadSkinFile(const std::string& path);  // ordinal 3
    void SkinWindow(HWND window, const char* name);  // ordinal 5
    void SetDialogSkin(const char* name);        // ordinal 8
    void Exit();                                 // ordinal 2: then unloads the library

private:
    FARPROC Entry(int ordinal) const;
    UniqueModule module;
};

SkinLibrary& Skin();
