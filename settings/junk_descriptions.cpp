#include "settings/junk_descriptions.h"

#include <iterator>

#include "ui/language_table.h"

namespace {
constexpr std::string_view kFactoryKeys[] = {
    "_JunkTypeTemporaryFiles",  "_JunkTypeEditorCopies",      "_JunkTypeInstallerFiles",
    "_JunkTypeEditorFiles",     "_JunkTypeDiskCheckFragments", "_JunkTypeHelpIndexes",
    "_JunkTypeMemoryDumps",     "_JunkTypeThumbnailCaches",   "_JunkTypeBackupCopies",
    "_JunkTypeOldVersions",     "_JunkTypeEditorBackups",
};
constexpr int kFactoryCount = static_cast<int>(std::size(kFactoryKeys));
}  // namespace

int FactoryDescription(std::string_view stored) {
    for (int i = 0; i < kFactoryCount; ++i)
        if (kFactoryKeys[i] == stored) return i + 1;
    return 0;
}

std::string ShownDescription(std::string_view stored) {
    return FactoryDescription(stored) ? Language().Lookup(stored) : std::string(stored);
}

std::string StoredDescription(int factory, std::string shown) {
    if (factory < 1 || factory > kFactoryCount) return shown;
    std::string_view key = kFactoryKeys[factory - 1];
    return shown == Language().Lookup(key) ? std::string(key) : shown;
}
