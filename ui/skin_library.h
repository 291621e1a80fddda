// The skinning library, loaded at run time and called by ordinal at its five call sites.
// A missing library or entry point leaves the default look; no result is used.
#pragma once
#include <windows.h>

#include <string>

#include "base/win_handles.h"

class SkinLibrary {
public:
    static constexpr const char* kFileName = "WindowSkin.dll";

    void Initialise();  // loads the library first
    void LoadSkinFile(const std::string& path);
    void SkinWindow(HWND window, const char* name);
    void SetDialogSkin(const char* name);
    void Exit();  // then unloads the library

private:
    // The library exports these by number only (components/skin/window_skin.def).
    enum Ordinal : int { kInitialise = 1, kExit = 2, kLoadSkinFile = 3, kSkinWindow = 5, kSetDialogSkin = 8 };
    FARPROC Entry(Ordinal ordinal) const;
    UniqueModule module;
};

SkinLibrary& Skin();
