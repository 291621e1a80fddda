#include <windows.h>

#include <gtest/gtest.h>

#include "clean/restore_run.h"
#include "tests/support/file_tree.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/temp_folder.h"
#include "ui/language_table.h"

namespace {

class RestoreRunTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFile(root / "t.language",
                  "[String]\r\n_LogRestoreFile=back %s > %s\r\n_LogRestoreFileChanged=over-changed %s > %s\r\n"
                  "_LogRestoreFailed=failed %s > %s\r\n_LogRestoreNoTarget=no-target %s\r\n");
        savedLanguage = Language().File();
        Language().SetFile(root / "t.language");
        MakeFolder(root / "bk");
        MakeFolder(set);
    }
    void TearDown() override { Language().SetFile(savedLanguage); }
    // A backed-up file: its copy in the set, with the content it had then.
    std::string Saved(const std::string& path, const std::string& content) {
        std::string copy = BackupSet::CopyPathInSet(set, path);
        MakeFolders(ParentFolder(copy) + "\\");
        WriteFile(copy, content);
        return copy;
    }
    // The name the folder or file has on disk, as the directory lists it.
    static std::string NameOnDisk(const std::string& path) {
        WIN32_FIND_DATAA entry{};
        HANDLE find = FindFirstFileA(path.c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return {};
        FindClose(find);
        return entry.cFileName;
    }
    static void SetWriteTime(const std::string& path, int secondsFromNow) {
        HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
        ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(secondsFromNow) * 10000000LL);
        FILETIME when{ticks.LowPart, ticks.HighPart};
        SetFileTime(file, nullptr, nullptr, &when);
        CloseHandle(file);
    }

    TempFolder root;
    std::string set = root / "bk\\2006-03-05_14-03-09";
    std::string savedLanguage;
};

}  // namespace

TEST_F(RestoreRunTest, EachCopyGoesBackUnderItsOwnLettersAndSaysWhatItOverwrote) {
    const std::string missing = root / "Data\\Sub Dir\\A.Tmp";  // neither folder exists any more
    const std::string same = root / "kept.txt";                   // still there as it was saved
    const std::string newer = root / "newer.txt";                 // written again since, same size
    const std::string grown = root / "grown.txt";                 // another size since
    const std::string asFolder = root / "now-a-folder.txt";       // a folder stands at its place
    std::string missingCopy = Saved(missing, "a"), sameCopy = Saved(same, "same"), newerCopy = Saved(newer, "old!"),
                grownCopy = Saved(grown, "g"), folderCopy = Saved(asFolder, "f");
    std::string rootCopy = set + "\\readme.txt";  // names no drive
    WriteFile(rootCopy, "r");
    CopyFileTo(sameCopy, same);
    WriteFile(newer, "new!");
    SetWriteTime(newer, 60);
    WriteFile(grown, "grown since");
    MakeFolder(asFolder);

    SetRestore restore(set);
    struct Case {
        std::string copy;
        SetRestore::Result result;
        std::string line;
    } cases[] = {
        {missingCopy, SetRestore::Result::Restored, "back " + missingCopy + " > " + missing},
        {sameCopy, SetRestore::Result::Restored, "back " + sameCopy + " > " + same},
        {newerCopy, SetRestore::Result::RestoredOverChanged, "over-changed " + newerCopy + " > " + newer},
        {grownCopy, SetRestore::Result::RestoredOverChanged, "over-changed " + grownCopy + " > " + grown},
        {folderCopy, SetRestore::Result::Failed, "failed " + folderCopy + " > " + asFolder},
        {rootCopy, SetRestore::Result::NoTarget, "no-target " + rootCopy},
    };
    std::string expectedText = "_LogRestoreFilesHeader\r\n\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copy);
        EXPECT_EQ(restore.CopyBack(c.copy), c.result);
        expectedText += c.line + "\r\n\r\n";
    }
    EXPECT_EQ(restore.Restored(), 4u);
    EXPECT_EQ(restore.LogText(), expectedText);
    EXPECT_EQ(ReadFile(missing), "a");
    EXPECT_EQ(ReadFile(newer), "old!");  // still overwritten: the line tells
    EXPECT_EQ(ReadFile(grown), "g");
    EXPECT_EQ(NameOnDisk(root / "Data"), "Data");
    EXPECT_EQ(NameOnDisk(root / "Data\\Sub Dir"), "Sub Dir");
    EXPECT_EQ(NameOnDisk(missing), "A.Tmp");
    EXPECT_EQ(ReadFile(missingCopy), "a");  // the set itself is left as it was
}

// The count that decides whether a set may go sees the files the scanner cannot reach.
TEST_F(RestoreRunTest, TheSetsFilesAreCountedPastMaxPath) {
    Saved(root / "x\\one.tmp", "1");
    std::string deep = MakeLongFolder(root, 200);
    std::string deepCopy = BackupSet::CopyPathInSet(set, deep + "\\deep.tmp");
    MakeFolders(ParentFolder(deepCopy) + "\\");
    WriteFile(deepCopy, "far");
    ASSERT_GT(deepCopy.size(), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(CountSetEntries(set), 2u);
    EXPECT_EQ(CountSetEntries(root / "no such set"), 0u);
}

TEST_F(RestoreRunTest, OnlyAWholeAbsoluteSetPathReachesTheShellsDelete) {
    const std::string other = root / "bk\\2006-03-05_14-03-10";
    Saved(root / "x\\one.tmp", "1");
    MakeFolder(other);
    // A name Windows cannot hold (made from the host's side under Wine) is no set, and a path
    // with a wildcard would have the shell delete every match.
    bool starMade = MakeHostEntry(root / "bk", "2006-03-05_14-03-0*", std::nullopt);
    std::vector<BackupSet> sets = BackupSet::ListSets(root / "bk");
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].path, set);
    EXPECT_FALSE(RemoveSetFolder(root / "bk\\2006-03-05_14-03-0*"));
    EXPECT_FALSE(RemoveSetFolder("bk\\2006-03-05_14-03-09"));
    EXPECT_NE(GetFileAttributesA(set.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(other.c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_TRUE(RemoveSetFolder(set));
    EXPECT_EQ(GetFileAttributesA(set.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(other.c_str()), INVALID_FILE_ATTRIBUTES);
    if (starMade) RemoveHostTree(root / "bk");
}

// The row gets month, day, year, ...: German takes the day first through numbered conversions.
TEST(BackupSetRow, EachShippedLanguageWritesTheDateInItsOwnOrder) {
    const std::string german = HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/Tidyhold.de.language");
    const BackupSet set{"", "", {2006, 3, 5, 14, 3, 9}};
    struct Case {
        std::string file;
        const char* row;
    } cases[] = {
        {ShippedLanguageFile(), "Backup of 03/05/2006 14:03:09"},
        {german, "Sicherung vom 05.03.2006, 14:03:09 Uhr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ScopedLanguage language(c.file);
        EXPECT_EQ(BackupSetRowText(Language().Lookup("_RescueDialogListItemFormat"), set), c.row);
    }
}
