// Restoring one backup set, apart from any window: each copy goes back to where its file came
// from, and the set goes only when nothing of it would be lost.
#pragma once
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "clean/backup_set.h"
#include "clean/log_client.h"

// Every file below a folder. The program hands in its scanner, which this layer cannot reach.
using FileLister = std::function<std::vector<std::string>(const std::string& folder, const std::atomic<bool>* stop)>;

// A set's row in the rescue list: the format filled with month, day, year, hour, minute, second
// (a translation takes them in its own order with numbered conversions).
std::string BackupSetRowText(const std::string& format, const BackupSet& set);

class SetRestore {
public:
    enum class Result {
        Restored,
        RestoredOverChanged,  // the file there had changed since the backup: another size, or newer
        NoTarget,             // the copy's path names no drive: it stays in the set
        Failed,               // the copy back failed: it stays in the set
    };

    explicit SetRestore(std::string setFolder);

    // Creates the target's missing folders, then copies over whatever is there; one log line.
    Result CopyBack(const std::string& copy);
    std::size_t Restored() const { return restored; }
    const std::string& LogText() const { return text.Text(); }

private:
    std::string setFolder;
    std::string madeFolder;
    std::size_t restored = 0;
    PassText text;
    std::string restoredLine, changedLine, failedLine, noTargetLine;  // looked up once per restore
};

// Every file in the folder's tree, past MAX_PATH and whatever its name; a link to a folder counts
// as one entry, never followed. What the scanner missed shows as a larger count than it listed.
std::size_t CountSetEntries(const std::string& setFolder);

// The shell's permanent delete of a set folder and everything in it, without a question; its own
// progress and error windows show. A path with a wildcard is refused: the shell would expand it.
// True when the folder is gone afterwards.
bool RemoveSetFolder(const std::string& setFolder);
