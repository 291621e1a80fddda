// Walks a folder tree and decides, file by file, whether a file is junk.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
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
    using OnFound = void (*)(const std::string& path, const std::string& reason, const WIN32_FIND_DATAA& entry,
                             void* context);
    using OnFolder = void (*)(const std::string& path, const WIN32_FIND_DATAA& entry, void* context);

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

    // Searches the tree below folder, depth first, in the file system's order. onFolder (may be
    // null) sees every directory entry, the folder's own "." and ".." included; onFound each junk
    // file with its reason. An entry in a skip folder (by whole path parts, as InFolder matches) is
    // neither reported nor entered. A set stop flag ends the walk before the next directory entry, and
    // within a shortcut test. Links to folders (junctions, symbolic links) are not followed, so no
    // cycle can make the walk loop. An entry whose name WindowsCanHoldName refuses reaches no
    // callback and is never opened or entered: its path would name another file. A protected
    // folder given as folder, or lying above it, yields no callback at all.
    static void Search(const std::string& folder, const MaskTable& masks, OnFound onFound,
                       const std::vector<std::string>& skipFolders, const Criteria& criteria, OnFolder onFolder,
                       void* context, const std::atomic<bool>* stop = nullptr);
};

// Every file below a folder, subfolders included, in the order Search meets them: one mask "*",
// every criterion off, nothing skipped.
std::vector<std::string> ListEveryFile(const std::string& folder, const std::atomic<bool>* stop = nullptr);

// "*" any run of characters, "?" exactly one character (one UTF-8 sequence, not one byte); both
// sides already lower-cased by the caller.
bool MatchWildcard(std::string_view pattern, std::string_view name);
// Whole days between two local calendar times, in either order.
std::uint64_t WholeDaysBetween(const SYSTEMTIME& a, const SYSTEMTIME& b);
// The file's full size; nothing when its attributes cannot be read.
std::optional<std::uint64_t> ReadFileSize(const std::string& path);
