#include "settings/scan_config.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/file_names.h"
#include "base/program_paths.h"
#include "settings/junk_descriptions.h"

const std::array<SearchOption, 11> kSearchOptions = {{
    {"FindFilesHaveNotAccessed", &ScanSettings::FindFilesHaveNotAccessed},
    {"SkipReadOnlyFiles", &ScanSettings::SkipReadOnlyFiles},
    {"SkipSystemFiles", &ScanSettings::SkipSystemFiles},
    {"SkipHiddenFiles", &ScanSettings::SkipHiddenFiles},
    {"FindZeroLengthFiles", &ScanSettings::FindZeroLengthFiles},
    {"FindInvalidShortcuts", &ScanSettings::FindInvalidShortcuts},
    {"FindTemp", &ScanSettings::FindTemp},
    {"FindIETemp", &ScanSettings::FindIETemp},
    {"FindRecent", &ScanSettings::FindRecent},
    {"FindIEHistory", &ScanSettings::FindIEHistory},
    {"FindIECookies", &ScanSettings::FindIECookies},
}};

ScanSettings StoredScanSettings(const ConfigDocument& config) {
    ScanSettings scan;
    for (const ListRow& row : config.ReadList(ListSection::JunkFiles, false))
        if (row.checked) scan.JunkMasks[row.text] = ShownDescription(row.description);  // a later row wins
    for (const ListRow& row : config.ReadList(ListSection::SkipFolders, false))
        if (row.checked) scan.SkipFolders.push_back(row.text);
    for (const SearchOption& option : kSearchOptions) scan.*option.setting = config.ReadOption(option.element, false);
    scan.Months = ParseLeadingInt(config.ReadMonths(false).substr(0, kMonthsLength));
    return scan;
}

std::optional<std::vector<std::string>> FixedDriveRoots() {
    char buffer[128] = {};  // room for all 26 drives, "A:\" and a null each
    DWORD length = GetLogicalDriveStringsA(sizeof buffer - 1, buffer);
    if (length == 0 || length > sizeof buffer - 1) return std::nullopt;  // too small: it writes nothing
    std::vector<std::string> roots;
    for (const char* root = buffer; *root; root += std::strlen(root) + 1)
        if (GetDriveTypeA(root) == DRIVE_FIXED) roots.emplace_back(root);
    return roots;
}

void SkipOwnFolders(ScanSettings& scan, const std::vector<std::string>& backupFolders) {
    scan.SkipFolders.push_back(ProgramFolder());
    for (const std::string& backup : backupFolders)
        if (IsAbsolutePath(backup) && std::ranges::find(scan.SkipFolders, backup) == scan.SkipFolders.end())
            scan.SkipFolders.push_back(backup);
}
