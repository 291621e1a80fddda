// Restoring one backup set, apart from any window: each copy goes back to where its file came
// from, never over a file that is different now, never through a link or into a protected place,
// and the set goes only when nothing of it would be lost.
#pragma once
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/job_progress.h"
#include "clean/backup_set.h"
#include "clean/log_client.h"

// Whether a restore may write a file at this path; the program hands in its protected places,
// which this layer cannot reach. Null: everywhere.
using RestoreGuard = std::function<bool(const std::string& target)>;

// A set's row in the rescue list: the format filled with month, day, year, hour, minute, second
// (a translation takes them in its own order with numbered conversions).
std::string BackupSetRowText(const std::string& format, const BackupSet& set);

// The files of a set, at any depth and length; a link, or a name that stands for another file,
// is no file to restore and is counted in passedOver.
struct SetListing {
    std::vector<std::string> files;
    std::size_t passedOver = 0;
};
SetListing ListSetFiles(const std::string& setFolder, const std::atomic<bool>* stop = nullptr);

class SetRestore {
public:
    enum class Result {
        Restored,
        AlreadyThere,  // the same size and write time are at the target: nothing to write
        Different,     // another file is at the target now: it is not overwritten, the copy stays
        Refused,       // a link on the way, a protected place, or no plain copy: the copy stays
        NoTarget,      // the copy's path names no drive: it stays in the set
        Failed,        // the copy back failed: it stays in the set
    };

    SetRestore(std::string setFolder, RestoreGuard mayWrite);

    Result CopyBack(const std::string& copy);
    // Files that are back where they came from, written now or already there.
    std::size_t Restored() const { return restored; }
    const std::string& LogText() const { return text.Text(); }

private:
    std::string setFolder;
    RestoreGuard mayWrite;
    std::size_t restored = 0;
    PassText text;
    std::string restoredLine, sameLine, differentLine, refusedLine, failedLine, noTargetLine;  // looked up once
};

// One set's restore as a worker runs it: the set listed, each copy brought back, the record
// written, and the set removed when every copy is back.
class RestoreJob {
public:
    RestoreJob(std::string setFolder, RestoreGuard mayWrite)
        : setFolder(std::move(setFolder)), mayWrite(std::move(mayWrite)) {}

    // On the worker, before each copy: where a test holds a running restore still.
    std::function<void(std::size_t index, const std::atomic<bool>& stop)> beforeFile;

    // Progress: stage 1 the copies, counted; stage 2 the set's removal, the count kept.
    void Run(const std::atomic<bool>& stop, JobProgress& progress, LogSink& log);
    // Read once Run has returned: what is still only in the set, links and odd names included.
    std::size_t NotRestored() const { return notRestored; }

private:
    std::string setFolder;
    RestoreGuard mayWrite;
    std::size_t notRestored = 0;
};
