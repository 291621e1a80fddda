#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>

#include "base/ansi.h"
#include "base/com_ptr.h"
#include "base/win_handles.h"
#include "clean/backup_set.h"
#include "clean/cleaning_job.h"
#include "clean/results_page.h"
#include "components/log/record_store.h"
#include "tests/support/file_tree.h"
#include "tests/support/log_component.h"
#include "tests/support/temp_folder.h"
#include "ui/language_table.h"

namespace {

// Keeps each pass's record; a lost log refuses them.
struct RecordingLog : LogSink {
    struct Record {
        std::string action, text;
    };
    std::vector<Record> records;
    bool present = false, writes = true;
    bool Present() const override { return present; }
    bool AddPassRecord(const char* action, const std::string& text) override {
        records.push_back({action, text});
        return writes;
    }
};

class CleaningJobTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFile(root / "t.language",
                  "[String]\r\n_LogSaveFile=copy %s > %s\r\n_LogDeleteFile=gone %s\r\n"
                  "_LogCopyFailed=nocopy %s > %s\r\n_LogKeptNoBackup=kept-nobackup %s\r\n"
                  "_LogKeptChanged=kept-changed %s\r\n_LogDeleteAtRestart=at-restart %s\r\n"
                  "_LogKeptNotRemoved=kept-failed %s\r\n"
                  "_CleanerResultsRemoved=%d removed, %.2f MB\r\n_CleanerResultsKept=%d kept (%s)\r\n"
                  "_CleanerResultsKeptNoBackup=%d nobackup\r\n_CleanerResultsKeptReadOnly=%d read-only\r\n"
                  "_CleanerResultsBackupSet=Set %s\r\n_CleanerResultsStopped=Stopped.\r\n");
        savedLanguage = Language().File();
        Language().SetFile(root / "t.language");
        MakeFolder(root / "data");
        MakeFolder(root / "data\\sub");
    }
    void TearDown() override { Language().SetFile(savedLanguage); }
    // Files with contents of their own, all checked.
    void Check(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            std::string path = root / "data" + "\\" + name;
            WriteFile(path, std::string("content of ") + name);
            Add(path);
        }
    }
    // Checked as the report hands it over, with what it saw of the file.
    void Add(const std::string& path) { request.files.emplace(path, CheckedFile{"Junk", ReadFileStamp(path)}); }
    void Backup(const std::string& directory) {
        request.backup = true;
        request.backupDirectory = directory;
    }
    CleaningOutcome Run(LogSink& sink) {
        CleaningJob job(request);
        job.beforeFile = [&](CleaningJob::Pass pass, std::size_t index, const std::atomic<bool>&) {
            if (beforeFile) beforeFile(pass, index);
        };
        job.Run(stop, progress, sink);
        return job.Outcome();
    }
    CleaningOutcome Run() { return Run(log); }
    // The lines of a record's text: header first, each followed by a blank line.
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        for (size_t start = 0, end; (end = text.find("\r\n\r\n", start)) != std::string::npos; start = end + 4)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    bool HasLine(std::size_t record, const std::string& line) {
        std::vector<std::string> lines = Lines(log.records.at(record).text);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    TempFolder root;
    CleaningRequest request;
    RecordingLog log;
    std::atomic<bool> stop{false};
    JobProgress progress;
    std::function<void(CleaningJob::Pass, std::size_t)> beforeFile;
    std::string savedLanguage;
};

}  // namespace

TEST_F(CleaningJobTest, BackupThenPermanentDeleteCopiesEveryFileFirstIntoOneDatedSet) {
    Check({"a.tmp", "sub\\Report.DOCX", "B.tmp"});
    Backup(root / "bk\\");
    bool copiesFirst = false;
    beforeFile = [&](CleaningJob::Pass pass, std::size_t index) {
        if (pass != CleaningJob::Pass::Removal || index != 0) return;
        std::vector<BackupSet> sets = BackupSet::ListSets(root / "bk");
        copiesFirst = sets.size() == 1 && std::all_of(request.files.begin(), request.files.end(), [&](auto& file) {
                          return Exists(BackupSet::CopyPathInSet(sets[0].path, file.first));
                      });
    };
    CleaningOutcome outcome = Run();
    EXPECT_TRUE(copiesFirst);
    std::vector<BackupSet> sets = BackupSet::ListSets(root / "bk");
    ASSERT_EQ(sets.size(), 1u);
    for (const auto& [path, file] : request.files) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(Exists(path));
        std::string copy = BackupSet::CopyPathInSet(sets[0].path, path);
        EXPECT_EQ(copy.substr(sets[0].path.size(), 3), "\\" + path.substr(0, 1) + "\\");  // set\C\...
        EXPECT_EQ(ReadFile(copy), "content of " + path.substr((root / "data\\").size()));
    }
    const JobProgress::View view = progress.Read();
    EXPECT_EQ(view.stage, 2u);
    EXPECT_EQ(view.done, 3u);
    EXPECT_EQ(view.total, 3u);

    ASSERT_EQ(log.records.size(), 2u);  // one per pass
    EXPECT_EQ(log.records[0].action, "_LogLogCategoryBackup");
    std::vector<std::string> backupLines = Lines(log.records[0].text);
    ASSERT_EQ(backupLines.size(), 4u);
    EXPECT_EQ(backupLines[0], "_LogBackupFilesHeader");
    const std::string first = request.files.begin()->first;
    EXPECT_EQ(backupLines[1], "copy " + first + " > " + BackupSet::CopyPathInSet(sets[0].path, first));
    EXPECT_EQ(log.records[1].action, "_LogLogCategoryDelete");
    std::vector<std::string> removalLines = Lines(log.records[1].text);
    ASSERT_EQ(removalLines.size(), 4u);
    EXPECT_EQ(removalLines[0], "_LogPermanentlyDeleteFilesHeader");
    EXPECT_EQ(removalLines[1], "gone " + root / "data\\B.tmp");  // byte order: B before a

    EXPECT_EQ(outcome.Removed(), 3u);
    EXPECT_EQ(outcome.fates, std::vector<Fate>(3, Fate::Removed));
    EXPECT_EQ(outcome.freedBytes, std::string("content of a.tmp" "content of sub\\Report.DOCX" "content of B.tmp").size());
    EXPECT_EQ(outcome.setFolder, sets[0].path);
    EXPECT_EQ(OutcomeLine(outcome), "3 removed, 0.00 MB Set " + sets[0].path + " _CleanerResultsNoLog");
}

// A file the system refuses is kept with its own cause, and a record the log could not write is
// said rather than claimed; without a usable backup directory nothing is removed.
TEST_F(CleaningJobTest, RefusedFilesLostRecordsAndUnusableBackupsKeepTheFiles) {
    Check({"ro.tmp", "plain.tmp"});
    SetFileAttributesA((root / "data\\ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    log.present = true;
    log.writes = false;
    CleaningOutcome outcome = Run();
    SetFileAttributesA((root / "data\\ro.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(root / "data\\ro.tmp"), "content of ro.tmp");
    EXPECT_EQ(outcome.Count(Fate::KeptReadOnly), 1u);
    EXPECT_EQ(outcome.Count(Fate::KeptAtRestart), 0u);  // a refusal is no reason to wait for a restart
    EXPECT_TRUE(outcome.logFailed);
    EXPECT_EQ(OutcomeLine(outcome), "1 removed, 0.00 MB 1 kept (1 read-only) _CleanerResultsLogFailed");

    for (const char* directory : {"", "relative\\bk"}) {
        SCOPED_TRACE(directory);
        request.files.clear();
        log = {};
        Check({"k1.tmp", "k2.tmp"});
        Backup(directory);
        outcome = Run();
        for (const auto& [path, file] : request.files) EXPECT_TRUE(Exists(path)) << path;
        EXPECT_EQ(outcome.Count(Fate::KeptNoBackup), 2u);
        EXPECT_TRUE(outcome.setFolder.empty());
        ASSERT_EQ(log.records.size(), 2u);
        EXPECT_EQ(Lines(log.records[0].text)[1], "nocopy " + root / "data\\k1.tmp" + " > " + directory);
        EXPECT_EQ(Lines(log.records[1].text)[2], "kept-nobackup " + root / "data\\k2.tmp");
        EXPECT_EQ(OutcomeLine(outcome), "0 removed, 0.00 MB 2 kept (2 nobackup) _CleanerResultsNoLog");
    }
}

TEST_F(CleaningJobTest, EachPassReachesTheLogComponentAsOneRecordNamingItsFiles) {
    ScopedLogRegistration registered(true);
    SetLogFolderPath(root / "log");
    Check({"a.tmp", "b.tmp"});
    Backup(root / "bk");
    {
        LogClient client("Tidyhold command line");
        ASSERT_TRUE(client.Present());
        Run(client);
    }
    SetLogFolderPath("");
    std::vector<LogRecord> records = ReadRecords(ToWide(root / "log"));
    ASSERT_EQ(records.size(), 2u);
    std::vector<BackupSet> sets = BackupSet::ListSets(root / "bk");
    ASSERT_EQ(sets.size(), 1u);
    const std::string a = root / "data\\a.tmp", b = root / "data\\b.tmp";
    EXPECT_EQ(records[0].action, "_LogLogCategoryBackup");
    EXPECT_EQ(records[0].text, "_LogBackupFilesHeader\r\n\r\ncopy " + a + " > " + BackupSet::CopyPathInSet(sets[0].path, a) +
                                   "\r\n\r\ncopy " + b + " > " + BackupSet::CopyPathInSet(sets[0].path, b) + "\r\n\r\n");
    EXPECT_EQ(records[1].text, "_LogPermanentlyDeleteFilesHeader\r\n\r\ngone " + a + "\r\n\r\ngone " + b + "\r\n\r\n");
    for (const LogRecord& record : records) {
        EXPECT_EQ(record.type, "_LogType");
        EXPECT_EQ(record.category, "_LogCategory");
        EXPECT_EQ(record.source, "Tidyhold command line");
    }
}

// The names of what the recycle bin holds, as the shell lists them.
static std::set<std::string> RecycleBinNames() {
    std::set<std::string> names;
    ComPtr<IShellFolder> desktop;
    PIDLIST_ABSOLUTE binItem = nullptr;
    ComPtr<IShellFolder> bin;
    ComPtr<IEnumIDList> items;
    if (FAILED(SHGetDesktopFolder(desktop.Put())) ||
        FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &binItem)))
        return names;
    HRESULT bound = desktop->BindToObject(binItem, nullptr, IID_IShellFolder, bin.PutVoid());
    CoTaskMemFree(binItem);
    if (FAILED(bound) || bin->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.Put()) != S_OK)
        return names;
    PITEMID_CHILD item = nullptr;
    while (items->Next(1, &item, nullptr) == S_OK) {
        STRRET name{};
        wchar_t* text = nullptr;
        if (SUCCEEDED(bin->GetDisplayNameOf(item, SHGDN_NORMAL, &name)) && SUCCEEDED(StrRetToStrW(&name, item, &text))) {
            names.insert(FromWide(text));
            CoTaskMemFree(text);
        }
        CoTaskMemFree(item);
    }
    return names;
}

// Without an owner window (the command line) the shell may ask nothing, and still recycles.
TEST_F(CleaningJobTest, RecycleBinModeTakesTheFilesFromTheirFoldersWithoutAWindow) {
    Check({"binned-r1.tmp", "sub\\binned-r2.tmp"});
    request.removal = Removal::RecycleBin;
    CleaningOutcome outcome = Run();
    for (const auto& [path, file] : request.files) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_TRUE(Exists(root / "data\\sub"));  // only the files go
    std::set<std::string> binned = RecycleBinNames();
    EXPECT_TRUE(binned.count("binned-r1.tmp") && binned.count("binned-r2.tmp")) << binned.size() << " in the bin";
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(Lines(log.records[0].text)[0], "_LogRemoveToRecyclebinFilesHeader");
    EXPECT_EQ(outcome.Removed(), 2u);
    EXPECT_TRUE(outcome.recycled);
}

// Each file is proved on its own, right before its act: a path that became a folder, a folder
// swapped for a link half-way through the pass, and a file written again since the report all
// stay, and nothing the link points at is touched.
TEST_F(CleaningJobTest, WhatChangedSinceTheReportOrMidPassIsLeftAlone) {
    MakeFolder(root / "data\\sw");
    MakeFolder(root / "other");
    for (const char* name : {"f1.tmp", "f2.tmp", "f3.tmp"}) {
        WriteFile(root / "data\\sw\\" + name, "inside");
        WriteFile(root / "other\\" + name, "outside");
        Add(root / "data\\sw\\" + name);
    }
    Check({"z-late.tmp"});
    MakeFolder(root / "data\\now-a-folder.tmp");
    WriteFile(root / "data\\now-a-folder.tmp\\inner.txt", "inner");
    Add(root / "data\\now-a-folder.tmp");
    bool linked = false;
    beforeFile = [&](CleaningJob::Pass, std::size_t index) {
        if (index != 2) return;  // after now-a-folder.tmp and sw\f1.tmp
        ASSERT_TRUE(MoveFileA((root / "data\\sw").c_str(), (root / "data\\was-sw").c_str()));
        linked = MakeFolderLink(root / "data\\sw", root / "other");
        WriteFile(root / "data\\z-late.tmp", "written again since");
    };
    CleaningOutcome outcome = Run();
    EXPECT_TRUE(Exists(root / "data\\now-a-folder.tmp\\inner.txt"));
    EXPECT_EQ(ReadFile(root / "data\\z-late.tmp"), "written again since");
    EXPECT_TRUE(HasLine(0, "kept-changed " + root / "data\\now-a-folder.tmp"));
    if (!linked) GTEST_SKIP() << "this system makes no folder links here";
    for (const char* name : {"f1.tmp", "f2.tmp", "f3.tmp"}) EXPECT_EQ(ReadFile(root / "other\\" + name), "outside");
    EXPECT_EQ(ReadFile(root / "data\\was-sw\\f2.tmp"), "inside");
    EXPECT_EQ(outcome.Count(Fate::KeptChanged), 4u);
    EXPECT_EQ(outcome.Removed(), 1u);  // f1, before the swap
    RemoveHostTree(root / "data\\sw");
}

// A stop comes between files: what was removed is recorded, the rest is untouched and said so.
TEST_F(CleaningJobTest, AStopEndsThePassBetweenTwoFilesAndTheRecordMissesNone) {
    Check({"s1.tmp", "s2.tmp", "s3.tmp", "s4.tmp"});
    Backup(root / "bk");
    beforeFile = [&](CleaningJob::Pass pass, std::size_t index) {
        if (pass == CleaningJob::Pass::Removal && index == 2) stop = true;
    };
    CleaningOutcome outcome = Run();
    EXPECT_FALSE(Exists(root / "data\\s2.tmp"));
    EXPECT_TRUE(Exists(root / "data\\s3.tmp"));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.Removed(), 2u);
    EXPECT_EQ(outcome.Count(Fate::NotReached), 2u);
    EXPECT_EQ(FateCode(outcome.fates[3], false), std::string("not-reached"));
    ASSERT_EQ(log.records.size(), 2u);
    EXPECT_EQ(Lines(log.records[1].text).size(), 3u);
    EXPECT_EQ(OutcomeLine(outcome).rfind("Stopped. 2 removed", 0), 0u);
}

TEST_F(CleaningJobTest, ALockedFileStaysAndIsRegisteredForDeletionAtRestart) {
    Check({"free.tmp", "locked.tmp"});
    const std::string locked = root / "data\\locked.tmp";
    UniqueFile open(CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open);
    CleaningOutcome outcome = Run();
    EXPECT_FALSE(Exists(root / "data\\free.tmp"));
    EXPECT_TRUE(Exists(locked));
    EXPECT_EQ(outcome.Count(Fate::KeptAtRestart) + outcome.Count(Fate::KeptNotRemoved), 1u);
    if (outcome.Count(Fate::KeptAtRestart) != 1) {
        EXPECT_TRUE(HasLine(0, "kept-failed " + locked));
        return;
    }
    EXPECT_TRUE(HasLine(0, "at-restart " + locked));
    // The pending operation names the file (in its "\??\" form) and no target; it is taken out
    // again so nothing of the test's is deleted at a restart.
    const char* key = "System\\CurrentControlSet\\Control\\Session Manager";
    HKEY session = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &session), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, &type, nullptr, &size);
    std::string data(size, '\0');
    RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                     &size);
    std::vector<std::string> parts;
    for (size_t start = 0; start < data.size();) {
        size_t end = data.find('\0', start);
        if (end == std::string::npos) end = data.size();
        parts.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    std::string kept;
    bool found = false;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        bool ours = parts[i].size() >= locked.size() &&
                    _stricmp(parts[i].substr(parts[i].size() - locked.size()).c_str(), locked.c_str()) == 0;
        if (ours) {
            found = true;
            EXPECT_EQ(parts[i + 1], "");
            continue;
        }
        kept += parts[i] + '\0' + parts[i + 1] + '\0';
    }
    EXPECT_TRUE(found);
    if (kept.empty())
        RegDeleteValueA(session, "PendingFileRenameOperations");
    else
        RegSetValueExA(session, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>((kept + '\0').data()), static_cast<DWORD>(kept.size() + 1));
    RegCloseKey(session);
}

TEST_F(CleaningJobTest, CopiesReachPastMaxPath) {
    std::string deep = MakeLongFolder(root, 200);
    std::string path = deep + "\\long.tmp";
    WriteFile(path, "far down");
    Add(path);
    Backup(root / "bk");
    CleaningOutcome outcome = Run();
    std::vector<BackupSet> sets = BackupSet::ListSets(root / "bk");
    ASSERT_EQ(sets.size(), 1u);
    std::string copy = BackupSet::CopyPathInSet(sets[0].path, path);
    ASSERT_GT(copy.size(), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(ReadFile(copy), "far down");
    EXPECT_EQ(outcome.Removed(), 1u);
}
