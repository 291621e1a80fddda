// A scan's settings from config.xml without the pages: what the wizard's settings pages show when
// it opens, as the command line takes them.
#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/scan_settings.h"
#include "settings/settings_store.h"

// A search option's element under "options" and the setting it gives a scan, in page order.
struct SearchOption {
    const char* element;
    bool ScanSettings::*setting;
};
extern const std::array<SearchOption, 11> kSearchOptions;
// The scan reads no more of the months text than this.
constexpr std::size_t kMonthsLength = 254;

// The checked junk-file masks (factory descriptions in the current language), the checked skip
// folders in list order, and the search options; no folders to search.
ScanSettings StoredScanSettings(const ConfigDocument& config);

// The root of every fixed drive ("C:\"), as the folder page lists them; nothing when the system
// cannot say.
std::optional<std::vector<std::string>> FixedDriveRoots();

// The program never searches itself, nor the backup folders in use: full paths among backupFolders
// join the skip folders, each once.
void SkipOwnFolders(ScanSettings& scan, const std::vector<std::string>& backupFolders);
