// Whole-program runs of the built TidyholdCmd.exe on throwaway trees, as a fleet engine starts it:
// no window, its output read from pipes, its exit code the contract.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/cleaning_lock.h"
#include "base/file_list.h"
#include "tests/support/file_tree.h"
#include "tests/support/temp_folder.h"

namespace {

struct Ran {
    DWORD code = STILL_ACTIVE;
    std::string out, err;
    std::string LastLine() const {
        std::string text = out;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text.substr(text.find_last_of('\n') + 1);
    }
};

std::string Drain(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read) text.append(buffer, read);
    return text;
}

class CommandTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileTo(HostPath(TIDYHOLD_CMD), program));
        ASSERT_TRUE(CopyFileTo(HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/Tidyhold.language"),
                               folder / "Tidyhold.language"));
        // Only the chosen folders: no special folder of the account is searched.
        WriteFile(folder / "config.xml",
                  "<config><tidyhold><junkfiles><items><item file=\"*.tmp\" description=\"Temporary\" checked=\"1\"/>"
                  "</items><default/></junkfiles><options/><SkipFolders><items/><default/></SkipFolders>"
                  "<CleanOptions><CleanMode index=\"0\"/><Backup checked=\"0\"/></CleanOptions></tidyhold></config>");
        for (const char* name : {"a.tmp", "sub\\b.tmp", "keep.txt", "sub\\keep.doc"}) MakeFileAlong(tree / name);
        WriteFile(tree / "a.tmp", "junk a");
    }
    // Runs the program with no console of its own, as a service or scheduled task does.
    Ran Command(const std::string& arguments, DWORD timeout = 60000) {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE outRead, outWrite, errRead, errWrite;
        CreatePipe(&outRead, &outWrite, &inherit, 0);
        CreatePipe(&errRead, &errWrite, &inherit, 0);
        SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = outWrite;
        startup.hStdError = errWrite;
        std::string commandLine = "\"" + program + "\" " + arguments;
        PROCESS_INFORMATION info{};
        Ran run;
        const bool started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                            DETACHED_PROCESS, nullptr, folder.Path().c_str(), &startup, &info);
        CloseHandle(outWrite);
        CloseHandle(errWrite);
        EXPECT_TRUE(started);
        if (started) {
            std::thread errors([&] { run.err = Drain(errRead); });
            run.out = Drain(outRead);
            errors.join();
            if (WaitForSingleObject(info.hProcess, timeout) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 99);
            GetExitCodeProcess(info.hProcess, &run.code);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
        CloseHandle(outRead);
        CloseHandle(errRead);
        return run;
    }
    std::set<std::string> Files() {
        std::set<std::string> files;
        for (const char* name : {"a.tmp", "sub\\b.tmp", "keep.txt", "sub\\keep.doc"})
            if (Exists(tree / name)) files.insert(tree / name);
        return files;
    }
    std::string In(const std::string& what) { return " --folder \"" + tree.Path() + "\"" + what; }

    TempFolder folder, tree;
    std::string program = folder / "TidyholdCmd.exe";
};

}  // namespace

// What scan lists is exactly what clean then removes, and scan changes nothing.
TEST_F(CommandTest, ScanChangesNothingAndListsExactlyWhatCleanRemoves) {
    const std::set<std::string> before = Files();
    Ran scan = Command("scan" + In(" --report \"" + folder / "scan.json\""));
    EXPECT_EQ(scan.code, 0u) << scan.err;
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(scan.err.empty()) << scan.err;
    EXPECT_EQ(scan.LastLine().rfind("scan: 2 files found", 0), 0u) << scan.out;
    std::string error;
    std::optional<CleanFiles> listed = ReadFileList(folder / "scan.json", error);
    ASSERT_TRUE(listed) << error;
    std::set<std::string> paths;
    for (const auto& [path, file] : *listed) paths.insert(path);
    EXPECT_EQ(paths, (std::set<std::string>{tree / "a.tmp", tree / "sub\\b.tmp"}));

    Ran clean = Command("clean" + In(" --report \"" + folder / "clean.csv\""));
    EXPECT_EQ(clean.code, 0u) << clean.err;
    EXPECT_EQ(Files(), (std::set<std::string>{tree / "keep.txt", tree / "sub\\keep.doc"}));
    EXPECT_EQ(clean.LastLine().rfind("clean: 2 files, 2 removed, 0 kept", 0), 0u) << clean.out;
    EXPECT_LT(clean.LastLine().size(), 2048u);
    EXPECT_EQ(ReadFile(folder / "clean.csv").rfind("\xEF\xBB\xBFpath,size,writeTime,reason,result\r\n", 0), 0u);
}

TEST_F(CommandTest, EachRefusalHasItsExitCodeAndChangesNothing) {
    const std::set<std::string> before = Files();
    struct Case {
        std::string arguments;
        DWORD code;
    } cases[] = {
        {"", 2},
        {"sweep", 2},
        {"scan --colour blue", 2},
        {"scan --detect-over lots", 2},
        {"scan --plan x.json", 2},
        {"clean --recycle --permanent", 2},
        {"scan --config \"" + folder / "missing.xml\"" + In(""), 4},
        {"scan --folder \"" + tree / "not-there\"", 4},
        {"clean --plan \"" + folder / "missing.json\"", 4},
        {"scan --detect-over 5" + In(""), 1},  // 6 bytes of junk
        {"scan --detect-over 1GB" + In(""), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Ran run = Command(c.arguments);
        EXPECT_EQ(run.code, c.code) << run.out << run.err;
        EXPECT_EQ(run.err.empty(), c.code < 2) << run.err;
        EXPECT_EQ(Files(), before);
    }
    Ran help = Command("--help");
    EXPECT_EQ(help.code, 0u);
    EXPECT_NE(help.out.find("Exit codes:"), std::string::npos);
}

// A file changed since the reviewed list stays, as does one the list should never have held.
TEST_F(CommandTest, APlanCleansOnlyWhatIsUnchangedSinceItsList) {
    WriteFile(folder / "inside.tmp", "the program's own folder");
    Ran scan = Command("scan" + In(" --report \"" + folder / "plan.csv\""));
    ASSERT_EQ(scan.code, 0u) << scan.err;
    std::string plan = ReadFile(folder / "plan.csv");
    plan += folder / "inside.tmp" + ",24,2026-01-01T00:00:00.0000000Z,Temporary,found\r\n";
    WriteFile(folder / "plan.csv", plan);
    WriteFile(tree / "a.tmp", "written again after the list");

    Ran clean = Command("clean --plan \"" + folder / "plan.csv\" --report \"" + folder / "done.json\"");
    EXPECT_EQ(clean.code, 3u) << clean.out << clean.err;
    EXPECT_EQ(ReadFile(tree / "a.tmp"), "written again after the list");
    EXPECT_FALSE(Exists(tree / "sub\\b.tmp"));
    EXPECT_TRUE(Exists(folder / "inside.tmp"));
    const std::string report = ReadFile(folder / "done.json");
    EXPECT_NE(report.find("\"result\":\"kept-changed\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"result\":\"refused-protected\""), std::string::npos) << report;
    EXPECT_NE(clean.LastLine().find("2 kept"), std::string::npos) << clean.out;
}

// One cleaning at a time on the computer: another holds the lock, this one changes nothing.
TEST_F(CommandTest, ACleaningWhileAnotherHoldsTheLockEndsWith5) {
    const std::set<std::string> before = Files();
    {
        CleaningLock held;
        ASSERT_TRUE(held.Taken());
        Ran busy = Command("clean" + In(""));
        EXPECT_EQ(busy.code, 5u) << busy.out;
        EXPECT_FALSE(busy.err.empty());
        EXPECT_EQ(Files(), before);
    }
    EXPECT_EQ(Command("clean" + In("")).code, 0u);
}

// No console, no display and no one to answer: a removal for good without a backup, which the
// wizard would ask about, and a recycle bin that is not there both end, bounded by the wait.
TEST_F(CommandTest, WithoutAConsoleOrADisplayNothingWaitsForAnAnswer) {
    char display[256] = {}, data[MAX_PATH] = {};
    const DWORD hadDisplay = GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    const DWORD hadData = GetEnvironmentVariableA("XDG_DATA_HOME", data, sizeof data);
    SetEnvironmentVariableA("DISPLAY", nullptr);
    SetEnvironmentVariableA("XDG_DATA_HOME", "/nonexistent/tidyhold-no-trash");
    Ran recycle = Command("clean --recycle" + In(""), 30000);
    Ran permanent = Command("clean --permanent --no-backup" + In(""), 30000);
    SetEnvironmentVariableA("DISPLAY", hadDisplay ? display : nullptr);
    SetEnvironmentVariableA("XDG_DATA_HOME", hadData ? data : nullptr);
    EXPECT_EQ(recycle.code, 3u) << recycle.out << recycle.err;  // no bin: every file kept
    EXPECT_NE(recycle.LastLine().find("2 kept-not-removed"), std::string::npos) << recycle.out;
    EXPECT_EQ(permanent.code, 0u) << permanent.out << permanent.err;
    EXPECT_EQ(Files(), (std::set<std::string>{tree / "keep.txt", tree / "sub\\keep.doc"}));
}
