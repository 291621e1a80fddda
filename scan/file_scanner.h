// What a scan needs and what it yields.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "app/ansi.h"

// Mask -> description; the first mask in key order that matches a name wins.
using MaskTable = std::map<std::string, std::string, AnsiLess>;
// Full path -> reason text, one entry per path; a path met again keeps its latest reason.
using FoundList = std::map<std::string, std::string, AnsiLess>;

struct ScanSettings {
    std::vector<std::string> Folders;
    MaskTable JunkMasks;
    std::vector<std::string> SkipFolders;
    bool FindFilesHaveNotAccessed = false;
    int Months = 0;
    bool SkipReadOnlyFiles = false;
    bool SkipSystemFiles = false;
    bool SkipHiddenFiles = false;
    bool FindZeroLengthFiles = false;
    bool FindInvalidShortcuts = false;
    bool FindTemp = false;
    bool FindIETemp = false;
    bool FindRecent = false;
    bool FindIEHistory = false;
    bool FindIECookies = false;
};
