// Whole-program runs of the built Tidyhold.exe, copied into a throwaway folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/file_tree.h"
#include "tests/support/scan_driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"

namespace {

struct Process {
    PROCESS_INFORMATION info{};
    ~Process() {
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    DWORD Wait(DWORD milliseconds = 20000) {
        if (WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

// The top-level window of a process whose class and, if given, title match.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
    struct Search {
        DWORD processId;
        const char* className;
        const char* title;
        HWND found;
    } search{processId, className, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[64] = {};
            GetClassNameA(window, name, sizeof(name));
            if (owner != s->processId || std::string(name) != s->className) return TRUE;
            if (s->title && Text(window) != s->title) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A control of the given class and id anywhere below the window (ids repeat across pages).
HWND FindControl(HWND window, const char* className, int id) {
    struct Search {
        const char* className;
        int id;
        HWND found;
    } search{className, id, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char name[64] = {};
            GetClassNameA(child, name, sizeof(name));
            if (GetDlgCtrlID(child) != s->id || _stricmp(name, s->className) != 0) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 600; ++i) {
        if (condition()) return true;
        Sleep(50);
    }
    return false;
}

HWND WaitForWindow(const Process& process, const char* className, const char* title) {
    for (int i = 0; i < 400; ++i) {
        if (HWND window = FindProcessWindow(process.info.dwProcessId, className, title)) return window;
        if (WaitForSingleObject(process.info.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileTo(HostPath(TIDYHOLD_EXE), program));
        ASSERT_TRUE(CopyFileTo(HostPath(TIDYHOLD_SKIN_DLL), folder / "WindowSkin.dll"));
    }
    void AddLanguageFile() {
        ASSERT_TRUE(CopyFileTo(HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/Tidyhold.language"),
                               folder / "Tidyhold.language"));
    }
    Process Start() {
        Process process;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        std::string commandLine = "\"" + program + "\"";
        EXPECT_TRUE(CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, folder.Path().c_str(),
                                   &startup, &process.info));
        return process;
    }
    // From the welcome page through a scan with no drive chosen (only the special folders that
    // config.xml turns on are searched) to its end; the wizard, or null.
    HWND ScanFromTheWelcomePage(const Process& process) {
        HWND wizard = WaitForWindow(process, "#32770", "Tidyhold (0.1.0)");
        HWND folders = wizard ? GetParent(FindControl(wizard, "SysTreeView32", IDC_FOLDER_TREE)) : nullptr;
        if (!folders) return nullptr;
        SendMessageA(GetDlgItem(folders, IDC_FOLDER_REMOVE_ALL), BM_CLICK, 0, 0);
        HWND next = GetDlgItem(wizard, IDC_WIZARD_NEXT);
        for (int page = 0; page < 5; ++page) SendMessageA(wizard, WM_COMMAND, IDC_WIZARD_NEXT, 0);
        return WaitFor([&] { return IsWindowEnabled(next) != FALSE; }) ? wizard : nullptr;
    }
    // Through a scan of the browser cache (pointed elsewhere by the caller) to the end of a
    // cleaning with the given clean options; the wizard, or null.
    HWND Clean(const Process& process, const std::string& cleanOptions,
               const std::function<void()>& afterReport = nullptr) {
        WriteFile(folder / "config.xml",
                  "<config><tidyhold><junkfiles><items/><default/></junkfiles><options><FindIETemp checked=\"1\"/>"
                  "</options><SkipFolders><items/><default/></SkipFolders><CleanOptions>" + cleanOptions +
                  "</CleanOptions></tidyhold></config>");
        HWND wizard = ScanFromTheWelcomePage(process);
        if (!wizard) return nullptr;
        HWND next = GetDlgItem(wizard, IDC_WIZARD_NEXT);
        SendMessageA(wizard, WM_COMMAND, IDC_WIZARD_NEXT, 0);  // report
        if (afterReport) afterReport();
        SendMessageA(wizard, WM_COMMAND, IDC_WIZARD_NEXT, 0);  // clean options
        SendMessageA(wizard, WM_COMMAND, IDC_WIZARD_NEXT, 0);  // cleaning starts
        if (!WaitFor([&] { return IsWindowEnabled(next) != FALSE; })) return nullptr;
        HWND state = GetDlgItem(GetParent(FindControl(wizard, "msctls_progress32", IDC_CLEANING_PROGRESS)),
                                IDC_CLEANING_STATE);
        EXPECT_EQ(Text(state).find("Cleaning complete."), 0u) << Text(state);
        return wizard;
    }
    // A permanent cleaning with backup into backups.
    HWND CleanWithBackup(const Process& process, const std::string& backups,
                         const std::function<void()>& afterReport = nullptr) {
        return Clean(process, "<CleanMode index=\"0\"/><Backup checked=\"1\" BackupDirectory=\"" + backups + "\"/>",
                     afterReport);
    }
    // Next to the results page: its summary line, or nothing.
    static std::string Summary(HWND wizard) {
        SendMessageA(wizard, WM_COMMAND, IDC_WIZARD_NEXT, 0);
        HWND summary = FindControl(wizard, "Static", IDC_RESULTS_SUMMARY);
        return summary ? Text(summary) : std::string();
    }
    // The names of the folders in a backup directory.
    static std::vector<std::string> Sets(const std::string& backups) {
        std::vector<std::string> sets;
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((backups + "\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return sets;
        do {
            if (entry.cFileName[0] != '.') sets.push_back(entry.cFileName);
        } while (FindNextFileA(find, &entry));
        FindClose(find);
        return sets;
    }
    TempFolder folder;
    std::string program = folder / "Tidyhold.exe";
};

}  // namespace

TEST_F(ProgramTest, ASecondCopyEndsAtOnceAndANormalCloseReturns2) {
    AddLanguageFile();
    Process first = Start();
    HWND wizard = WaitForWindow(first, "#32770", "Tidyhold (0.1.0)");
    ASSERT_TRUE(wizard);
    EXPECT_EQ(Text(GetDlgItem(wizard, IDC_WIZARD_NEXT)), "&Next >");

    Process second = Start();
    EXPECT_EQ(second.Wait(), 0u);
    EXPECT_TRUE(IsWindow(wizard));

    PostMessageA(wizard, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.Wait(), 2u);
}

TEST_F(ProgramTest, WithoutALanguageFileEveryTextIsItsKey) {
    Process process = Start();
    HWND wizard = WaitForWindow(process, "#32770", "Tidyhold (0.1.0)");
    ASSERT_TRUE(wizard);
    EXPECT_EQ(Text(GetDlgItem(wizard, IDC_WIZARD_NEXT)), "_Next");
    EXPECT_EQ(Text(GetDlgItem(wizard, IDC_WIZARD_CANCEL)), "_Cancel");
    PostMessageA(wizard, WM_COMMAND, IDC_WIZARD_CANCEL, 0);
    EXPECT_EQ(process.Wait(), 2u);
}

// Wine's per-program settings switch the XML library off for a copy with its own name.
TEST_F(ProgramTest, WithoutTheXmlParserItExplainsAndEndsWith0) {
    const char* overrides = "Software\\Wine\\AppDefaults\\NoXmlParser.exe\\DllOverrides";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, overrides, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    RegSetValueExA(key, "msxml3", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(key);
    program = folder / "NoXmlParser.exe";
    ASSERT_TRUE(CopyFileTo(HostPath(TIDYHOLD_EXE), program));

    Process process = Start();
    HWND box = WaitForWindow(process, "#32770", "_Tidyhold");  // no language file: the raw keys
    ASSERT_TRUE(box);
    EXPECT_FALSE(GetWindow(box, GW_OWNER));
    HWND ok = nullptr;
    for (int i = 0; i < 200 && !(ok = GetDlgItem(box, IDOK)); ++i) Sleep(25);  // until the box is laid out
    ASSERT_TRUE(ok);
    EXPECT_TRUE(FindWindowExA(box, nullptr, "Static", "_NotInstallXML2"));
    PostMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(process.Wait(), 0u);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\NoXmlParser.exe");
}

TEST_F(ProgramTest, AFullScanOfAThrowawayTreeReachesTheReport) {
    AddLanguageFile();
    TempFolder tree;
    MakeFolder(tree / "sub");
    MakeFile(tree / "a.tmp", 1536);
    MakeFile(tree / "sub\\b.txt", 10);
    MakeFile(tree / "sub\\c.tmp");
    // Only the browser cache, pointed at the tree, is searched: every file in it is found.
    ShellFolderOverride cache("Cache", tree.Path());
    WriteFile(folder / "config.xml",
              "<config><tidyhold><junkfiles><items><item checked=\"1\" description=\"Temporary\" file=\"*.tmp\"/>"
              "</items><default/></junkfiles><options><FindIETemp checked=\"1\"/></options>"
              "<SkipFolders><items/><default/></SkipFolders></tidyhold></config>");
    Process process = Start();
    HWND wizard = ScanFromTheWelcomePage(process);
    ASSERT_TRUE(wizard);
    HWND scan = GetParent(FindControl(wizard, "SysListView32", IDC_SCAN_LIST));
    EXPECT_EQ(Text(GetDlgItem(scan, IDC_SCAN_COUNT)), "Files found: 3");

    SendMessageA(wizard, WM_COMMAND, IDC_WIZARD_NEXT, 0);
    HWND report = FindControl(wizard, "SysListView32", IDC_REPORT_LIST);
    EXPECT_EQ(SendMessageA(report, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(GetDlgItem(GetParent(report), IDC_REPORT_TOTAL)).find("Files: 3"), 0u);

    PostMessageA(wizard, WM_CLOSE, 0, 0);  // the checked report would be lost: Yes, close
    HWND yes = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        yes = GetDlgItem(FindProcessWindow(process.info.dwProcessId, "#32770", "Tidyhold"), IDYES);
        return yes != nullptr;
    }));
    PostMessageA(yes, BM_CLICK, 0, 0);
    EXPECT_EQ(process.Wait(), 2u);
    EXPECT_NE(ReadFile(folder / "config.xml").find("file=\"*.tmp\""), std::string::npos);  // stored back
}

TEST_F(ProgramTest, ACleaningWithBackupFromTheWelcomePageToTheResults) {
    AddLanguageFile();
    TempFolder tree, elsewhere;
    MakeFolder(tree / "sub");
    WriteFile(tree / "a.tmp", "first");
    WriteFile(tree / "sub\\b.tmp", "second");
    WriteFile(elsewhere / "c.tmp", "not searched");
    ShellFolderOverride cache("Cache", tree.Path());
    const std::string backups = elsewhere / "bk";
    Process process = Start();
    HWND wizard = CleanWithBackup(process, backups);
    ASSERT_TRUE(wizard);
    const std::string summary = Summary(wizard);
    EXPECT_EQ(summary.find("2 files removed, 0.00 MB freed. Backup copies are in"), 0u) << summary;
    EXPECT_EQ(Text(GetDlgItem(wizard, IDC_WIZARD_CANCEL)), "F&inish");

    PostMessageA(wizard, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.Wait(), 2u);
    // The disk afterwards: the found files gone, their copies in one set, the rest untouched.
    EXPECT_EQ(GetFileAttributesA((tree / "a.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((tree / "sub\\b.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((tree / "sub").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFile(elsewhere / "c.tmp"), "not searched");
    std::vector<std::string> sets = Sets(backups);
    ASSERT_EQ(sets.size(), 1u);
    std::string set = backups + "\\" + sets[0];
    auto copyOf = [&](const std::string& path) {
        std::string relative = path;
        relative.erase(1, 1);  // C:\x -> C\x
        return set + "\\" + relative;
    };
    EXPECT_EQ(ReadFile(copyOf(tree / "a.tmp")), "first");
    EXPECT_EQ(ReadFile(copyOf(tree / "sub\\b.tmp")), "second");
}

// Only the checked files themselves go: never a link's target, never through a folder swapped for
// a link after the scan, and of a.tmp and A.TMP in one folder only the one whose copy was made.
TEST_F(ProgramTest, ACleaningRemovesNothingBeyondTheFilesTheScanFound) {
    AddLanguageFile();
    TempFolder tree, outside;
    WriteFile(outside / "doc.txt", "the only copy");
    MakeFolder(outside / "other");
    WriteFile(outside / "other\\s1.tmp", "outside s1");
    WriteFile(tree / "a.tmp", "lower");
    MakeFolder(tree / "swap");
    WriteFile(tree / "swap\\s1.tmp", "inside s1");
    if (!MakeHostEntry(tree.Path(), "A.TMP", "upper") || !MakeFileLink(tree / "evil.tmp", outside / "doc.txt"))
        GTEST_SKIP() << "no host side to make links and case twins on";
    ShellFolderOverride cache("Cache", tree.Path());
    const std::string backups = outside / "bk";
    Process process = Start();
    HWND wizard = CleanWithBackup(process, backups, [&] {
        ASSERT_TRUE(MoveFileA((tree / "swap").c_str(), (tree / "swapped").c_str()));
        ASSERT_TRUE(MakeFolderLink(tree / "swap", outside / "other"));
    });
    ASSERT_TRUE(wizard);
    const std::string summary = Summary(wizard);
    EXPECT_EQ(summary.find("1 files removed"), 0u) << summary;
    PostMessageA(wizard, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.Wait(), 2u);

    EXPECT_EQ(ReadFile(outside / "doc.txt"), "the only copy");
    EXPECT_EQ(ReadFile(outside / "other\\s1.tmp"), "outside s1");
    EXPECT_EQ(ReadFile(tree / "swapped\\s1.tmp"), "inside s1");
    // A.TMP sorts first and went with its copy; a.tmp found that name taken in the set and stayed.
    EXPECT_EQ(ReadFile(tree / "a.tmp"), "lower");
    std::vector<std::string> sets = Sets(backups);
    ASSERT_EQ(sets.size(), 1u);
    std::string relative = tree / "A.TMP";
    EXPECT_EQ(ReadFile(backups + "\\" + sets[0] + "\\" + relative.erase(1, 1)), "upper");
    RemoveHostTree(tree / "swap");
}

// Wine's shell, like Windows' on a drive without a bin, deletes for good what it cannot recycle.
TEST_F(ProgramTest, WithoutARecycleBinTheRecycleModeKeepsEveryFile) {
    AddLanguageFile();
    TempFolder tree;
    WriteFile(tree / "a.tmp", "first");
    WriteFile(tree / "b.tmp", "second");
    ShellFolderOverride cache("Cache", tree.Path());
    // The program's Wine finds no trash folder in a data folder that does not exist.
    char saved[MAX_PATH] = {};
    DWORD had = GetEnvironmentVariableA("XDG_DATA_HOME", saved, MAX_PATH);
    SetEnvironmentVariableA("XDG_DATA_HOME", "/nonexistent/tidyhold-no-trash");
    Process process = Start();
    SetEnvironmentVariableA("XDG_DATA_HOME", had ? saved : nullptr);
    HWND wizard = Clean(process, "<CleanMode index=\"1\"/><Backup checked=\"0\"/>");
    ASSERT_TRUE(wizard);
    const std::string summary = Summary(wizard);
    EXPECT_EQ(summary.find("0 files moved to the Recycle Bin (0.00 MB); their space is freed when the bin is "
                           "emptied. 2 kept: 2 could not be removed."), 0u) << summary;
    PostMessageA(wizard, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.Wait(), 2u);
    EXPECT_EQ(ReadFile(tree / "a.tmp"), "first");
    EXPECT_EQ(ReadFile(tree / "b.tmp"), "second");
}

TEST_F(ProgramTest, ASetMadeByACleaningIsRestoredFromTheToolsMenu) {
    AddLanguageFile();
    TempFolder tree, elsewhere;
    MakeFolder(tree / "Sub Folder");
    WriteFile(tree / "a.tmp", "first");
    WriteFile(tree / "Sub Folder\\B.Tmp", "second");
    ShellFolderOverride cache("Cache", tree.Path());
    const std::string backups = elsewhere / "bk";
    Process process = Start();
    HWND wizard = CleanWithBackup(process, backups);
    ASSERT_TRUE(wizard);
    ASSERT_EQ(Sets(backups).size(), 1u);
    RemoveDirectoryA((tree / "Sub Folder").c_str());  // emptied by the cleaning: made again by the restore

    PostMessageA(wizard, WM_COMMAND, IDM_RESCUE_MANAGER, 0);
    HWND rescue = WaitForWindow(process, "#32770", "Rescue Manager");
    ASSERT_TRUE(rescue);
    HWND list = GetDlgItem(rescue, IDC_RESCUE_LIST);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    // The row is selected through memory of the program's own: a list takes no pointer from here.
    LVITEMA select{};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    void* remote = VirtualAllocEx(process.info.hProcess, nullptr, sizeof(select), MEM_COMMIT, PAGE_READWRITE);
    ASSERT_TRUE(remote);
    WriteProcessMemory(process.info.hProcess, remote, &select, sizeof(select), nullptr);
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process.info.hProcess, remote, 0, MEM_RELEASE);
    PostMessageA(GetDlgItem(rescue, IDC_RESCUE_RESTORE), BM_CLICK, 0, 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        question = FindProcessWindow(process.info.dwProcessId, "#32770", "Tidyhold");
        return question && GetDlgItem(question, IDYES);
    }));
    PostMessageA(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
    HWND state = GetDlgItem(rescue, IDC_RESCUE_STATE);
    ASSERT_TRUE(WaitFor([&] { return Text(state) == "Restore complete."; })) << Text(state);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
    PostMessageA(rescue, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(rescue); }));
    PostMessageA(wizard, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.Wait(), 2u);

    // The disk afterwards: every file back with its content and its letters, the set gone.
    EXPECT_EQ(ReadFile(tree / "a.tmp"), "first");
    EXPECT_EQ(ReadFile(tree / "Sub Folder\\B.Tmp"), "second");
    WIN32_FIND_DATAA entry{};
    HANDLE find = FindFirstFileA((tree / "Sub Folder").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    EXPECT_STREQ(entry.cFileName, "Sub Folder");
    EXPECT_TRUE(Sets(backups).empty());
}
