#include "clean/backup_set.h"

#include <cstdio>
#include <map>

#include "base/ansi.h"
#include "base/file_names.h"
#include "base/program_paths.h"
#include "base/text_format.h"
#include "base/win_handles.h"

std::string BackupSet::SetFolderPath(const std::string& backupDirectory, const SYSTEMTIME& localTime) {
    std::string folder = backupDirectory;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder + "\\" +
           FormatText("%04d-%02d-%02d_%02d-%02d-%02d",
                      {static_cast<long long>(localTime.wYear), static_cast<long long>(localTime.wMonth),
                       static_cast<long long>(localTime.wDay), static_cast<long long>(localTime.wHour),
                       static_cast<long long>(localTime.wMinute), static_cast<long long>(localTime.wSecond)});
}

std::string BackupSet::CopyPathInSet(const std::string& setFolder, const std::string& filePath) {
    const bool hasBackslash = filePath.find('\\') != std::string::npos;
    std::string relative;
    relative.reserve(filePath.size());
    for (char c : filePath) {
        if (c != ':') relative += c;
        else if (!hasBackslash) relative += '\\';
    }
    return setFolder + "\\" + relative;
}

std::optional<std::string> BackupSet::RestoreTarget(const std::string& setFolder, const std::string& copyPath) {
    std::string prefix = setFolder;
    if (prefix.empty() || prefix.back() != '\\') prefix += '\\';
    if (copyPath.size() <= prefix.size() ||
        ToLowerAnsi(copyPath.substr(0, prefix.size())) != ToLowerAnsi(prefix))
        return std::nullopt;
    std::string rest = copyPath.substr(prefix.size());
    if (rest.size() < 2 || rest[1] != '\\') return std::nullopt;
    return rest.substr(0, 1) + ":\\" + rest.substr(2);
}

std::vector<BackupSet> BackupSet::ListSets(const std::string& directory) {
    std::string prefix = directory;
    if (prefix.empty() || prefix.back() != '\\') prefix += '\\';
    std::map<std::string, BackupSet, AnsiLess> sets;
    WIN32_FIND_DATAA entry{};
    UniqueFind find(FindFirstFileA((prefix + "*").c_str(), &entry));
    if (!find) return {};  // no such directory: no sets
    do {
        // A link is no set: what it points at was never written by a cleaning.
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::string name = entry.cFileName;
        // Besides "." and "..": a name that stands for another folder in a path (a wildcard in it
        // would make the shell's delete take every match).
        if (!WindowsCanHoldName(name)) continue;
        BackupSet set{name, prefix + name, {}};
        auto& t = set.time;
        if (std::sscanf(name.c_str(), "%4d-%2d-%2d_%2d-%2d-%2d", &t[0], &t[1], &t[2], &t[3], &t[4], &t[5]) != 6)
            continue;
        sets.insert_or_assign(name, std::move(set));
    } while (FindNextFileA(find.Get(), &entry));
    std::vector<BackupSet> list;
    list.reserve(sets.size());
    for (auto& [name, set] : sets) list.push_back(std::move(set));
    return list;
}

std::string ParentFolder(const std::string& path) {
    size_t last = path.find_last_of("\\:");
    std::string kept = last == std::string::npos ? path : path.substr(0, last);
    if (kept.empty() || kept.find(':') == std::string::npos) kept += ':';
    return kept;
}

void MakeFolders(const std::string& path) {
    for (size_t i = path.find('\\'); i != std::string::npos; i = path.find('\\', i + 1)) {
        if (i == 0 || path[i - 1] == ':' || path[i - 1] == '\\') continue;  // a root or a share's leading "\\"
        std::wstring prefix = ExtendedPath(std::string_view(path).substr(0, i));
        if (GetFileAttributesW(prefix.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        CreateDirectoryW(prefix.c_str(), nullptr);
    }
}
