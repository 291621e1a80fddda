// What the file details dialog shows, gathered without a window: version strings of every
// translation, size and times, and the texts the shell is given to search for or show the file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ansi.h"

// Display name -> value, ordered by the translated names.
using DetailTable = std::map<std::string, std::string, AnsiLess>;

struct VersionGroup {
    std::string code;  // "0x0409 0x04E4": language, then code page
    DetailTable rows;  // the twelve version strings, empty where the resource has none
};

struct FileDetails {
    bool found = false;
    std::vector<VersionGroup> versionGroups;  // in the order of the resource's translation table
    DetailTable generalRows;                  // size and times, or the single not-found row
};

// A folder, or a path whose attributes cannot be read, is not found.
FileDetails GatherFileDetails(const std::string& path);
// Rows as the list shows them: each group after a "_LanguageCode" row, then the general rows.
std::vector<std::pair<std::string, std::string>> DetailRows(const FileDetails& details);

// "%.2lfMB(%.2lfKB)" of the full size.
std::string SizeText(std::uint64_t bytes);
// A UTC file time as local time "YYYY-MM-DD hh:mm:ss", under the rules in force on that date.
std::string LocalTimeText(const FILETIME& time);

// searchText when given, else the file name after the last backslash or colon.
std::string SearchTerm(std::string_view path, std::string_view searchText);
// Every byte but A-Z a-z 0-9 - . _ ~ as %XX.
std::string PercentEncode(std::string_view bytes);
// The search page's address for a term in the process code page, encoded from its UTF-8 form.
std::string SearchAddress(std::string_view term);
// The Explorer's parameters that open the containing folder with the file selected. Quoted, so
// that a comma or a space in the path cannot end it.
std::string ExplorerParameters(std::string_view path);
