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
    EXPECT_TRUE(path.ends_with("\\tests\\unit_tests.exe")) << path;
    EXPECT_EQ(ProgramFolder(), path.substr(0, path.size() - std::string_view("\\unit_tests.exe").size()));
    EXPECT_EQ(ProgramBaseName(), "unit_tests");
}
