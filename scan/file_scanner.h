// Walks a folder tree and decides, file by file, whether a file is junk.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "base/file_names.h"
#include "base/scan_settings.h"

class ProtectedPaths;

// Full path -> reason text, one entry per path; a path met again keeps its latest reason.
using FoundList = std::map<std::string, std::string, AnsiLess>;

struct FoundItem {
    std::string path;
    std::string reason;
};

class FileScanner {
public:
    using OnFound =
        std::function<void(const std::string& path, const std::string& reason, const WIN32_FIND_DATAA& entry)>;
    using OnFolder = std::function<void(const std::string& path, const WIN32_FIND_DATAA& entry)>;

    struct Criteria {
        bool includeSubfolders = true;
        bool skipReadOnly = false;
        bool skipSystem = false;
        bool skipHidden = false;
        bool findZeroLength = false;
        bool findInvalidShortcuts = false;
        bool findNotAccessed = false;
        int months = 0;
        // Never entered or reported, after every other test; null: nothing is protected.
        const ProtectedPaths* protectedPaths = nullptr;
    };

    // The criteria of a chosen folder's search.
    static Criteria CriteriaOf(const ScanSettings& settings);

    struct Request {
        std::string folder;
        MaskTable masks;
        std::vector<std::string> skipFolders;
        Criteria criteria;
        OnFound onFound;    // each junk file with its reason
        OnFolder onFolder;  // may be empty: every directory entry, the folder's own "." and ".." included
        const std::atomic<bool>* stop = nullptr;
    };

    // Searches the tree below request.folder, depth first, in the file system's order. An entry in a
    // skip folder (by whole path parts, as InFolder matches) is neither reported nor entered. A set
    // stop flag ends the walk before the next directory entry, and within a shortcut test. Links to folders (junctions, symbolic links) are not followed, so no
    // cycle can make the walk loop. An entry whose name WindowsCanHoldName refuses reaches no
    // callback and is never opened or entered: its path would name another file. A protected
    // folder given as folder, or lying above it, yields no callback at all.
    static void Search(const Request& request);
};

// Every file below a folder, subfolders included, in the order Search meets them: one mask "*",
// every criterion off, nothing skipped.
std::vector<std::string> ListEveryFile(const std::string& folder, const std::atomic<bool>* stop = nullptr);

// Whole days between two local calendar times, in either order.
std::uint64_t WholeDaysBetween(const SYSTEMTIME& a, const SYSTEMTIME& b);
// The file's full size; nothing when its attributes cannot be read.
std::optional<std::uint64_t> ReadFileSize(const std::string& path);
