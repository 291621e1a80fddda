// Cleaning benchmark: the cleaning run's two passes over 20,000 generated files, each against a
// bare loop of the same system calls in the same run, and the recycle-bin pass beside the
// permanent one.
//
// cleaning_benchmark.exe [--files N] [--rounds N]
// The files are made afresh under the temporary folder before each timed pass and removed after.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/com_ptr.h"
#include "base/file_proof.h"
#include "clean/backup_set.h"
#include "clean/cleaning_page.h"

namespace {

// Each file is proved on its own handle before it is copied or removed: the proof's open and
// queries are the price of never acting on a link or a changed file.
constexpr double kCopyTarget = 1.25;
constexpr double kRemovalTarget = 1.50;
constexpr int kFilesPerFolder = 200;

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Argument(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == name) return std::atoi(argv[i + 1]);
    return fallback;
}

// N files of 1 KB in folders of 200, listed in the cleaning run's order. Each batch has names of
// its own: the recycle bin makes a name that is already in it unique, which takes ever longer.
CleanFiles MakeFiles(const std::string& root, int count) {
    static int batch = 0;
    const std::string prefix = "\\b" + std::to_string(++batch) + "-file";
    static const std::string content(1024, 'x');
    CleanFiles files;
    CreateDirectoryA(root.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        std::string folder = root + "\\folder" + std::to_string(i / kFilesPerFolder);
        if (i % kFilesPerFolder == 0) CreateDirectoryA(folder.c_str(), nullptr);
        std::string path = folder + prefix + std::to_string(i) + ".tmp";
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
        files.emplace(path, CheckedFile{"Junk", ReadFileStamp(path)});
    }
    return files;
}

// The same copies with nothing around them: the mirrored path, its folders made once per folder.
void BareCopies(const CleanFiles& files, const std::string& set) {
    std::string madeFolder;
    for (const auto& [path, reason] : files) {
        std::string copy = BackupSet::CopyPathInSet(set, path);
        std::string folder = ParentFolder(copy);
        if (folder != madeFolder) {
            MakeFolders(folder + "\\");
            madeFolder = folder;
        }
        CopyFileA(path.c_str(), copy.c_str(), FALSE);
    }
}

void BareDeletes(const CleanFiles& files) {
    for (const auto& [path, reason] : files) DeleteFileA(path.c_str());
}

double lastLoop = 0;  // the last timed run's file loop alone, up to its last file

// A whole cleaning on a shown page, from Start until its end reaches the UI thread.
double TimedRun(HWND host, const CleanFiles& files, bool backup, Removal removal, const std::string& backupDirectory) {
    CleaningPage page;
    page.CreateModeless(host);
    ShowWindow(page.Hwnd(), SW_SHOW);
    double loopStart = 0, loopEnd = 0;
    page.beforeFile = [&](CleaningJob::Pass, std::size_t index, const std::atomic<bool>&) {
        if (index == 0) loopStart = Now();
        if (index + 1 == files.size()) loopEnd = Now();
    };
    bool ended = false;
    page.finishedCallback = [&] { ended = true; };
    double start = Now();
    page.Start({files, removal, backup, backupDirectory});
    MSG message;
    while (!ended && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    double seconds = Now() - start;
    lastLoop = loopEnd - loopStart;
    CleaningOutcome outcome = page.Outcome();
    if (outcome.Kept()) std::printf("    (%zu files kept)\n", outcome.Kept());
    DestroyWindow(page.Hwnd());
    return seconds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    int count = Argument(argc, argv, "--files", 20000);
    int rounds = Argument(argc, argv, "--rounds", 3);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string base = std::string(temp) + "tidyhold-bench-cleaning";
    RemoveTree(base);
    CreateDirectoryA(base.c_str(), nullptr);
    const std::string source = base + "\\files", backups = base + "\\backups";
    HWND host = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 400, nullptr, nullptr,
                                nullptr, nullptr);

    std::vector<double> bareCopy, runCopy, bareDelete, runDelete, deleteLoop, runRecycle;
    for (int round = 0; round < rounds; ++round) {
        // Bare and run take turns going first, so neither always meets a warmer cache.
        bool bareFirst = round % 2 == 0;
        CleanFiles files = MakeFiles(source, count);
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == bareFirst) {
                double start = Now();
                BareCopies(files, backups + "\\bare");
                bareCopy.push_back(Now() - start);
            } else {
                runCopy.push_back(TimedRun(host, files, true, Removal::None, backups));
            }
            RemoveTree(backups);
        }
        for (int turn = 0; turn < 2; ++turn) {
            files = MakeFiles(source, count);
            if ((turn == 0) == bareFirst) {
                double start = Now();
                BareDeletes(files);
                bareDelete.push_back(Now() - start);
            } else {
                runDelete.push_back(TimedRun(host, files, false, Removal::Permanent, ""));
                deleteLoop.push_back(lastLoop);
            }
        }
        files = MakeFiles(source, count);
        runRecycle.push_back(TimedRun(host, files, false, Removal::RecycleBin, ""));
        RemoveTree(source);
        std::printf("  round %d: copy bare %.3f s, run %.3f s; delete bare %.3f s, run %.3f s (its loop %.3f s); "
                    "recycle %.3f s\n",
                    round + 1, bareCopy.back(), runCopy.back(), bareDelete.back(), runDelete.back(),
                    deleteLoop.back(), runRecycle.back());
    }
    double copyRatio = Median(runCopy) / Median(bareCopy);
    double deleteRatio = Median(runDelete) / Median(bareDelete);
    std::printf("Backup pass over %d files: median %.3f s, bare CopyFileA loop %.3f s, ratio %.3f (target <= %.2f: %s)\n",
                count, Median(runCopy), Median(bareCopy), copyRatio, kCopyTarget,
                copyRatio <= kCopyTarget ? "met" : "MISSED");
    std::printf("Permanent removal: median %.3f s, bare DeleteFileA loop %.3f s, ratio %.3f (target <= %.2f: %s)\n",
                Median(runDelete), Median(bareDelete), deleteRatio, kRemovalTarget,
                deleteRatio <= kRemovalTarget ? "met" : "MISSED");
    std::printf("Files per second: permanent removal %.0f, recycle bin %.0f\n", count / Median(runDelete),
                count / Median(runRecycle));
    DestroyWindow(host);
    RemoveTree(base);
    return 0;
}
