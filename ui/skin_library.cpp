#include "ui/skin_library.h"

#include "base/program_paths.h"

namespace {
using InitFn = BOOL(WINAPI*)(HINSTANCE, const char*, int, int);
using ExitFn = void(WINAPI*)();
using LoadFn = BOOL(WINAPI*)(const char*);
using SkinWindowFn = BOOL(WINAPI*)(HWND, const char*);
using DialogSkinFn = BOOL(WINAPI*)(const char*);

template <class Fn>
Fn As(FARPROC entry) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(entry));
}
}  // namespace

FARPROC SkinLibrary::Entry(Ordinal ordinal) const {
    return module ? GetProcAddress(module.Get(), MAKEINTRESOURCEA(ordinal)) : nullptr;
}

void SkinLibrary::Initialise() {
    // Beside the program, never from the search path.
    module.Reset(LoadLibraryExA((ProgramFolder() + "\\" + kFileName).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (auto init = As<InitFn>(Entry(kInitialise))) init(nullptr, "Demo", 0, 0);
}

void SkinLibrary::LoadSkinFile(const std::string& path) {
    if (auto load = As<LoadFn>(Entry(kLoadSkinFile))) load(path.c_str());
}

void SkinLibrary::SkinWindow(HWND window, const char* name) {
    if (auto skin = As<SkinWindowFn>(Entry(kSkinWindow))) skin(window, name);
}

void SkinLibrary::SetDialogSkin(const char* name) {
    if (auto skin = As<DialogSkinFn>(Entry(kSetDialogSkin))) skin(name);
}

void SkinLibrary::Exit() {
    if (auto exit = As<ExitFn>(Entry(kExit))) exit();
    module.Reset();
}

SkinLibrary& Skin() {
    static SkinLibrary library;
    return library;
}
