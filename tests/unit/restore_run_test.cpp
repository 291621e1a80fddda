#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

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
                  "[String]\r\n_LogRestoreFile=back %s > %s\r\n_LogRestoreAlreadyThere=same %s > %s\r\n"
                  "_LogRestoreKeptDifferent=different %s > %s\r\n_LogRestoreRefused=refused %s > %s\r\n"
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

// Only where nothing is, or the very file already is, does a copy go back; whatever else stands
// at the target is never overwritten, and nothing is written through a link or into a guarded place.
TEST_F(RestoreRunTest, ACopyGoesBackOnlyWhereNothingElseWouldBeLost) {
    const std::string missing = root / "Data\\Sub Dir\\A.Tmp";  // neither folder exists any more
    const std::string same = root / "kept.txt";                   // still there as it was saved
    const std::string newer = root / "newer.txt";                 // written again since, same size
    const std::string intact = root / "intact.bin";               // its copy was cut short
    const std::string asFolder = root / "now-a-folder.txt";       // a folder stands at its place
    const std::string guarded = root / "guarded\\evil.dll";       // a place the program protects
    const std::string viaFolderLink = root / "linked\\doc.txt";   // "linked" is now a link outside
    const std::string fileLink = root / "filelink.txt";           // a link to a file outside
    std::string missingCopy = Saved(missing, "a"), sameCopy = Saved(same, "same"), newerCopy = Saved(newer, "old!"),
                cutCopy = Saved(intact, std::string(100, 'x')), folderCopy = Saved(asFolder, "f"),
                guardedCopy = Saved(guarded, "evil"), linkedCopy = Saved(viaFolderLink, "planted"),
                fileLinkCopy = Saved(fileLink, "planted");
    std::string rootCopy = set + "\\readme.txt";  // names no drive
    WriteFile(rootCopy, "r");
    CopyFileTo(sameCopy, same);
    WriteFile(newer, "new!");
    SetWriteTime(newer, 60);
    WriteFile(intact, std::string(300, 'x'));
    MakeFolder(asFolder);
    MakeFolder(root / "outside");
    WriteFile(root / "outside\\doc.txt", "outside");
    const bool links = MakeFolderLink(root / "linked", root / "outside") &&
                       MakeFileLink(fileLink, root / "outside\\doc.txt");

    SetRestore restore(set, [&](const std::string& target) { return target.find("\\guarded\\") == std::string::npos; });
    using Result = SetRestore::Result;
    struct Case {
        std::string copy;
        Result result;
        std::string line;
    } cases[] = {
        {missingCopy, Result::Restored, "back " + missingCopy + " > " + missing},
        {sameCopy, Result::AlreadyThere, "same " + sameCopy + " > " + same},
        {newerCopy, Result::Different, "different " + newerCopy + " > " + newer},
        {cutCopy, Result::Different, "different " + cutCopy + " > " + intact},
        {folderCopy, Result::Refused, "refused " + folderCopy + " > " + asFolder},
        {guardedCopy, Result::Refused, "refused " + guardedCopy + " > " + guarded},
        {rootCopy, Result::NoTarget, "no-target " + rootCopy},
    };
    std::string expectedText = "_LogRestoreFilesHeader\r\n\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copy);
        EXPECT_EQ(restore.CopyBack(c.copy), c.result);
        expectedText += c.line + "\r\n\r\n";
    }
    EXPECT_EQ(restore.Restored(), 2u);
    EXPECT_EQ(restore.LogText(), expectedText);
    EXPECT_EQ(ReadFile(missing), "a");
    EXPECT_EQ(ReadFile(newer), "new!");
    EXPECT_EQ(ReadFile(intact), std::string(300, 'x'));
    EXPECT_FALSE(Exists(guarded));
    EXPECT_EQ(NameOnDisk(root / "Data\\Sub Dir"), "Sub Dir");
    EXPECT_EQ(NameOnDisk(missing), "A.Tmp");
    EXPECT_EQ(ReadFile(newerCopy), "old!");  // what did not go back stays in the set
    if (!links) GTEST_SKIP() << "no links can be made here";
    EXPECT_EQ(restore.CopyBack(linkedCopy), Result::Refused);
    EXPECT_EQ(restore.CopyBack(fileLinkCopy), Result::Refused);
    EXPECT_EQ(ReadFile(root / "outside\\doc.txt"), "outside");
}

// The job writes one record of what it did, a stop included, and removes the set only when every
// copy is back.
TEST_F(RestoreRunTest, TheJobRecordsEveryCopyAndRemovesOnlyAWhollyRestoredSet) {
    struct Log : LogSink {
        std::vector<std::string> records;
        bool Present() const override { return true; }
        bool AddPassRecord(const char* action, const std::string& text) override {
            records.push_back(std::string(action) + ":" + text);
            return true;
        }
    };
    const std::string one = root / "one.txt", two = root / "two.txt";
    const std::string copyOne = Saved(one, "1"), copyTwo = Saved(two, "2");
    for (bool stopAtSecond : {true, false}) {
        SCOPED_TRACE(stopAtSecond);
        std::atomic<bool> stop{false};
        JobProgress progress;
        Log log;
        RestoreJob job(set, nullptr);
        job.beforeFile = [&](std::size_t index, const std::atomic<bool>&) { stop = stopAtSecond && index == 1; };
        job.Run(stop, progress, log);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].rfind("_LogLogCategoryRestore:_LogRestoreFilesHeader", 0), 0u);
        EXPECT_NE(log.records[0].find(copyOne + " > " + one), std::string::npos);
        EXPECT_EQ(Exists(set), stopAtSecond);
        EXPECT_EQ(job.NotRestored(), stopAtSecond ? 1u : 0u);
        EXPECT_EQ(ReadFile(one), "1");
        EXPECT_EQ(ReadFile(two), stopAtSecond ? "" : "2");
    }
}

// Past MAX_PATH a set is listed and restored; a link in it is passed over and counted, so the set stays.
TEST_F(RestoreRunTest, DeepCopiesComeBackAndLinksInTheSetAreCounted) {
    std::string deep = MakeLongFolder(root, 200) + "\\deep.tmp";
    std::string deepCopy = BackupSet::CopyPathInSet(set, deep);
    MakeFolders(ParentFolder(deepCopy) + "\\");
    WriteFile(deepCopy, "far");
    ASSERT_GT(deepCopy.size(), static_cast<size_t>(MAX_PATH));
    MakeFolder(root / "outside");
    const bool linked = MakeFolderLink(set + "\\Z", root / "outside");

    SetListing listing = ListSetFiles(set);
    EXPECT_EQ(listing.files, std::vector<std::string>{deepCopy});
    EXPECT_EQ(listing.passedOver, linked ? 1u : 0u);
    EXPECT_EQ(SetRestore(set, nullptr).CopyBack(deepCopy), SetRestore::Result::Restored);
    EXPECT_EQ(ReadFile(deep), "far");
}

TEST_F(RestoreRunTest, OnlyRealFoldersWithADatedNameAreSets) {
    const std::string other = root / "bk\\2006-03-05_14-03-10";
    MakeFolder(other);
    MakeFolder(root / "outside");
    // A name Windows cannot hold (made from the host's side under Wine) stands for other folders,
    // and a set that is a link holds nothing a cleaning wrote.
    bool starMade = MakeHostEntry(root / "bk", "2006-03-05_14-03-0*", std::nullopt);
    MakeFolderLink(root / "bk\\2006-03-05_14-03-11", root / "outside");
    std::vector<BackupSet> sets = BackupSet::ListSets(root / "bk");
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].path, set);
    EXPECT_EQ(sets[1].path, other);
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
