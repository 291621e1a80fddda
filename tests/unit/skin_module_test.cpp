#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

// The program calls the skinning library only by these ordinals.
TEST(SkinModule, ExportsTheFiveOrdinalsAndLoadsOnlyAfterInitialising) {
    HMODULE module = LoadLibraryA(HostPath(TIDYHOLD_SKIN_DLL).c_str());
    ASSERT_TRUE(module);
    for (int ordinal : {1, 2, 3, 5, 8}) EXPECT_TRUE(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))) << ordinal;

    using InitFn = BOOL(WINAPI*)(HINSTANCE, const char*, int, int);
    using LoadFn = BOOL(WINAPI*)(const char*);
    using ExitFn = void(WINAPI*)();
    auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(1))));
    auto exit = reinterpret_cast<ExitFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(2))));
    auto load = reinterpret_cast<LoadFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(3))));
    std::string skin = HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/Tidyhold.smf");
    EXPECT_FALSE(load(skin.c_str()));
    EXPECT_TRUE(init(nullptr, "Demo", 0, 0));
    EXPECT_TRUE(load(skin.c_str()));
    EXPECT_FALSE(load("C:\\no\\such\\skin.smf"));
    TempFolder folder;
    WriteFile(folder / "bad.smf", "[Colours]\r\nFace=300,-1,x\r\n");
    EXPECT_FALSE(load((folder / "bad.smf").c_str()));
    exit();
    FreeLibrary(module);
}
