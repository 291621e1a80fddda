#include "scan/file_scanner.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/file_names.h"
#include "base/program_paths.h"
#include "base/win_handles.h"
#include "scan/protected_paths.h"
#include "scan/shortcut_judge.h"
#include "scan/wildcard.h"

namespace {

constexpr std::uint64_t kTicksPerDay = 864000000000ULL;
constexpr std::uint64_t kDaysPerMonth = 31;  // the threshold's months are whole 31-day spans

void AppendLowerAscii(std::string& to, std::string_view text) {
    size_t start = to.size();
    to += text;
    for (size_t i = start; i < to.size(); ++i)
        if (to[i] >= 'A' && to[i] <= 'Z') to[i] = static_cast<char>(to[i] - 'A' + 'a');
}

// ASCII, by far the common case, skips the system's mapping.
std::string Lowered(std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string lower;
        lower.reserve(text.size());
        AppendLowerAscii(lower, text);
        return lower;
    }
    return ToLowerAnsi(text);
}

// A full skip entry with its . and .. steps resolved, as the walk's paths never hold them.
std::string FoldedSkip(const std::string& skip) {
    if (!IsAbsolutePath(skip)) return FoldedFolder(skip);  // "C:" alone means the whole drive, not its current folder
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(skip.c_str(), MAX_PATH, full, nullptr);
    return FoldedFolder(length > 0 && length < MAX_PATH ? std::string_view(full, length) : std::string_view(skip));
}

// The folder's own "." and ".." come once each; another entry by either name (from a remote share,
// say) would make a path that means a different folder.
bool OwnDotEntry(std::string_view name, bool directory, bool& seenDot, bool& seenDotDot) {
    if (!directory || (name != "." && name != "..")) return false;
    return !std::exchange(name.size() == 1 ? seenDot : seenDotDot, true);
}

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::uint64_t EntrySize(const WIN32_FIND_DATAA& entry) {
    return (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
}

// Everything one Search needs, prepared once rather than per entry.
struct Walk {
    std::vector<std::pair<std::string, const std::string*>> masks;  // lower-cased, in key order
    std::vector<std::string> skips;                                   // as InFolder takes them
    FileScanner::Criteria criteria;
    const FileScanner::OnFound* onFound;
    const FileScanner::OnFolder* onFolder;  // null when the request has none
    bool skipEverything = false;  // the root itself holds a skip entry
    size_t rootBase = std::string::npos;  // the length of the folded root when the walk starts at one
    const std::atomic<bool>* stop;
    SYSTEMTIME now{};
    std::uint64_t nowUtcTicks = 0;
    ShortcutJudge shortcuts;

    bool Stopped() const { return stop && stop->load(std::memory_order_relaxed); }
    // path and lower (its lower-cased twin) grow by one name per level and shrink back.
    void Folder(std::string& path, std::string& lower);
    bool Skipped(const std::string& lower, size_t nameStart) const;
    void TestFile(const std::string& full, std::string_view lowerName, const WIN32_FIND_DATAA& entry);
    bool NotAccessed(const std::string& full, const WIN32_FIND_DATAA& entry) const;
};

// A match wholly inside the parent's path would have skipped the parent already (the root is
// checked once, in Search), so only matches that reach the name need looking for.
bool Walk::Skipped(const std::string& lower, size_t nameStart) const {
    return std::any_of(skips.begin(), skips.end(),
                       [&](const std::string& skip) { return InFolder(lower, skip, nameStart); });
}

void Walk::Folder(std::string& path, std::string& lower) {
    if (!path.empty() && path.back() == '\\') path.pop_back();  // C:\ becomes C:
    if (!lower.empty() && lower.back() == '\\') lower.pop_back();
    size_t base = path.size();
    size_t lowerBase = lower.size();
    path += "\\*.*";
    WIN32_FIND_DATAA entry{};
    UniqueFind find(FindFirstFileExA(path.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    path.resize(base);
    if (!find) return;  // missing or unreadable folder: passed over without a callback
    bool seenDot = false, seenDotDot = false;
    do {
        if (Stopped()) return;
        const std::string_view name(entry.cFileName);
        const DWORD attributes = entry.dwFileAttributes;
        const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const NameKind kind = ClassifyName(name);
        if (kind == NameKind::Unholdable) {
            if (onFolder && OwnDotEntry(name, directory, seenDot, seenDotDot)) {
                path.resize(base);
                path += '\\';
                path += name;
                (*onFolder)(path, entry);
            }
            continue;
        }
        path.resize(base);
        path += '\\';
        path += name;
        lower.resize(lowerBase);
        lower += '\\';
        if (kind == NameKind::Ascii)
            AppendLowerAscii(lower, name);
        else
            lower += ToLowerAnsi(name);
        if (onFolder && directory) (*onFolder)(path, entry);
        if (criteria.skipReadOnly && (attributes & FILE_ATTRIBUTE_READONLY)) continue;
        if ((criteria.skipSystem && (attributes & FILE_ATTRIBUTE_SYSTEM)) ||
            (criteria.skipHidden && (attributes & FILE_ATTRIBUTE_HIDDEN)))
            continue;
        if (skipEverything || Skipped(lower, lowerBase + 1)) continue;
        const std::string_view lowerName = std::string_view(lower).substr(lowerBase + 1);
        const ProtectedPaths* guard = criteria.protectedPaths;
        if (directory) {
            if (!criteria.includeSubfolders) continue;
            // A junction or link to a folder is not followed: a cycle could loop, and every file
            // behind it is also reachable, and reported, under its real name.
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (guard && guard->FolderEntryReason(lower, lowerName, lowerBase == rootBase)) continue;
            Folder(path, lower);
        } else {
            if (guard && guard->FileEntryReason(lowerName, lowerBase == rootBase)) continue;
            TestFile(path, lowerName, entry);
        }
    } while (FindNextFileA(find.Get(), &entry));
    path.resize(base);
    lower.resize(lowerBase);
}

void Walk::TestFile(const std::string& full, std::string_view lowerName, const WIN32_FIND_DATAA& entry) {
    if (!masks.empty()) {
        for (const auto& [mask, description] : masks) {
            if (MatchWildcard(mask, lowerName)) {
                (*onFound)(full, *description, entry);
                return;
            }
        }
    }
    // The entry's own size and times make the first look; the file's attributes confirm it.
    if (criteria.findZeroLength && EntrySize(entry) == 0) {
        if (ReadFileSize(full) == std::optional<std::uint64_t>(0)) {
            (*onFound)(full, "_ZeroLengthFile", entry);
            return;
        }
    }
    if (criteria.findInvalidShortcuts && lowerName.ends_with(".lnk")) {
        if (shortcuts.Judge(full, stop) == ShortcutVerdict::Broken) {
            (*onFound)(full, "_InvalidShortcut", entry);
            return;
        }
        if (Stopped()) return;
    }
    if (criteria.findNotAccessed && NotAccessed(full, entry)) (*onFound)(full, "_HaveNotAccessed", entry);
}

bool Walk::NotAccessed(const std::string& full, const WIN32_FIND_DATAA& entry) const {
    if (criteria.months < 0) return false;  // a negative threshold lets no file qualify
    const std::uint64_t neededDays = (static_cast<std::uint64_t>(criteria.months) + 1) * kDaysPerMonth;
    // Local and universal time differ by at most a day here, so this first look never misses.
    std::uint64_t access = Ticks(entry.ftLastAccessTime);
    std::uint64_t roughDays = (nowUtcTicks > access ? nowUtcTicks - access : access - nowUtcTicks) / kTicksPerDay;
    if (roughDays + 1 < neededDays) return false;

    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(full.c_str(), GetFileExInfoStandard, &data)) return false;
    SYSTEMTIME utc{}, local{};
    if (!FileTimeToSystemTime(&data.ftLastAccessTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return false;
    return WholeDaysBetween(now, local) / kDaysPerMonth > static_cast<std::uint64_t>(criteria.months);
}

}  // namespace

void FileScanner::Search(const Request& request) {
    const std::string& folder = request.folder;
    if (request.criteria.protectedPaths && request.criteria.protectedPaths->FolderReason(folder)) return;
    Walk walk{};
    for (const auto& [mask, description] : request.masks) walk.masks.emplace_back(Lowered(mask), &description);
    for (const std::string& skip : request.skipFolders) walk.skips.push_back(FoldedSkip(skip));
    walk.criteria = request.criteria;
    walk.onFound = &request.onFound;
    walk.onFolder = request.onFolder ? &request.onFolder : nullptr;
    walk.stop = request.stop;
    GetLocalTime(&walk.now);
    FILETIME nowUtc{};
    GetSystemTimeAsFileTime(&nowUtc);
    walk.nowUtcTicks = Ticks(nowUtc);
    std::string path = folder;
    std::string lower = Lowered(folder);
    const size_t trimmed = lower.ends_with('\\') ? lower.size() - 1 : lower.size();
    for (const std::string& skip : walk.skips) walk.skipEverything |= InFolder(lower.substr(0, trimmed), skip);
    if (trimmed > 0 && RootLength(std::string_view(lower).substr(0, trimmed)) == trimmed) walk.rootBase = trimmed;
    walk.Folder(path, lower);
}

std::vector<std::string> ListEveryFile(const std::string& folder, const std::atomic<bool>* stop) {
    std::vector<std::string> files;
    FileScanner::Request request{folder, {{"*", ""}}, {}, {}, {}, {}, stop};
    request.onFound = [&](const std::string& path, const std::string&, const WIN32_FIND_DATAA&) {
        files.push_back(path);
    };
    FileScanner::Search(request);
    return files;
}

FileScanner::Criteria FileScanner::CriteriaOf(const ScanSettings& settings) {
    Criteria criteria;
    criteria.skipReadOnly = settings.SkipReadOnlyFiles;
    criteria.skipSystem = settings.SkipSystemFiles;
    criteria.skipHidden = settings.SkipHiddenFiles;
    criteria.findZeroLength = settings.FindZeroLengthFiles;
    criteria.findInvalidShortcuts = settings.FindInvalidShortcuts;
    criteria.findNotAccessed = settings.FindFilesHaveNotAccessed;
    criteria.months = settings.Months;
    return criteria;
}

std::uint64_t WholeDaysBetween(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    FILETIME fa{}, fb{};
    if (!SystemTimeToFileTime(&a, &fa) || !SystemTimeToFileTime(&b, &fb)) return 0;
    std::uint64_t ta = Ticks(fa), tb = Ticks(fb);
    return (ta > tb ? ta - tb : tb - ta) / kTicksPerDay;
}

std::optional<std::uint64_t> ReadFileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
