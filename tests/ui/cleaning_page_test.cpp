#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>

#include "base/ansi.h"
#include "base/com_ptr.h"
#include "base/program_paths.h"
#include "base/registry.h"
#include "base/win_handles.h"
#include "clean/backup_set.h"
#include "clean/cleaning_page.h"
#include "clean/log_client.h"
#include "clean/results_page.h"
#include "components/log/record_store.h"
#include "res/resource.h"
#include "tests/support/file_tree.h"
#include "tests/support/log_component.h"
#include "tests/support/scan_driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"
#include "ui/language_table.h"

namespace {

// Records each pass's log record, can hold the worker before one file of a pass, and notes whether
// every backup copy was on disk when the first removal came.
class RecordingCleaningPage : public CleaningPage {
public:
    struct Record {
        std::string action;
        std::string text;
    };
    std::vector<Record> records;  // written by the worker, read once it ended
    std::string backupRoot;
    bool copiesBeforeFirstRemoval = false;

    void HoldBefore(Pass pass, std::size_t index) {
        holdPass = pass;
        holdAt = index;
        gate.Arm();
    }
    void Release() { gate.Release(); }
    bool WaitUntilHeld() { return gate.WaitUntilHeld(); }

protected:
    void BeforeFile(Pass pass, std::size_t index) override {
        if (pass == Pass::Removal && index == 0 && !backupRoot.empty()) {
            std::vector<BackupSet> sets = BackupSet::ListSets(backupRoot);
            copiesBeforeFirstRemoval = sets.size() == 1;
            for (const auto& [path, reason] : files)
                if (sets.size() != 1 || GetFileAttributesA(BackupSet::CopyPathInSet(sets[0].path, path).c_str()) ==
                                            INVALID_FILE_ATTRIBUTES)
                    copiesBeforeFirstRemoval = false;
        }
        if (pass == holdPass && index == holdAt) gate.Hold([this] { return StopRequested(); });
    }
    bool WriteRecord(LogClient& log, const char* actionKey, const std::string& text) override {
        records.push_back({actionKey, text});
        return CleaningPage::WriteRecord(log, actionKey, text);
    }

private:
    WorkerGate gate;
    Pass holdPass = Pass::Backup;
    std::size_t holdAt = SIZE_MAX;
};

class CleaningPageTest : public testing::Test {
protected:
    void SetUp() override {
        host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(page.CreateModeless(host));
        page.finishedCallback = [this] { ++finished; };
        WriteFile(root / "t.language",
                  "[String]\r\n_LogSaveFile=copy %s > %s\r\n_LogDeleteFile=gone %s\r\n"
                  "_LogCopyFailed=nocopy %s > %s\r\n_LogKeptNoBackup=kept-nobackup %s\r\n"
                  "_LogKeptChanged=kept-changed %s\r\n_LogDeleteAtRestart=at-restart %s\r\n"
                  "_LogKeptNotRemoved=kept-failed %s\r\n_CleaningPageStateCompleteKept=Done, %d kept\r\n"
                  "_CleanerResultsRemoved=%d removed, %.2f MB\r\n_CleanerResultsKept=%d kept (%s)\r\n"
                  "_CleanerResultsKeptNoBackup=%d nobackup\r\n_CleanerResultsKeptReadOnly=%d read-only\r\n"
                  "_CleanerResultsBackupSet=Set %s\r\n_CleanerResultsStopped=Stopped.\r\n");
        savedLanguage = Language().File();
        Language().SetFile(root / "t.language");
        MakeFolder(root / "data");
        MakeFolder(root / "data\\sub");
    }
    void TearDown() override {
        Language().SetFile(savedLanguage);
        DestroyWindow(page.Hwnd());
        DestroyWindow(host);
    }
    // Files with contents of their own, all checked.
    void Check(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            std::string path = root / "data" + "\\" + name;
            WriteFile(path, std::string("content of ") + name);
            Add(path);
        }
    }
    // Checked as the report hands it over, with what it saw of the file.
    void Add(const std::string& path) { page.files.emplace(path, CheckedFile{"Junk", ReadFileStamp(path)}); }
    void RunToTheEnd() {
        page.Start();
        ASSERT_TRUE(PumpUntil([&] { return finished > 0; }));
        PumpMessages();
        outcome = page.Outcome();
    }
    std::string State() { return Text(GetDlgItem(page.Hwnd(), IDC_CLEANING_STATE)); }
    // The lines of a record's text: header first, each followed by a blank line.
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        for (size_t start = 0, end; (end = text.find("\r\n\r\n", start)) != std::string::npos; start = end + 4)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    TempFolder root;
    HWND host = nullptr;
    RecordingCleaningPage page;
    std::atomic<int> finished{0};
    CleaningOutcome outcome;
    std::string savedLanguage;
};

}  // namespace

TEST_F(CleaningPageTest, BackupThenPermanentDeleteCopiesEveryFileFirstIntoOneDatedSet) {
    Check({"a.tmp", "sub\\Report.DOCX", "B.tmp"});
    page.backup = true;
    page.backupDirectory = root / "bk\\";
    page.backupRoot = root / "bk";

    RunToTheEnd();
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(page.copiesBeforeFirstRemoval);
    std::vector<BackupSet> sets = BackupSet::ListSets(root / "bk");
    ASSERT_EQ(sets.size(), 1u);
    for (const auto& [path, reason] : page.files) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(Exists(path));
        std::string copy = BackupSet::CopyPathInSet(sets[0].path, path);
        EXPECT_EQ(copy.substr(sets[0].path.size(), 3), "\\" + path.substr(0, 1) + "\\");  // set\C\...
        std::string name = path.substr(path.rfind('\\') + 1);
        EXPECT_EQ(ReadFile(copy), "content of " + std::string(name == "Report.DOCX" ? "sub\\Report.DOCX" : name));
        EXPECT_EQ(BackupSet::RestoreTarget(sets[0].path, copy), path);
    }
    EXPECT_EQ(State(), "_CleaningPageStateComplete");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_CLEANING_STOP)));
    HWND bar = GetDlgItem(page.Hwnd(), IDC_CLEANING_PROGRESS);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 3);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 3);

    ASSERT_EQ(page.records.size(), 2u);  // one per pass
    EXPECT_EQ(page.records[0].action, "_LogLogCategoryBackup");
    std::vector<std::string> backupLines = Lines(page.records[0].text);
    ASSERT_EQ(backupLines.size(), 4u);
    EXPECT_EQ(backupLines[0], "_LogBackupFilesHeader");
    EXPECT_EQ(backupLines[1], "copy " + page.files.begin()->first + " > " +
                                  BackupSet::CopyPathInSet(sets[0].path, page.files.begin()->first));
    EXPECT_EQ(page.records[1].action, "_LogLogCategoryDelete");
    std::vector<std::string> removalLines = Lines(page.records[1].text);
    ASSERT_EQ(removalLines.size(), 4u);
    EXPECT_EQ(removalLines[0], "_LogPermanentlyDeleteFilesHeader");
    EXPECT_EQ(removalLines[1], "gone " + root / "data\\B.tmp");  // byte order: B before a

    EXPECT_EQ(outcome.removed, 3u);
    EXPECT_EQ(outcome.freedBytes, std::string("content of a.tmp" "content of sub\\Report.DOCX" "content of B.tmp").size());
    EXPECT_EQ(outcome.setFolder, sets[0].path);
    EXPECT_EQ(OutcomeLine(outcome), "3 removed, 0.00 MB Set " + sets[0].path + " _CleanerResultsNoLog");
}

// A file the system refuses is kept with its own cause, and a record the log could not write is
// said rather than claimed.
TEST_F(CleaningPageTest, ARefusedFileAndALostRecordAreSaidAsSuch) {
    ScopedLogRegistration registered(true);
    WriteFile(root / "log", "a file where the log's folder should be");
    SetLogFolderPath(root / "log");
    Check({"ro.tmp", "plain.tmp"});
    SetFileAttributesA((root / "data\\ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    RunToTheEnd();
    SetLogFolderPath("");
    SetFileAttributesA((root / "data\\ro.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(root / "data\\ro.tmp"), "content of ro.tmp");
    EXPECT_EQ(outcome.removed, 1u);
    EXPECT_EQ(outcome.keptReadOnly, 1u);
    EXPECT_EQ(outcome.keptAtRestart, 0u);  // a refusal is no reason to wait for a restart
    EXPECT_TRUE(outcome.logFailed);
    EXPECT_EQ(OutcomeLine(outcome), "1 removed, 0.00 MB 1 kept (1 read-only) _CleanerResultsLogFailed");
}

// Its button shows only where a set was made, and opens that set's folder.
TEST_F(CleaningPageTest, TheResultsPageOpensTheSetJustMade) {
    ResultsPage results;
    ASSERT_TRUE(results.CreateModeless(host));
    HWND open = GetDlgItem(results.Hwnd(), IDC_RESULTS_OPEN_BACKUP);
    auto shown = [&] { return (GetWindowLongA(open, GWL_STYLE) & WS_VISIBLE) != 0; };
    CleaningOutcome made;
    made.ran = true;
    made.setFolder = root / "bk\\2026-12-07_10-00-00";
    results.ShowOutcome(made);
    EXPECT_TRUE(shown());
    RecordedShell shell;
    Click(results.Hwnd(), IDC_RESULTS_OPEN_BACKUP);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].parameters, "\"" + made.setFolder + "\"");
    results.ShowOutcome(CleaningOutcome{});
    EXPECT_FALSE(shown());
}

TEST_F(CleaningPageTest, EachPassReachesTheLogComponentAsOneRecordNamingItsFiles) {
    ScopedLogRegistration registered(true);
    ASSERT_TRUE(LogComponentRegistered());
    SetLogFolderPath(root / "log");
    Check({"a.tmp", "b.tmp"});
    page.backup = true;
    page.backupDirectory = root / "bk";
    RunToTheEnd();
    SetLogFolderPath("");

    std::vector<LogRecord> records = ReadRecords(ToWide(root / "log"));
    ASSERT_EQ(records.size(), 2u);
    std::vector<BackupSet> sets = BackupSet::ListSets(root / "bk");
    ASSERT_EQ(sets.size(), 1u);
    const std::string a = root / "data\\a.tmp", b = root / "data\\b.tmp";
    EXPECT_EQ(records[0].action, "_LogLogCategoryBackup");
    EXPECT_EQ(records[0].text, "_LogBackupFilesHeader\r\n\r\ncopy " + a + " > " + BackupSet::CopyPathInSet(sets[0].path, a) +
                                   "\r\n\r\ncopy " + b + " > " + BackupSet::CopyPathInSet(sets[0].path, b) + "\r\n\r\n");
    EXPECT_EQ(records[1].action, "_LogLogCategoryDelete");
    EXPECT_EQ(records[1].text, "_LogPermanentlyDeleteFilesHeader\r\n\r\ngone " + a + "\r\n\r\ngone " + b + "\r\n\r\n");
    for (const LogRecord& record : records) {
        EXPECT_EQ(record.type, "_LogType");
        EXPECT_EQ(record.category, "_LogCategory");
        EXPECT_EQ(record.source, "_LogSource");
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

TEST_F(CleaningPageTest, RecycleBinModeTakesTheFilesFromTheirFolders) {
    Check({"binned-r1.tmp", "sub\\binned-r2.tmp"});
    page.permanentlyDelete = false;
    page.moveToRecycleBin = true;
    RunToTheEnd();
    for (const auto& [path, reason] : page.files) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_TRUE(Exists(root / "data\\sub"));  // only the files go
    std::set<std::string> binned = RecycleBinNames();
    EXPECT_TRUE(binned.count("binned-r1.tmp") && binned.count("binned-r2.tmp")) << binned.size() << " in the bin";
    ASSERT_EQ(page.records.size(), 1u);
    EXPECT_EQ(Lines(page.records[0].text)[0], "_LogRemoveToRecyclebinFilesHeader");
    EXPECT_EQ(outcome.removed, 2u);
    EXPECT_TRUE(outcome.setFolder.empty());
}

TEST_F(CleaningPageTest, WithoutAUsableBackupDirectoryNothingIsRemoved) {
    for (const char* directory : {"", "relative\\bk"}) {
        SCOPED_TRACE(directory);
        page.files.clear();
        finished = 0;
        Check({"k1.tmp", "k2.tmp"});
        page.backup = true;
        page.backupDirectory = directory;
        RunToTheEnd();
        for (const auto& [path, reason] : page.files) EXPECT_TRUE(Exists(path)) << path;
        EXPECT_EQ(State(), "Done, 2 kept");
        EXPECT_EQ(outcome.keptNoBackup, 2u);
        EXPECT_EQ(outcome.removed, 0u);
        EXPECT_TRUE(outcome.setFolder.empty());
        ASSERT_EQ(page.records.size(), 2u);
        std::vector<std::string> backupLines = Lines(page.records[0].text);
        ASSERT_EQ(backupLines.size(), 3u);
        EXPECT_EQ(backupLines[1], "nocopy " + root / "data\\k1.tmp" + " > " + directory);
        std::vector<std::string> removalLines = Lines(page.records[1].text);
        ASSERT_EQ(removalLines.size(), 3u);
        EXPECT_EQ(removalLines[2], "kept-nobackup " + root / "data\\k2.tmp");
        EXPECT_EQ(OutcomeLine(outcome), "0 removed, 0.00 MB 2 kept (2 nobackup) _CleanerResultsNoLog");
        page.records.clear();
    }
}

TEST_F(CleaningPageTest, APathThatBecameAFolderOrALinkIsLeftAlone) {
    Check({"plain.tmp"});
    MakeFolder(root / "outside");
    WriteFile(root / "outside\\victim.tmp", "keep me");
    MakeFolder(root / "data\\now-a-folder.tmp");
    WriteFile(root / "data\\now-a-folder.tmp\\inner.txt", "inner");
    Add(root / "data\\now-a-folder.tmp");
    // The scan saw data\linked\victim.tmp; since then "linked" became a link to another folder.
    bool linked = MakeFolderLink(root / "data\\linked", root / "outside");
    if (linked) Add(root / "data\\linked\\victim.tmp");

    RunToTheEnd();
    EXPECT_FALSE(Exists(root / "data\\plain.tmp"));
    EXPECT_TRUE(Exists(root / "data\\now-a-folder.tmp\\inner.txt"));
    EXPECT_EQ(ReadFile(root / "outside\\victim.tmp"), "keep me");
    EXPECT_EQ(outcome.removed, 1u);
    EXPECT_EQ(outcome.keptChanged, linked ? 2u : 1u);
    std::vector<std::string> lines = Lines(page.records.at(0).text);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "kept-changed " + root / "data\\now-a-folder.tmp"), lines.end());
    if (linked && !RemoveDirectoryA((root / "data\\linked").c_str())) RemoveHostTree(root / "data\\linked");
    if (!linked) GTEST_SKIP() << "this system makes no folder links here; the folder case passed";
}

// Each file is proved on its own: a folder swapped for a link half-way through a pass is seen at
// the next file, nothing in the folder it points at is touched, and a file written again since
// the report stays with its new content.
TEST_F(CleaningPageTest, AFolderSwappedOrAFileRewrittenMidPassIsLeftAlone) {
    MakeFolder(root / "data\\sw");
    MakeFolder(root / "other");
    for (const char* name : {"f1.tmp", "f2.tmp", "f3.tmp"}) {
        WriteFile(root / "data\\sw\\" + name, "inside");
        WriteFile(root / "other\\" + name, "outside");
        Add(root / "data\\sw\\" + name);
    }
    Check({"z-late.tmp"});
    page.HoldBefore(CleaningPage::Pass::Removal, 1);
    page.Start();
    ASSERT_TRUE(page.WaitUntilHeld());
    ASSERT_TRUE(MoveFileA((root / "data\\sw").c_str(), (root / "data\\was-sw").c_str()));
    const bool linked = MakeFolderLink(root / "data\\sw", root / "other");
    WriteFile(root / "data\\z-late.tmp", "written again since");
    page.Release();
    ASSERT_TRUE(PumpUntil([&] { return finished > 0; }));
    outcome = page.Outcome();
    if (!linked) GTEST_SKIP() << "this system makes no folder links here";
    EXPECT_EQ(outcome.removed, 1u);
    EXPECT_EQ(outcome.keptChanged, 3u);
    EXPECT_EQ(ReadFile(root / "data\\z-late.tmp"), "written again since");
    for (const char* name : {"f1.tmp", "f2.tmp", "f3.tmp"}) EXPECT_EQ(ReadFile(root / "other\\" + name), "outside");
    EXPECT_EQ(ReadFile(root / "data\\was-sw\\f2.tmp"), "inside");
    RemoveHostTree(root / "data\\sw");
}

TEST_F(CleaningPageTest, StopAsksAndOnlyOkEndsTheRunBetweenTwoFiles) {
    Check({"s1.tmp", "s2.tmp", "s3.tmp", "s4.tmp"});
    page.backup = true;
    page.backupDirectory = root / "bk";
    ScriptedMessageBoxes boxes;
    page.HoldBefore(CleaningPage::Pass::Removal, 2);
    page.Start();
    ASSERT_TRUE(page.WaitUntilHeld());

    boxes.Answer(IDCANCEL);
    Click(page.Hwnd(), IDC_CLEANING_STOP);
    EXPECT_TRUE(page.IsRunning());
    EXPECT_EQ(finished, 0);

    boxes.Answer(IDOK);
    Click(page.Hwnd(), IDC_CLEANING_STOP);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "_StopCleanConfirm");
    EXPECT_EQ(boxes.shown[0].style & MB_OKCANCEL, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_FALSE(page.IsRunning());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(State(), "_CleaningPageStateStopped");
    EXPECT_EQ(SendMessageA(GetDlgItem(page.Hwnd(), IDC_CLEANING_PROGRESS), PBM_GETPOS, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_CLEANING_STOP)));

    outcome = page.Outcome();  // waits for the worker to leave
    PumpMessages();
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(State(), "_CleaningPageStateStopped");  // the worker ran none of its end steps
    EXPECT_FALSE(Exists(root / "data\\s1.tmp"));
    EXPECT_FALSE(Exists(root / "data\\s2.tmp"));
    EXPECT_TRUE(Exists(root / "data\\s3.tmp"));
    EXPECT_TRUE(Exists(root / "data\\s4.tmp"));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.removed, 2u);
    // The removal record lists what was removed before the stop: the log misses no file.
    ASSERT_EQ(page.records.size(), 2u);
    EXPECT_EQ(Lines(page.records[1].text).size(), 3u);
    EXPECT_EQ(OutcomeLine(outcome).rfind("Stopped. 2 removed", 0), 0u);
}

TEST_F(CleaningPageTest, StopAnsweredWithCancelLetsTheRunFinish) {
    Check({"c1.tmp", "c2.tmp"});
    ScriptedMessageBoxes boxes;
    page.HoldBefore(CleaningPage::Pass::Removal, 1);
    page.Start();
    ASSERT_TRUE(page.WaitUntilHeld());
    boxes.Answer(IDCANCEL);
    Click(page.Hwnd(), IDC_CLEANING_STOP);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page.Hwnd(), IDC_CLEANING_STOP)));
    page.Release();
    ASSERT_TRUE(PumpUntil([&] { return finished > 0; }));
    EXPECT_EQ(State(), "_CleaningPageStateComplete");
    EXPECT_FALSE(Exists(root / "data\\c2.tmp"));
    EXPECT_EQ(page.Outcome().removed, 2u);
}

TEST_F(CleaningPageTest, ALockedFileStaysAndIsRegisteredForDeletionAtRestart) {
    Check({"free.tmp", "locked.tmp"});
    const std::string locked = root / "data\\locked.tmp";
    UniqueFile open(CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open);
    RunToTheEnd();
    EXPECT_FALSE(Exists(root / "data\\free.tmp"));
    EXPECT_TRUE(Exists(locked));
    EXPECT_EQ(outcome.removed, 1u);
    EXPECT_EQ(outcome.keptAtRestart + outcome.keptNotRemoved, 1u);
    std::vector<std::string> lines = Lines(page.records.at(0).text);
    ASSERT_EQ(lines.size(), 3u);
    RecordProperty("kept", outcome.keptAtRestart ? "registered for a restart" : "registration refused");
    if (outcome.keptAtRestart == 1) {
        EXPECT_EQ(lines[2], "at-restart " + locked);
        // The pending operation names the file (in its "\??\" form) and no target; it is taken out
        // again so nothing of the test's is deleted at a restart.
        const char* key = "System\\CurrentControlSet\\Control\\Session Manager";
        HKEY session = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &session), ERROR_SUCCESS);
        DWORD type = 0, size = 0;
        RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, &type, nullptr, &size);
        std::string data(size, '\0');
        RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size);
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
        if (kept.empty()) RegDeleteValueA(session, "PendingFileRenameOperations");
        else
            RegSetValueExA(session, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                           reinterpret_cast<const BYTE*>((kept + '\0').data()), static_cast<DWORD>(kept.size() + 1));
        RegCloseKey(session);
    } else {
        EXPECT_EQ(lines[2], "kept-failed " + locked);
    }
}

TEST_F(CleaningPageTest, CopiesReachPastMaxPathOrTheFileIsKept) {
    std::string deep = MakeLongFolder(root, 200);
    std::string path = deep + "\\long.tmp";
    WriteFile(path, "far down");
    Add(path);
    page.backup = true;
    page.backupDirectory = root / "bk";
    RunToTheEnd();
    std::vector<BackupSet> sets = BackupSet::ListSets(root / "bk");
    ASSERT_EQ(sets.size(), 1u);
    std::string copy = BackupSet::CopyPathInSet(sets[0].path, path);
    ASSERT_GT(copy.size(), static_cast<size_t>(MAX_PATH));
    if (outcome.removed == 1) {
        EXPECT_EQ(ReadFile(copy), "far down");
    } else {
        EXPECT_EQ(outcome.keptNoBackup, 1u);
        EXPECT_EQ(ReadFile(path), "far down");
    }
    EXPECT_EQ(outcome.removed, 1u);  // Windows and Wine both take the prefixed wide paths
}
