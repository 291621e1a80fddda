#include <windows.h>

#include <gtest/gtest.h>

#include "base/program_paths.h"
#include "clean/backup_set.h"
#include "tests/support/file_tree.h"
#include "tests/support/temp_folder.h"

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME time{};
    time.wYear = year, time.wMonth = month, time.wDay = day;
    time.wHour = hour, time.wMinute = minute, time.wSecond = second;
    return time;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TEST(BackupSetPaths, SetFolderDropsOneTrailingBackslashAndNamesTheTime) {
    const SYSTEMTIME march5 = At(2006, 3, 5, 14, 3, 9);
    struct Case {
        const char* directory;
        const char* expected;
    } cases[] = {
        {"D:\\Backup\\", "D:\\Backup\\2006-03-05_14-03-09"},
        {"D:\\Backup", "D:\\Backup\\2006-03-05_14-03-09"},
        {"D:\\Backup\\\\", "D:\\Backup\\\\2006-03-05_14-03-09"},  // only one backslash goes
        {"", "\\2006-03-05_14-03-09"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directory);
        EXPECT_EQ(BackupSet::SetFolderPath(c.directory, march5), c.expected);
    }
    EXPECT_EQ(BackupSet::SetFolderPath("E:\\b", At(1999, 12, 31, 0, 0, 5)), "E:\\b\\1999-12-31_00-00-05");
}

TEST(BackupSetPaths, CopiesMirrorTheFilePathWithTheDriveAsFirstFolder) {
    const std::string set = "D:\\Backup\\2006-03-05_14-03-09";
    struct Case {
        const char* file;
        const char* expected;
    } cases[] = {
        {"C:\\Temp\\a.tmp", "D:\\Backup\\2006-03-05_14-03-09\\C\\Temp\\a.tmp"},
        {"C:\\Temp\\sub\\a.tmp", "D:\\Backup\\2006-03-05_14-03-09\\C\\Temp\\sub\\a.tmp"},
        {"C:x.tmp", "D:\\Backup\\2006-03-05_14-03-09\\C\\x.tmp"},  // no backslash: the colon becomes one
        {"\\\\server\\share\\a.tmp", "D:\\Backup\\2006-03-05_14-03-09\\\\\\server\\share\\a.tmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(BackupSet::CopyPathInSet(set, c.file), c.expected);
    }
}

TEST(BackupSetPaths, RestoreMatchesTheSetInAnyCaseAndKeepsTheFilesOwnLetters) {
    struct Case {
        const char* set;
        const char* copy;
        std::optional<std::string> expected;
    } cases[] = {
        {"d:\\sets\\2006-03-05_14-03-09", "d:\\sets\\2006-03-05_14-03-09\\c\\temp\\sub\\a.tmp", "c:\\temp\\sub\\a.tmp"},
        {"D:\\Sets\\2006-03-05_14-03-09\\", "d:\\SETS\\2006-03-05_14-03-09\\C\\Docs\\Report.DOCX",
         "C:\\Docs\\Report.DOCX"},
        {"D:\\Sets\\x", "D:\\Sets\\x\\C\\Temp\\a.tmp", "C:\\Temp\\a.tmp"},
        {"D:\\Sets\\x", "D:\\Sets\\x\\CD\\a.tmp", std::nullopt},  // the rest names no drive
        {"D:\\Sets\\x", "D:\\Other\\C\\a.tmp", std::nullopt},     // not inside the set
        {"D:\\Sets\\x", "D:\\Sets\\x\\", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copy);
        EXPECT_EQ(BackupSet::RestoreTarget(c.set, c.copy), c.expected);
    }
    // Both directions meet: a file's copy restores to the very same path.
    const std::string file = "C:\\Users\\Ann\\Report.DOCX";
    EXPECT_EQ(BackupSet::RestoreTarget("E:\\B\\S", BackupSet::CopyPathInSet("E:\\B\\S", file)), file);
}

TEST(BackupSetPaths, ParentFolderKeepsADriveWithItsColon) {
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"D:\\sets\\a\\b.txt", "D:\\sets\\a"}, {"C:\\x.txt", "C:"}, {"C:x", "C:"}, {"name", "name:"}, {"\\x", ":"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ParentFolder(c.path), c.expected);
    }
}

TEST(BackupSetFolders, ListsOnlyFoldersNamedAsTimesInByteOrder) {
    TempFolder root;
    for (const char* name : {"2006-03-05_14-03-09", "2005-12-31_23-59-59", "Old", "2006-03-05_14-03-09 copy",
                             "2006-3-5_1-2-3"})
        MakeFolder(root / name);
    MakeFile(root / "2004-01-01_00-00-00");  // a file is no set
    std::vector<BackupSet> sets = BackupSet::ListSets(root.Path() + "\\");
    ASSERT_EQ(sets.size(), 4u);
    EXPECT_EQ(sets[0].name, "2005-12-31_23-59-59");
    EXPECT_EQ(sets[0].path, root / "2005-12-31_23-59-59");
    EXPECT_EQ(sets[0].time, (std::array<int, 6>{2005, 12, 31, 23, 59, 59}));
    EXPECT_EQ(sets[1].name, "2006-03-05_14-03-09");
    EXPECT_EQ(sets[2].name, "2006-03-05_14-03-09 copy");
    EXPECT_EQ(sets[3].name, "2006-3-5_1-2-3");
    EXPECT_EQ(sets[3].time, (std::array<int, 6>{2006, 3, 5, 1, 2, 3}));
    EXPECT_TRUE(BackupSet::ListSets(root / "missing").empty());
}

TEST(BackupSetFolders, MakeFoldersCreatesEachLevelBeforeABackslash) {
    TempFolder root;
    MakeFolders(root / "x\\y\\");
    EXPECT_TRUE(IsFolder(root / "x"));
    EXPECT_TRUE(IsFolder(root / "x\\y"));
    MakeFolders(root / "p\\q");
    EXPECT_TRUE(IsFolder(root / "p"));
    EXPECT_EQ(GetFileAttributesA((root / "p\\q").c_str()), INVALID_FILE_ATTRIBUTES);
    // A file in the way is left as it is; the folders beyond it cannot be made.
    MakeFile(root / "f");
    MakeFolders(root / "f\\g\\");
    EXPECT_FALSE(IsFolder(root / "f"));
}

TEST(BackupSetFolders, MakeFoldersReachesPastMaxPath) {
    TempFolder root;
    std::string deep = root.Path();
    for (int level = 0; level < 3; ++level) deep += "\\" + std::string(110, 'd');
    MakeFolders(deep + "\\");
    DWORD attributes = GetFileAttributesW(ExtendedPath(deep).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(LongPaths, OnlyADriveOrAShareMakesAnAbsolutePath) {
    for (const char* absolute : {"C:\\a", "z:\\", "\\\\srv\\share", "\\\\srv\\share\\a"}) {
        SCOPED_TRACE(absolute);
        EXPECT_TRUE(IsAbsolutePath(absolute));
    }
    for (const char* relative : {"", "a", "\\a", "C:a", "\\\\srv", "\\\\srv\\", "1:\\a", "Backup\\x"}) {
        SCOPED_TRACE(relative);
        EXPECT_FALSE(IsAbsolutePath(relative));
    }
}
