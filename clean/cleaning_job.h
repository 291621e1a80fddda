// One cleaning apart from any window: a backup pass that copies every checked file into one dated
// set, then a removal pass, each file proved afresh on the handle the act goes through. The
// wizard's cleaning page and the command line run it.
#pragma once
#include <windows.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/file_proof.h"
#include "base/job_progress.h"
#include "clean/log_client.h"

// Where the removal pass sends the files. None: the files stay, only copies are made.
enum class Removal { Permanent, RecycleBin, None };

// What became of one checked file; the Kept values say why it is still there.
enum class Fate : std::uint8_t {
    NotReached,      // the run stopped before it
    Removed,         // deleted, or moved to the recycle bin
    KeptNoBackup,    // its backup copy failed, so it was not removed
    KeptChanged,     // changed since the scan, or no longer the plain file it was
    KeptAtRestart,   // in use: registered for deletion at the next restart
    KeptInUse,       // in use, and no registration for the restart could be made
    KeptReadOnly,
    KeptDenied,      // access denied
    KeptNotRemoved,  // the removal failed otherwise, or the recycle bin could not take it
};
constexpr std::size_t kFateCount = 9;
// The fate's name in reports: never translated.
const char* FateCode(Fate fate, bool recycled);

// What one cleaning did. Files are counted once, by the first reason they were kept for.
struct CleaningOutcome {
    bool ran = false;
    bool stopped = false;
    bool recycled = false;         // moved to the recycle bin: nothing is freed until it is emptied
    std::uint64_t freedBytes = 0;  // of the removed files, freed or moved to the bin
    std::vector<Fate> fates;       // one per file, in the files' order
    std::array<std::size_t, kFateCount> counts{};
    bool logMissing = false;  // no log component: nothing of the cleaning was recorded
    bool logFailed = false;   // a record could not be written
    std::string setFolder;    // the backup set, when a copy went into it

    std::size_t Count(Fate fate) const { return counts[static_cast<std::size_t>(fate)]; }
    std::size_t Removed() const { return Count(Fate::Removed); }
    std::size_t Kept() const;
};

struct CleaningRequest {
    CleanFiles files;
    Removal removal = Removal::Permanent;
    bool backup = false;
    std::string backupDirectory;
    // The shell's question before it deletes for good what the recycle bin cannot take: asked over
    // this window, or, with no window, never shown, and the file kept.
    HWND owner = nullptr;
};

class CleaningJob {
public:
    enum class Pass { Backup, Removal };
    explicit CleaningJob(CleaningRequest request);

    // On the worker, before each file of a pass: where a test or a benchmark holds or times a run.
    std::function<void(Pass pass, std::size_t index, const std::atomic<bool>& stop)> beforeFile;

    // Progress: one stage per pass, counting its files. Each pass's record goes to log.
    void Run(const std::atomic<bool>& stop, JobProgress& progress, LogSink& log);
    // Read once Run has returned.
    const CleaningOutcome& Outcome() const { return outcome; }
    const CleanFiles& Files() const { return request.files; }

private:
    struct RemovalLines;
    class RecycleBins;
    void BackupPass(const std::atomic<bool>& stop, JobProgress& progress, LogSink& log);
    void RemovalPass(const std::atomic<bool>& stop, JobProgress& progress, LogSink& log);
    Fate RemoveFile(const std::string& path, const CheckedFile& file, const RemovalLines& lines, RecycleBins& bins,
                    std::string& line);
    Fate KeepRefused(const std::string& path, DWORD error, const RemovalLines& lines, std::string& line);
    bool Recycle(const std::string& path, bool& aborted);
    void Settle(std::size_t index, Fate fate);
    void FinishRecord(PassRecord& record);

    CleaningRequest request;
    CleaningOutcome outcome;
};
