#include "scan/file_scanner.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "base/com_ptr.h"
#include "base/win_handles.h"

namespace {

constexpr std::uint64_t kTicksPerDay = 864000000000ULL;
constexpr std::uint64_t kDaysPerMonth = 31;  // the threshold's months are whole 31-day spans

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The system's lower-case mapping; plain ASCII, by far the common case, skips the conversion.
void LowerInPlace(std::string& text) {
    if (IsAscii(text)) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    } else {
        text = ToLowerAnsi(text);
    }
}

// Lower-cases text from position start on, in place.
void LowerTail(std::string& text, size_t start) {
    if (IsAscii(std::string_view(text).substr(start))) {
        for (size_t i = start; i < text.size(); ++i)
            if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
    } else {
        std::string tail = ToLowerAnsi(std::string_view(text).substr(start));
        text.replace(start, std::string::npos, tail);
    }
}

std::string Lowered(std::string_view text) {
    std::string lower(text);
    LowerInPlace(lower);
    return lower;
}

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::uint64_t EntrySize(const WIN32_FIND_DATAA& entry) {
    return (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
}

bool EndsWithLnk(std::string_view name) {
    return name.size() >= 4 && Lowered(name.substr(name.size() - 4)) == ".lnk";
}

// Everything one Search needs, prepared once rather than per entry.
struct Walk {
    std::vector<std::pair<std::string, const std::string*>> masks;  // lower-cased, in key order
    std::vector<std::string> skips;                                   // lower-cased
    FileScanner::Criteria criteria;
    FileScanner::OnFound onFound;
    FileScanner::OnFolder onFolder;
    void* context;
    bool skipEverything = false;  // the root itself holds a skip entry
    const std::atomic<bool>* stop;
    SYSTEMTIME now{};
    std::uint64_t nowUtcTicks = 0;

    bool Stopped() const { return stop && stop->load(std::memory_order_relaxed); }
    // path and lower (its lower-cased twin) grow by one name per level and shrink back.
    void Folder(std::string& path, std::string& lower);
    bool Skipped(const std::string& lower, size_t nameStart) const;
    void TestFile(const std::string& full, std::string_view lowerName, const WIN32_FIND_DATAA& entry);
    bool NotAccessed(const std::string& full, const WIN32_FIND_DATAA& entry) const;
};

// A skip entry found anywhere in the lower-cased full path. A match wholly inside the parent's path
// would have skipped the parent already (the root is checked once, in Search), so only matches that
// reach the separator before the name need looking for. UTF-8 never matches in the middle of a
// character, so a byte search is multibyte-safe.
bool Walk::Skipped(const std::string& lower, size_t nameStart) const {
    for (const std::string& skip : skips) {
        if (skip.empty()) return true;
        size_t from = nameStart > skip.size() ? nameStart - skip.size() : 0;
        if (lower.find(skip, from) != std::string::npos) return true;
    }
    return false;
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
    do {
        if (Stopped()) return;
        path.resize(base);
        path += '\\';
        path += entry.cFileName;
        lower.resize(lowerBase);
        lower += '\\';
        lower += entry.cFileName;
        LowerTail(lower, lowerBase + 1);
        const DWORD attributes = entry.dwFileAttributes;
        const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (onFolder && directory) onFolder(path, entry, context);
        if (criteria.skipReadOnly && (attributes & FILE_ATTRIBUTE_READONLY)) continue;
        if ((criteria.skipSystem && (attributes & FILE_ATTRIBUTE_SYSTEM)) ||
            (criteria.skipHidden && (attributes & FILE_ATTRIBUTE_HIDDEN)))
            continue;
        if (skipEverything || Skipped(lower, lowerBase + 1)) continue;
        if (directory) {
            if (!criteria.includeSubfolders || std::strcmp(entry.cFileName, ".") == 0 ||
                std::strcmp(entry.cFileName, "..") == 0)
                continue;
            // A junction or link to a folder is not followed: a cycle could loop, and every file
            // behind it is also reachable, and reported, under its real name.
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            Folder(path, lower);
        } else {
            TestFile(path, std::string_view(lower).substr(lowerBase + 1), entry);
        }
    } while (FindNextFileA(find.Get(), &entry));
    path.resize(base);
    lower.resize(lowerBase);
}

void Walk::TestFile(const std::string& full, std::string_view lowerName, const WIN32_FIND_DATAA& entry) {
    if (!masks.empty()) {
        for (const auto& [mask, description] : masks) {
            if (MatchWildcard(mask, lowerName)) {
                onFound(full, *description, entry, context);
                return;
            }
        }
    }
    // The entry's own size and times make the first look; the file's attributes confirm it.
    if (criteria.findZeroLength && EntrySize(entry) == 0) {
        if (ReadFileSize(full) == std::optional<std::uint64_t>(0)) {
            onFound(full, "_ZeroLengthFile", entry, context);
            return;
        }
    }
    if (criteria.findInvalidShortcuts && EndsWithLnk(entry.cFileName)) {
        std::optional<std::string> target = ResolveShortcut(full);
        if (target && !TargetExists(*target)) {
            onFound(full, "_InvalidShortcut", entry, context);
            return;
        }
    }
    if (criteria.findNotAccessed && NotAccessed(full, entry)) onFound(full, "_HaveNotAccessed", entry, context);
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

void FileScanner::Search(const std::string& folder, const MaskTable& masks, OnFound onFound,
                         const std::vector<std::string>& skipFolders, const Criteria& criteria, OnFolder onFolder,
                         void* context, const std::atomic<bool>* stop) {
    Walk walk{};
    for (const auto& [mask, description] : masks) walk.masks.emplace_back(Lowered(mask), &description);
    for (const std::string& skip : skipFolders) walk.skips.push_back(Lowered(skip));
    walk.criteria = criteria;
    walk.onFound = onFound;
    walk.onFolder = onFolder;
    walk.context = context;
    walk.stop = stop;
    GetLocalTime(&walk.now);
    FILETIME nowUtc{};
    GetSystemTimeAsFileTime(&nowUtc);
    walk.nowUtcTicks = Ticks(nowUtc);
    std::string path = folder;
    std::string lower = Lowered(folder);
    for (const std::string& skip : walk.skips) walk.skipEverything |= lower.find(skip) != std::string::npos;
    walk.Folder(path, lower);
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

bool MatchWildcard(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    while (n < name.size() && (p >= pattern.size() || pattern[p] != '*')) {
        if (p >= pattern.size() || (pattern[p] != name[n] && pattern[p] != '?')) return false;
        ++p;
        ++n;
    }
    size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            if (++p == pattern.size()) return true;
            starPattern = p;
            starName = n + 1;
        } else if (p < pattern.size() && (pattern[p] == name[n] || pattern[p] == '?')) {
            ++p;
            ++n;
        } else {
            if (starPattern == std::string_view::npos) return false;
            p = starPattern;
            n = starName++;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::optional<std::string> ResolveShortcut(const std::string& shortcutPath) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())))
        return std::nullopt;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return std::nullopt;
    std::wstring wide = ToWide(shortcutPath);
    if (wide.size() >= MAX_PATH || FAILED(file->Load(wide.c_str(), STGM_READ))) return std::nullopt;
    char target[MAX_PATH + 1] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0))) return std::nullopt;
    if (target[0] == '\0') {
        // A shortcut to a shell object without a file-system path (a control panel item, say)
        // cannot be judged; one that points nowhere at all is broken.
        PIDLIST_ABSOLUTE items = nullptr;
        bool pointsSomewhere = SUCCEEDED(link->GetIDList(&items)) && items != nullptr;
        CoTaskMemFree(items);
        if (pointsSomewhere) return std::nullopt;
    }
    return std::string(target);
}

bool TargetExists(const std::string& target) {
    if (target.empty()) return false;
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    // Only a plain "not there" counts as gone; a locked file, a denied folder or a network drive
    // or a removable drive that is offline might still be there, and the shortcut is left alone.
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_NAME:
        return false;
    default:
        return true;
    }
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
