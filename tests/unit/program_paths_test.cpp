#include <gtest/gtest.h>

#include "base/program_paths.h"

TEST(ProgramPaths, FolderAndBaseNameFollowTheProgramFile) {
    struct Case {
        const char* path;
        const char* folder;
        const char* base;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Tidyhold\\Tool.exe", "C:\\Program Files\\Tidyhold", "Tool"},
        {"C:\\Tool.exe", "C:", "Tool"},                       // drive root: the colon stays
        {"C:Tool.exe", "C:", "Tool"},                         // no backslash at all
        {"\\\\server\\share\\Tool.exe", "\\\\server\\share", "Tool"},  // UNC: up to the last backslash
        {"D:\\apps\\my.tool.exe", "D:\\apps", "my.tool"},     // only the last extension goes
        {"D:\\apps\\Tool", "D:\\apps", "Tool"},               // no dot: the whole name
        {"D:\\some.dir\\Tool", "D:\\some.dir", "Tool"},       // a dot in the folder is not an extension
        {"D:\\apps\\.hidden", "D:\\apps", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FolderOfPath(c.path), c.folder);
        EXPECT_EQ(BaseNameOfPath(c.path), c.base);
    }
}

TEST(ProgramPaths, TheRunningProgramFindsItself) {
    std::string path = ProgramFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(ProgramFolder() + "\\" + ProgramBaseName() + ".exe", path);
    EXPECT_EQ(ProgramBaseName(), "unit_tests");
}
