// One scan apart from any window: the special folders first, then each chosen folder, every junk
// file with the text of its reason. The wizard's scanning page and the command line run it.
#pragma once
#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "base/job_progress.h"
#include "base/scan_settings.h"
#include "scan/file_scanner.h"

struct KnownFolders;

class ScanJob {
public:
    explicit ScanJob(ScanSettings settings) : settings(std::move(settings)) {}

    // On the worker, before chosen folder `index` is searched: where a test holds a scan still.
    std::function<void(std::size_t index, const std::atomic<bool>& stop)> beforeFolder;

    // Progress: stage i + 1 is chosen folder i, begun as its search starts; the count is the
    // files found; a special folder not searched is a note naming it.
    void Run(const std::atomic<bool>& stop, JobProgress& progress);

    // What was found so far, taken away; callable while Run goes (a stopped scan keeps what it had).
    FoundList TakeFound();
    const ScanSettings& Settings() const { return settings; }

private:
    void SearchSpecialFolders(const std::atomic<bool>& stop, JobProgress& progress, const KnownFolders& known,
                              const ProtectedPaths& protectedPaths);
    void Search(FileScanner::Request request, JobProgress& progress);

    ScanSettings settings;
    std::map<std::string, std::string> reasonTexts;  // few, repeated for thousands of files
    std::mutex lock;
    FoundList found;
};
