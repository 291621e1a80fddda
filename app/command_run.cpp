#include "app/command_run.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "base/ansi.h"
#include "base/cleaning_lock.h"
#include "base/file_list.h"
#include "base/program_paths.h"
#include "clean/log_client.h"
#include "scan/protected_paths.h"
#include "scan/scan_job.h"
#include "settings/scan_config.h"
#include "settings/settings_store.h"

namespace {

constexpr char kLogSource[] = "Tidyhold command line";
constexpr auto kCountEvery = std::chrono::seconds(5);

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1048576.0);
    return text;
}

// A long path in the summary keeps its start and its end.
std::string Shortened(const std::string& path, std::size_t limit = 400) {
    return path.size() <= limit ? path : path.substr(0, limit / 2) + "..." + path.substr(path.size() - limit / 2);
}

// Prints a job's stages as they begin, and its count now and then, while it lives.
class ProgressLines {
public:
    ProgressLines(const CommandOutput& output, const JobProgress& progress, const char* countWord)
        : output(output), progress(progress), countWord(countWord) {
        if (output.progress) printer = std::thread([this] { Print(); });
    }
    ~ProgressLines() {
        {
            std::lock_guard guard(lock);
            ended = true;
        }
        wake.notify_all();
        if (printer.joinable()) printer.join();
    }
    ProgressLines(const ProgressLines&) = delete;
    ProgressLines& operator=(const ProgressLines&) = delete;

private:
    void Print() {
        unsigned stage = 0;
        std::size_t count = 0;
        auto lastCount = std::chrono::steady_clock::now();
        std::unique_lock guard(lock);
        while (!wake.wait_for(guard, std::chrono::milliseconds(250), [this] { return ended; })) {
            const JobProgress::View view = progress.Read();
            if (view.stage != stage) {
                stage = view.stage;
                output.line(view.stageText);
            }
            if (view.done != count && std::chrono::steady_clock::now() - lastCount >= kCountEvery) {
                count = view.done;
                lastCount = std::chrono::steady_clock::now();
                output.line("  " + std::to_string(count) + (view.total ? " of " + std::to_string(view.total) : "") +
                            " " + countWord);
            }
        }
    }

    const CommandOutput& output;
    const JobProgress& progress;
    const char* countWord;
    std::mutex lock;
    std::condition_variable wake;
    bool ended = false;
    std::thread printer;
};

FileListEntry EntryOf(const std::string& path, const CheckedFile& file, std::string result) {
    return {path, file.seen ? file.seen->size : 0, file.seen ? std::optional(file.seen->writeTime) : std::nullopt,
            file.reason, std::move(result)};
}

struct Plan {
    CleanFiles files;
    std::vector<FileListEntry> refused;  // entries no cleaning may touch
};

// A plan is a file anyone may have edited: what lies in a protected place or in the program's own
// folders is refused, as a scan would never have proposed it.
Plan Screened(CleanFiles files, const std::vector<std::string>& ownFolders) {
    const ProtectedPaths protectedPaths(KnownFoldersSource()());
    std::vector<std::string> folded;
    for (const std::string& folder : ownFolders)
        if (IsAbsolutePath(folder)) folded.push_back(FoldedFolder(folder));
    Plan plan;
    for (auto& [path, file] : files) {
        const std::string lower = ToLowerAnsi(path);
        const bool own =
            std::any_of(folded.begin(), folded.end(), [&](const std::string& f) { return InFolder(lower, f); });
        if (own || protectedPaths.FileReason(path))
            plan.refused.push_back(EntryOf(path, file, "refused-protected"));
        else
            plan.files.emplace(path, std::move(file));
    }
    return plan;
}

class CommandRun {
public:
    CommandRun(const CommandOptions& options, const CommandOutput& output) : options(options), output(output) {}
    int Run();

private:
    int Refuse(int code, const std::string& why) {
        output.error(why);
        Summary(why);
        return code;
    }
    void Summary(std::string text) {
        if (text.size() > kSummaryLimit) text = text.substr(0, kSummaryLimit - 3) + "...";
        output.line(text);
    }
    bool Stopped() const { return output.stop && output.stop->load(); }
    std::optional<CleanFiles> Scan(const ScanSettings& settings);
    bool WriteReport(const std::vector<FileListEntry>& entries, const FileListSummary& summary,
                     std::string& said);

    const CommandOptions& options;
    const CommandOutput& output;
    std::atomic<bool> neverStop{false};
};

std::optional<CleanFiles> CommandRun::Scan(const ScanSettings& settings) {
    ScanJob job(settings);
    JobProgress progress;
    {
        ProgressLines lines(output, progress, "files found");
        job.Run(output.stop ? *output.stop : neverStop, progress);
    }
    if (Stopped()) return std::nullopt;
    CleanFiles files;
    // What the wizard's report reads of each file, and what the cleaning proves unchanged.
    for (auto& [path, reason] : job.TakeFound()) files.emplace(path, CheckedFile{reason, ReadFileStamp(path)});
    return files;
}

bool CommandRun::WriteReport(const std::vector<FileListEntry>& entries, const FileListSummary& summary,
                             std::string& said) {
    if (options.report.empty()) return true;
    const std::string report = FullPath(options.report);
    if (!WriteFileList(report, entries, summary)) {
        output.error("the report could not be written: " + report);
        said += "; no report written";
        return false;
    }
    said += "; report " + Shortened(report);
    return true;
}

int CommandRun::Run() {
    if (!options.config.empty()) SetConfigFilePath(FullPath(options.config));
    ConfigDocument config;
    if (!config.Open()) return Refuse(kExitCannotRun, "the settings file cannot be read: " + ConfigFilePath());
    const bool clean = options.command == Command::Clean;
    // One cleaning at a time on the computer: the wizard's, a restore, or another command line's.
    std::optional<CleaningLock> lock;
    if (clean && !lock.emplace().Taken())
        return Refuse(kExitBusy, "another cleaning or restore is running on this computer; nothing was changed");

    const CleanOptions stored = config.ReadCleanOptions(false);
    const bool backup = options.backup.value_or(stored.backup);
    const std::string backupDirectory = options.backup ? FullPath(options.backupDirectory) : stored.backupDirectory;
    const Removal removal = options.removal.value_or(stored.recycle ? Removal::RecycleBin : Removal::Permanent);
    const std::vector<std::string> ownFolders = {ProgramFolder(), stored.backupDirectory, backupDirectory};

    CleanFiles files;
    std::vector<FileListEntry> refused;
    if (!options.plan.empty()) {
        std::string error;
        std::optional<CleanFiles> read = ReadFileList(FullPath(options.plan), error);
        if (!read) return Refuse(kExitCannotRun, "the plan cannot be used: " + error);
        Plan plan = Screened(std::move(*read), ownFolders);
        files = std::move(plan.files);
        refused = std::move(plan.refused);
    } else {
        ScanSettings settings = StoredScanSettings(config);
        for (const std::string& folder : options.folders) settings.Folders.push_back(FullPath(folder));
        if (options.folders.empty()) settings.Folders = FixedDriveRoots().value_or(std::vector<std::string>{});
        if (settings.Folders.empty()) return Refuse(kExitCannotRun, "there is no folder to search");
        for (const std::string& folder : settings.Folders)
            if (!IsFolder(folder)) return Refuse(kExitCannotRun, "the folder to search is not there: " + folder);
        SkipOwnFolders(settings, {stored.backupDirectory, backupDirectory});
        std::optional<CleanFiles> found = Scan(settings);
        if (!found) return Refuse(kExitCannotRun, "the scan was stopped; nothing was changed");
        files = std::move(*found);
    }

    std::uint64_t foundBytes = 0;
    for (const auto& [path, file] : files) foundBytes += file.seen ? file.seen->size : 0;
    std::vector<FileListEntry> entries;
    entries.reserve(files.size() + refused.size());
    if (!clean) {
        for (const auto& [path, file] : files) entries.push_back(EntryOf(path, file, "found"));
        const bool over = options.detectOver && foundBytes > *options.detectOver;
        std::string said = "scan: " + std::to_string(files.size()) + " files found, " + Megabytes(foundBytes) +
                           "; nothing changed";
        if (options.detectOver) said += over ? "; above the threshold" : "; not above the threshold";
        const bool written = WriteReport(entries, {{"command", std::string("scan")},
                                                   {"found", static_cast<std::uint64_t>(files.size())},
                                                   {"foundBytes", foundBytes}}, said);
        Summary(said);
        if (!written) return kExitCannotRun;
        return over ? kExitOverThreshold : kExitDone;
    }

    CleaningJob job({std::move(files), removal, backup, backupDirectory, nullptr});
    JobProgress progress;
    if (!job.Files().empty()) {  // nothing to clean leaves no empty records in the log
        LogClient log(kLogSource);
        ProgressLines lines(output, progress, "files");
        job.Run(output.stop ? *output.stop : neverStop, progress, log);
    }
    const CleaningOutcome& outcome = job.Outcome();
    std::size_t index = 0;
    for (const auto& [path, file] : job.Files())
        entries.push_back(EntryOf(path, file, FateCode(outcome.fates[index++], outcome.recycled)));
    entries.insert(entries.end(), refused.begin(), refused.end());
    const std::size_t kept = outcome.Kept() + outcome.Count(Fate::NotReached) + refused.size();
    std::string said = "clean: " + std::to_string(job.Files().size() + refused.size()) + " files, " +
                       std::to_string(outcome.Removed()) + (outcome.recycled ? " recycled, " : " removed, ") +
                       std::to_string(kept) + " kept, " + Megabytes(outcome.freedBytes) +
                       (outcome.recycled ? " moved to the recycle bin" : " freed");
    if (kept) {
        std::string why;
        for (std::size_t fate = 0; fate < kFateCount; ++fate)
            if (fate != static_cast<std::size_t>(Fate::Removed) && outcome.counts[fate])
                why += (why.empty() ? "" : ", ") + std::to_string(outcome.counts[fate]) + " " +
                       FateCode(static_cast<Fate>(fate), outcome.recycled);
        if (!refused.empty()) why += (why.empty() ? "" : ", ") + std::to_string(refused.size()) + " refused-protected";
        said += " (" + why + ")";
    }
    if (outcome.stopped) said += "; stopped";
    if (!outcome.setFolder.empty()) said += "; backup set " + Shortened(outcome.setFolder);
    if (outcome.logMissing) said += "; no log component, nothing recorded";
    else if (outcome.logFailed) said += "; a log record could not be written";
    const bool written = WriteReport(entries, {{"command", std::string("clean")},
                                               {"files", static_cast<std::uint64_t>(entries.size())},
                                               {"removed", static_cast<std::uint64_t>(outcome.Removed())},
                                               {"kept", static_cast<std::uint64_t>(kept)},
                                               {"freedBytes", outcome.freedBytes},
                                               {"recycled", std::string(outcome.recycled ? "yes" : "no")},
                                               {"backupSet", outcome.setFolder}},
                                     said);
    Summary(said);
    if (!written) return kExitCannotRun;
    return kept ? kExitFilesKept : kExitDone;
}

}  // namespace

int RunCommand(const CommandOptions& options, const CommandOutput& output) {
    if (options.command == Command::Help) {
        output.line(kCommandHelp);
        return kExitDone;
    }
    return CommandRun(options, output).Run();
}
