// Scan benchmark: a bare FindFirstFileA walk of a generated tree against the file scanner, the
// scanner with the shortcut test, and the scanning page's worker with the page shown; then the
// report page's fill, and memory measured in separate processes. Each round runs every variant
// once over the whole tree, part by part, the order turning with each part; medians of the rounds.
// Each round also runs TidyholdCmd.exe's scan once over the whole tree, in a process of its own,
// before the parts in even rounds and after them in odd ones, with a settings file made for it.
//
// scan_benchmark.exe [--rounds N] [--slices N] [--months N] [--report-rows N]
// Run beside TidyholdCmd.exe, Tidyhold.language and config.xml (the factory lists and options are read from it).
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/com_ptr.h"
#include "base/program_paths.h"
#include "base/win_handles.h"
#include "bench/alloc_counter.h"
#include "bench/bench_tree.h"
#include "res/resource.h"
#include "scan/file_scanner.h"
#include "scan/protected_paths.h"
#include "scan/report_page.h"
#include "scan/scan_page.h"
#include "settings/junk_descriptions.h"
#include "settings/scan_config.h"
#include "settings/settings_store.h"
#include "ui/language_table.h"
#include "ui/list_view.h"

namespace {

constexpr double kScannerTarget = 1.15;   // scanner / bare walk
constexpr double kPageTarget = 1.10;      // page worker / scanner
constexpr double kReportTarget = 1.5;     // seconds for the synthetic rows, filled and painted
constexpr double kCheckClickTarget = 0.05;  // seconds for one check toggle and its checked line, painted
constexpr long long kWalkMemoryLimit = 64 * 1024;  // heap a walk that finds nothing may hold

struct Options {
    int rounds = 3;
    int months = -1;  // -1: the factory value
    int reportRows = 50000;
    int slices = 10;    // parts of the tree that every variant scans in turn within a round
    std::string probe;  // set in the child processes that measure memory
};

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER frequency{}, start{};
};

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The factory junk masks, skip folders and options of the shipped config.xml, with the
// zero-length and age tests on and the special folders off (the tree lies in the temporary folder).
ScanSettings FactorySettings(const std::string& folder, const Options& options) {
    ScanSettings settings;
    settings.Folders = {folder};
    ConfigDocument config = OpenConfig();
    for (const ListRow& row : config.ReadList(ListSection::JunkFiles, true))
        if (row.checked) settings.JunkMasks[row.text] = ShownDescription(row.description);
    for (const ListRow& row : config.ReadList(ListSection::SkipFolders, true))
        if (row.checked) settings.SkipFolders.push_back(row.text);
    settings.SkipFolders.push_back(ProgramFolder());
    settings.SkipReadOnlyFiles = config.ReadOption("SkipReadOnlyFiles", true);
    settings.SkipSystemFiles = config.ReadOption("SkipSystemFiles", true);
    settings.SkipHiddenFiles = config.ReadOption("SkipHiddenFiles", true);
    settings.Months = ParseLeadingInt(config.ReadMonths(true));
    if (options.months >= 0) settings.Months = options.months;
    settings.FindZeroLengthFiles = true;
    settings.FindFilesHaveNotAccessed = true;
    return settings;
}

// ---- the variants ----

struct WalkCount {
    long long files = 0;
    long long folders = 0;
};

void BareWalk(std::string& path, WalkCount& count) {
    size_t base = path.size();
    path += "\\*";
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(path.c_str(), &entry);
    path.resize(base);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
            ++count.folders;
            path += '\\';
            path += entry.cFileName;
            BareWalk(path, count);
            path.resize(base);
        } else {
            ++count.files;
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

void Collect(const std::string& path, const std::string& reason, const WIN32_FIND_DATAA&, void* found) {
    static_cast<FoundList*>(found)->insert_or_assign(path, reason);
}

// As a scan runs it, with the protected locations a scan resolves once before it searches.
FoundList RunScanner(const ScanSettings& settings, const ProtectedPaths& protectedPaths) {
    FoundList found;
    FileScanner::Criteria criteria = FileScanner::CriteriaOf(settings);
    criteria.protectedPaths = &protectedPaths;
    for (const std::string& folder : settings.Folders)
        FileScanner::Search({folder, settings.JunkMasks, settings.SkipFolders, criteria,
                             [&](const std::string& path, const std::string& reason, const WIN32_FIND_DATAA& entry) {
                                 Collect(path, reason, entry, &found);
                             },
                             {}});
    return found;
}

void FitToHost(HWND host, HWND page) {
    RECT client{};
    GetClientRect(host, &client);
    MoveWindow(page, 0, 0, client.right, client.bottom, TRUE);
    ShowWindow(page, SW_SHOW);
    UpdateWindow(host);
    Pump();
}

// A shown scanning page that runs its whole worker once per Scan, the UI thread dispatching every
// message meanwhile as the program's loop would.
class PageRunner {
public:
    explicit PageRunner(HWND host) : done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        if (!page.CreateModeless(host)) return;
        FitToHost(host, page.Hwnd());
        page.finishedCallback = [this] { SetEvent(done.Get()); };
    }

    // Seconds from StartScan until the finished callback; what was found is added to found.
    double Scan(const ScanSettings& settings, FoundList& found) {
        if (!page.Hwnd()) return -1;
        HANDLE wait = done.Get();
        ResetEvent(wait);
        Stopwatch watch;
        page.StartScan(settings);
        while (MsgWaitForMultipleObjects(1, &wait, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) Pump();
        double seconds = watch.Seconds();
        Pump();
        found.insert(page.found.begin(), page.found.end());
        return seconds;
    }

private:
    UniqueHandle done;
    ScanPage page;
};

// FillReport and the paint that follows it, on a fresh page, and the rows the list then holds.
struct ReportFill {
    double seconds = -1;
    int rows = 0;
    double checkClickSeconds = -1;  // one row's check toggled on the full list, line and row painted
};
ReportFill FillReportTimed(HWND host, const FoundList& found) {
    ReportPage page;
    if (!page.CreateModeless(host)) return {};
    FitToHost(host, page.Hwnd());
    Stopwatch watch;
    page.FillReport(found);
    RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    ReportFill fill{watch.Seconds(), RowCount(page.Item(IDC_REPORT_LIST))};
    Pump();
    Stopwatch click;
    SetRowChecked(page.Item(IDC_REPORT_LIST), 0, false);
    RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    fill.checkClickSeconds = click.Seconds();
    Pump();
    return fill;
}

// The first rows files of the tree in walk order, as a scan of a temporary folder reports them.
FoundList FirstFiles(const std::string& folder, int rows, const std::string& reason) {
    struct Context {
        FoundList found;
        size_t limit;
        std::atomic<bool> stop{false};
    } context;
    context.limit = static_cast<size_t>(rows);
    MaskTable everything{{"*", reason}};
    FileScanner::Search({folder, everything, {}, {},
                         [&](const std::string& path, const std::string& text, const WIN32_FIND_DATAA&) {
                             context.found.insert_or_assign(path, text);
                             if (context.found.size() >= context.limit) context.stop = true;
                         },
                         {}, &context.stop});
    return std::move(context.found);
}

// ---- memory ----

struct MemorySample {
    unsigned long long privateBytes = 0;
    unsigned long long workingSet = 0;
    unsigned long long peakWorkingSet = 0;
};

MemorySample SampleMemory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    MemorySample sample;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters))) {
        sample.privateBytes = counters.PrivateUsage;
        sample.workingSet = counters.WorkingSetSize;
        sample.peakWorkingSet = counters.PeakWorkingSetSize;
    }
    return sample;
}

struct ProbeResult {
    std::string kind;
    long long walked = 0;
    long long found = 0;
    long long heapHeld = 0;  // still held after the scan, the found list alive
    long long heapPeak = 0;
    long long privateGrowth = 0;
    bool privateKnown = false;  // Wine reports no private bytes
    long long workingSetGrowth = 0;
    long long peakWorkingSetGrowth = 0;
    long long tablesPeak = 0;  // the protected locations' tables, built before the scan
    bool ok = false;
};

long long Difference(unsigned long long after, unsigned long long before) {
    return static_cast<long long>(after) - static_cast<long long>(before);
}

// Child side: one scan in a fresh process, so no earlier scan's freed heap hides the growth.
int RunProbe(const std::string& kind, const std::string& files, const TreeShape& shape, const Options& options) {
    ScanSettings settings = FactorySettings(files, options);
    long long walked = shape.FileCount();
    if (kind == "walk-quarter" || kind == "walk-all") {
        // No masks and every test off: nothing is ever found.
        settings.JunkMasks.clear();
        settings.FindZeroLengthFiles = false;
        settings.FindFilesHaveNotAccessed = false;
        settings.SkipReadOnlyFiles = settings.SkipSystemFiles = settings.SkipHiddenFiles = false;
        if (kind == "walk-quarter") {
            int tops = shape.topFolders / 4;
            settings.Folders.clear();
            for (int top = 0; top < tops; ++top) {
                char name[16];
                std::snprintf(name, sizeof(name), "\\d%02d", top);
                settings.Folders.push_back(files + name);
            }
            walked = static_cast<long long>(tops) * shape.middleFolders * shape.leafFolders * shape.filesPerLeaf;
        }
    } else if (kind != "factory") {
        return 2;
    }
    // The protected locations' tables are the scan's setup, measured apart from the walk.
    alloc_counter::Start();
    const ProtectedPaths protectedPaths(KnownFoldersSource()());
    alloc_counter::Stop();
    const long long tablesPeak = alloc_counter::Peak();
    MemorySample before = SampleMemory();
    alloc_counter::Start();
    FoundList found = RunScanner(settings, protectedPaths);
    alloc_counter::Stop();
    MemorySample after = SampleMemory();
    std::printf("probe %s %lld %zu %lld %lld %lld %d %lld %lld %lld\n", kind.c_str(), walked, found.size(),
                static_cast<long long>(alloc_counter::Current()), static_cast<long long>(alloc_counter::Peak()),
                Difference(after.privateBytes, before.privateBytes), before.privateBytes > 0 ? 1 : 0,
                Difference(after.workingSet, before.workingSet),
                Difference(after.peakWorkingSet, before.peakWorkingSet), tablesPeak);
    std::fflush(stdout);
    return 0;
}

// Runs a command line with its stdout read into output; its exit code, or -1 when it did not start.
int RunChild(std::string command, std::string& output) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
    UniqueHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    writer.Reset();  // the child holds the only write end: its exit ends the read
    UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0) output.append(buffer, read);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    return GetExitCodeProcess(process.hProcess, &code) ? static_cast<int>(code) : -1;
}

// Parent side: runs this program again with --probe and reads its one line.
ProbeResult Probe(const std::string& kind, const Options& options) {
    ProbeResult result;
    result.kind = kind;
    std::string command = "\"" + ProgramFilePath() + "\" --probe " + kind;
    if (options.months >= 0) command += " --months " + std::to_string(options.months);
    std::string output;
    if (RunChild(command, output) < 0) return result;
    char name[32] = {};
    long long walked, found, held, peak, privateGrowth, workingSet, peakWorkingSet, tablesPeak;
    int privateKnown = 0;
    if (std::sscanf(output.c_str(), "probe %31s %lld %lld %lld %lld %lld %d %lld %lld %lld", name, &walked, &found,
                    &held, &peak, &privateGrowth, &privateKnown, &workingSet, &peakWorkingSet, &tablesPeak) == 10) {
        result.walked = walked;
        result.found = found;
        result.heapHeld = held;
        result.heapPeak = peak;
        result.privateGrowth = privateGrowth;
        result.privateKnown = privateKnown != 0;
        result.workingSetGrowth = workingSet;
        result.peakWorkingSetGrowth = peakWorkingSet;
        result.tablesPeak = tablesPeak;
        result.ok = true;
    }
    return result;
}

// ---- the command line ----

// The command line's own settings file: the shipped config.xml with the factory lists and the
// options FactorySettings scans with, the special folders off, so that it searches the tree alone.
std::string WriteCommandConfig(const ScanSettings& settings) {
    const std::string path = ProgramFolder() + "\\bench-command-config.xml";
    if (!CopyFileA(ConfigFilePath().c_str(), path.c_str(), FALSE)) return {};
    SetConfigFilePath(path);
    ConfigDocument config;
    bool saved = false;
    if (config.Open()) {
        for (ListSection section : {ListSection::JunkFiles, ListSection::SkipFolders})
            config.RewriteList(section, config.ReadList(section, true));
        for (const SearchOption& option : kSearchOptions) config.WriteOption(option.element, settings.*option.setting);
        config.WriteMonths(std::to_string(settings.Months));
        saved = config.Save();
    }
    SetConfigFilePath({});
    return saved ? path : std::string();
}

struct CommandScan {
    double seconds = 0;
    int exitCode = -1;
    long long found = -1;  // from the summary line; -1 when it has none
};

// One "TidyholdCmd scan" of the whole folder in a process of its own, timed from its start to its exit.
CommandScan RunCommandScan(const std::string& config, const std::string& folder) {
    const std::string command = "\"" + ProgramFolder() + "\\TidyholdCmd.exe\" scan --config \"" + config +
                                "\" --folder \"" + folder + "\" --quiet";
    CommandScan scan;
    std::string output;
    Stopwatch watch;
    scan.exitCode = RunChild(command, output);
    scan.seconds = watch.Seconds();
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    const size_t lineStart = output.find_last_of('\n');
    long long found = 0;
    if (std::sscanf(output.c_str() + (lineStart == std::string::npos ? 0 : lineStart + 1), "scan: %lld files found",
                    &found) == 1)
        scan.found = found;
    return scan;
}

// ---- the run ----

// The tree split into parts of whole top folders. Load from other processes changes within
// seconds; every variant scanning each part in turn makes such changes hit all variants alike.
std::vector<std::vector<std::string>> Slices(const std::string& files, const TreeShape& shape, int count) {
    if (count <= 1) return {{files}};
    count = std::min(count, shape.topFolders);
    std::vector<std::vector<std::string>> slices(static_cast<size_t>(count));
    for (int top = 0; top < shape.topFolders; ++top) {
        char name[16];
        std::snprintf(name, sizeof(name), "\\d%02d", top);
        slices[static_cast<size_t>(top * count / shape.topFolders)].push_back(files + name);
    }
    return slices;
}

struct Variant {
    const char* name;
    std::vector<double> seconds;
    std::vector<double> cpu;
    long long walked = 0;
    long long found = -1;
    long long expected = -1;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--rounds" && hasValue) options.rounds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--months" && hasValue) options.months = std::atoi(argv[++i]);
        else if (arg == "--report-rows" && hasValue) options.reportRows = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--slices" && hasValue) options.slices = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--probe" && hasValue) options.probe = argv[++i];
        else return false;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : " ") + item;
    return text;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: scan_benchmark [--rounds N] [--slices N] [--months N] [--report-rows N]\n");
        return 2;
    }
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    Language().SetFile(ProgramFolder() + "\\Tidyhold.language");

    TreeShape shape;
    std::vector<std::string> masks;
    for (const ListRow& row : OpenConfig().ReadList(ListSection::JunkFiles, true))
        if (row.checked) masks.push_back(row.text);
    if (masks.empty()) {
        std::fprintf(stderr, "No factory junk masks: is config.xml beside the program?\n");
        return 1;
    }
    if (!options.probe.empty()) return RunProbe(options.probe, BenchRoot() + "\\files", shape, options);

    BenchTree tree = PrepareTree(shape, masks);
    if (tree.root.empty()) {
        std::fprintf(stderr, "The benchmark tree could not be made under %s\n", BenchRoot().c_str());
        return 1;
    }
    const TreeCounts& counts = tree.counts;
    ScanSettings settings = FactorySettings(tree.files, options);
    ScanSettings withShortcuts = settings;
    withShortcuts.FindInvalidShortcuts = true;

    std::printf("Tree: %s\n", tree.files.c_str());
    std::printf("  %lld files in %d folders; %s in %.1f s\n", counts.files, shape.FolderCount(),
                tree.reused ? "reused, generated earlier" : "generated", tree.generationSeconds);
    std::printf("  mask names %lld, empty %lld, last access %d-%d days ago %lld (the rest within %d days), "
                "read-only %lld, hidden %lld, shortcuts %lld (%lld broken)\n",
                counts.maskNamed, counts.empty, shape.oldFromDays, shape.oldToDays, counts.old, shape.recentDays,
                counts.readOnly, counts.hidden, counts.shortcuts, counts.brokenShortcuts);
    std::printf("Scan: factory masks (%zu): %s\n", masks.size(), Joined(masks).c_str());
    std::printf("  skip folders %zu, skip read-only %d, system %d, hidden %d; empty files on, not accessed for %d "
                "months on\n",
                settings.SkipFolders.size(), settings.SkipReadOnlyFiles, settings.SkipSystemFiles,
                settings.SkipHiddenFiles, settings.Months);
    std::fflush(stdout);

    // Memory first, in fresh processes; each walks the tree once more, which also warms the cache.
    std::vector<ProbeResult> probes;
    for (const char* kind : {"walk-quarter", "walk-all", "factory"}) probes.push_back(Probe(kind, options));

    std::string warm = tree.files;
    WalkCount warmCount;
    Stopwatch warmWatch;
    BareWalk(warm, warmCount);
    std::printf("Warm-up walk: %lld files, %lld folders, %.2f s\n", warmCount.files, warmCount.folders + 1,
                warmWatch.Seconds());
    std::fflush(stdout);

    HWND host = CreateWindowExA(0, "STATIC", "Tidyhold scan benchmark", WS_OVERLAPPEDWINDOW, 40, 40, 760, 540,
                                nullptr, nullptr, nullptr, nullptr);
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    Pump();

    Variant variants[] = {
        {"bare walk (FindFirstFileA)", {}, {}},
        {"scanner: masks, empty, age", {}, {}},
        {"scanner: + shortcut test", {}, {}},
        {"scan page shown (worker)", {}, {}},
    };
    if (shape.AgeTestSplits(settings.Months)) {  // otherwise files near the threshold make the count move
        variants[1].expected = counts.expectedFound;
        variants[2].expected = counts.expectedFound + counts.expectedBrokenShortcuts;
        variants[3].expected = counts.expectedFound;
    }
    Variant command{"command line scan (process)", {}, {}};
    const std::string commandConfig = WriteCommandConfig(settings);
    if (commandConfig.empty()) std::fprintf(stderr, "The command line's settings file could not be written\n");
    int commandFailures = 0, commandMismatches = 0;
    std::vector<double> fillFound, fillRows, checkClicks;
    int fewestRowsListed = options.reportRows;
    FoundList pageFound;
    const std::string firstReason = settings.JunkMasks.begin()->second;
    FoundList syntheticRows = FirstFiles(tree.files, options.reportRows, firstReason);

    const std::vector<std::vector<std::string>> slices = Slices(tree.files, shape, options.slices);
    for (int round = 0; round < options.rounds; ++round) {
        double seconds[4] = {}, cpu[4] = {};
        long long walked = 0, found[4] = {};
        PageRunner pageRunner(host);
        pageFound.clear();
        CommandScan commandScan;
        auto runCommand = [&] {
            if (commandConfig.empty()) return;
            commandScan = RunCommandScan(commandConfig, tree.files);
            command.seconds.push_back(commandScan.seconds);
            command.found = commandScan.found;
            if (commandScan.exitCode != 0) ++commandFailures;
            std::fprintf(stderr, "  round %d: %-28s %7.2f s, exit code %d, found %lld\n", round + 1, command.name,
                         commandScan.seconds, commandScan.exitCode, commandScan.found);
        };
        if (round % 2 == 0) runCommand();
        for (size_t slice = 0; slice < slices.size(); ++slice) {
            ScanSettings sliceSettings = settings, sliceShortcuts = withShortcuts;
            sliceSettings.Folders = sliceShortcuts.Folders = slices[slice];
            for (size_t step = 0; step < 4; ++step) {
                // The order turns with each part; over four parts each variant comes right after each
                // other variant once, as the one before changes how fast the next one runs.
                constexpr size_t kOrder[4] = {0, 1, 3, 2};
                const int which = static_cast<int>((kOrder[step] + static_cast<size_t>(round) + slice) % 4);
                const double cpuBefore = ProcessCpuSeconds();
                if (which == 0) {
                    WalkCount count;
                    Stopwatch watch;
                    for (const std::string& folder : slices[slice]) {
                        std::string path = folder;
                        BareWalk(path, count);
                    }
                    seconds[which] += watch.Seconds();
                    walked += count.files;
                } else if (which == 1 || which == 2) {
                    Stopwatch watch;
                    const ProtectedPaths protectedPaths(KnownFoldersSource()());
                    FoundList sliceFound = RunScanner(which == 1 ? sliceSettings : sliceShortcuts, protectedPaths);
                    seconds[which] += watch.Seconds();
                    found[which] += static_cast<long long>(sliceFound.size());
                } else {
                    seconds[which] += pageRunner.Scan(sliceSettings, pageFound);
                }
                cpu[which] += ProcessCpuSeconds() - cpuBefore;
            }
        }
        found[3] = static_cast<long long>(pageFound.size());
        if (round % 2 == 1) runCommand();
        if (!commandConfig.empty() && commandScan.found != found[1]) ++commandMismatches;
        variants[0].walked = walked;
        for (int which = 0; which < 4; ++which) {
            Variant& variant = variants[which];
            variant.seconds.push_back(seconds[which]);
            variant.cpu.push_back(cpu[which]);
            if (which > 0) variant.found = found[which];
            std::fprintf(stderr, "  round %d: %-28s %7.2f s\n", round + 1, variant.name, seconds[which]);
        }
        fillFound.push_back(FillReportTimed(host, pageFound).seconds);
        ReportFill synthetic = FillReportTimed(host, syntheticRows);
        fillRows.push_back(synthetic.seconds);
        checkClicks.push_back(synthetic.checkClickSeconds);
        fewestRowsListed = std::min(fewestRowsListed, synthetic.rows);
        std::fprintf(stderr, "  round %d: report fill %zu rows %.2f s, %zu rows %.2f s\n", round + 1, pageFound.size(),
                     fillFound.back(), syntheticRows.size(), fillRows.back());
    }
    DestroyWindow(host);

    const double bare = Median(variants[0].seconds);
    const double scanner = Median(variants[1].seconds);
    const double page = Median(variants[3].seconds);
    std::printf("\nMedian of %d rounds; in each, every variant scans each of %zu parts of the tree in turn\n"
                "(wall time summed over the parts; cpu is this process's user+kernel time)\n",
                options.rounds, slices.size());
    std::printf("%-30s %9s %7s %8s %8s %8s %9s  %s\n", "variant", "median s", "ratio", "cpu s", "walked", "found",
                "expected", "rounds (s)");
    auto printRow = [&](const Variant& variant) {
        double median = Median(variant.seconds);
        std::string rounds;
        char one[16];
        for (double s : variant.seconds) {
            std::snprintf(one, sizeof(one), "%s%.2f", rounds.empty() ? "" : " ", s);
            rounds += one;
        }
        char cpu[24] = "-", found[24] = "-", expected[24] = "-";
        if (!variant.cpu.empty()) std::snprintf(cpu, sizeof(cpu), "%.2f", Median(variant.cpu));
        if (variant.found >= 0) std::snprintf(found, sizeof(found), "%lld", variant.found);
        if (variant.expected >= 0) std::snprintf(expected, sizeof(expected), "%lld", variant.expected);
        std::printf("%-30s %9.3f %7.3f %8s %8lld %8s %9s  %s\n", variant.name, median, median / bare, cpu,
                    variants[0].walked, found, expected, rounds.c_str());
    };
    for (const Variant& variant : variants) printRow(variant);
    if (!command.seconds.empty()) {
        printRow(command);
        std::printf("  (the command line: one process over the whole tree, its start, settings and the reading of\n"
                    "   each found file's size and time included; %.3f x the scanner)\n",
                    Median(command.seconds) / scanner);
    }
    const double rowsSeconds = Median(fillRows);
    const double clickSeconds = Median(checkClicks);
    std::printf("%-30s %9.3f  (%zu found rows)\n", "report fill+paint, found", Median(fillFound), pageFound.size());
    std::printf("%-30s %9.3f  (%zu rows)\n", "report fill+paint, synthetic", rowsSeconds, syntheticRows.size());

    std::printf("\nMemory, one scan per fresh process, found list still held (heap: operator new bytes)\n");
    std::printf("%-26s %8s %8s %12s %12s %11s %11s %11s\n", "probe", "walked", "found", "heap held KB", "heap peak KB",
                "private +KB", "WS +KB", "peak WS +KB");
    const ProbeResult* walkAll = nullptr;
    const ProbeResult* factory = nullptr;
    for (const ProbeResult& probe : probes) {
        if (!probe.ok) {
            std::printf("%-26s  failed\n", probe.kind.c_str());
            continue;
        }
        if (probe.kind == "walk-all") walkAll = &probe;
        if (probe.kind == "factory") factory = &probe;
        const char* label = probe.kind == "walk-quarter" ? "walk only, quarter tree"
                            : probe.kind == "walk-all"   ? "walk only, whole tree"
                                                         : "factory criteria, whole";
        char privateText[24] = "n/a";
        if (probe.privateKnown) std::snprintf(privateText, sizeof(privateText), "%.1f", probe.privateGrowth / 1024.0);
        std::printf("%-26s %8lld %8lld %12.1f %12.1f %11s %11.1f %11.1f\n", label, probe.walked, probe.found,
                    probe.heapHeld / 1024.0, probe.heapPeak / 1024.0, privateText, probe.workingSetGrowth / 1024.0,
                    probe.peakWorkingSetGrowth / 1024.0);
    }
    if (factory && factory->found > 0)
        std::printf("  heap held per found file: %.0f bytes\n",
                    static_cast<double>(factory->heapHeld) / static_cast<double>(factory->found));
    if (factory)
        std::printf("  the protected locations' tables, built once before each scan: %.1f KB heap at peak\n",
                    factory->tablesPeak / 1024.0);

    std::printf("\nTargets\n");
    std::printf("  scanner <= %.2f x bare walk:       %.3f  %s\n", kScannerTarget, scanner / bare,
                Verdict(scanner / bare <= kScannerTarget));
    std::printf("  page shown <= %.2f x scanner:      %.3f  %s\n", kPageTarget, page / scanner,
                Verdict(page / scanner <= kPageTarget));
    std::printf("  %d rows filled and painted < %.1f s: %.3f  %s\n", options.reportRows, kReportTarget, rowsSeconds,
                Verdict(rowsSeconds < kReportTarget));
    std::printf("  one check click on %d rows < %.0f ms: %.1f ms  %s\n", options.reportRows, kCheckClickTarget * 1000,
                clickSeconds * 1000, Verdict(clickSeconds < kCheckClickTarget));
    const bool allListed =
        syntheticRows.size() == static_cast<size_t>(options.reportRows) && fewestRowsListed == options.reportRows;
    std::printf("  the report lists all %d rows, every round: fewest %d  %s\n", options.reportRows, fewestRowsListed,
                Verdict(allListed));
    if (!command.seconds.empty()) {
        std::printf("  command line exits 0 every round: %d failed  %s\n", commandFailures, Verdict(commandFailures == 0));
        std::printf("  command line finds what the scanner finds, every round: %d differ  %s\n", commandMismatches,
                    Verdict(commandMismatches == 0));
    }
    if (walkAll)
        std::printf("  walk that finds nothing holds < %lld KB heap at peak: %.1f KB  %s\n", kWalkMemoryLimit / 1024,
                    walkAll->heapPeak / 1024.0, Verdict(walkAll->heapPeak < kWalkMemoryLimit));
    bool countsMatch = true;
    for (const Variant& variant : variants)
        if (variant.expected >= 0 && variant.found != variant.expected) countsMatch = false;
    if (!countsMatch) std::printf("  note: found counts differ from what the generator expected\n");
    std::fflush(stdout);
    return 0;
}
