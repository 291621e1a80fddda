// Backup sets: one dated folder per cleaning run under the backup directory, mirroring where each
// file was (set\C\Temp\a.tmp for C:\Temp\a.tmp), and the path mapping in both directions.
#pragma once
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

struct BackupSet {
    std::string name;         // 2006-03-05_14-03-09
    std::string path;         // the directory, one backslash, the name
    std::array<int, 6> time;  // year, month, day, hour, minute, second as the name reads

    // The directory without one trailing backslash, "\" and the time as the set's name.
    static std::string SetFolderPath(const std::string& backupDirectory, const SYSTEMTIME& localTime);
    // Where a file's copy lives: a path with a backslash loses its colons (C:\x -> set\C\x).
    static std::string CopyPathInSet(const std::string& setFolder, const std::string& filePath);
    // Back from a copy to where the file came from. The set's folder is matched without regard to
    // letter case; the rest keeps its letters, so a file comes back under its own name. Nothing
    // when the copy is not inside the set or its rest names no drive.
    static std::optional<std::string> RestoreTarget(const std::string& setFolder, const std::string& copyPath);
    // The sets directly inside a directory, by name in byte order; folders whose names do not
    // read as a time are no sets.
    static std::vector<BackupSet> ListSets(const std::string& directory);
};

// The folder part of a path: D:\sets\a\b.txt -> D:\sets\a, C:\x.txt -> C:, C:x -> C:.
std::string ParentFolder(const std::string& path);
// Creates every missing folder before each backslash of path, so a folder path ends in one.
// Failures are left to the next call on the path to show. Paths past MAX_PATH work.
void MakeFolders(const std::string& path);
