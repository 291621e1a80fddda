// What a scan needs, as the settings pages hand it over: plain data, no windows.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "base/ansi.h"

// Mask -> description; the first mask in key order that matches a name wins.
using MaskTable = std::map<std::string, std::string, AnsiLess>;

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
