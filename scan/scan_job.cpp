#include "scan/scan_job.h"

#include <utility>

#include "base/registry.h"
#include "scan/protected_paths.h"
#include "ui/language_table.h"

namespace {

struct SpecialFolder {
    bool ScanSettings::*flag;
    const char* registryValue;  // null: the temporary folder
    const char* reasonKey;
};
constexpr SpecialFolder kSpecialFolders[] = {
    {&ScanSettings::FindTemp, nullptr, "_WindowsTempFile"},
    {&ScanSettings::FindIETemp, "Cache", "_InterTempFile"},
    {&ScanSettings::FindRecent, "Recent", "_RecentFile"},
    {&ScanSettings::FindIEHistory, "History", "_HistoryFile"},
    {&ScanSettings::FindIECookies, "Cookies", "_CookiesFile"},
};

std::string SpecialFolderPath(const SpecialFolder& folder) {
    if (!folder.registryValue) {
        char temp[MAX_PATH] = {};
        DWORD length = GetTempPathA(MAX_PATH, temp);
        return length > 0 && length < MAX_PATH ? std::string(temp, length) : std::string();
    }
    return ReadValueText(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                         folder.registryValue);
}

}  // namespace

void ScanJob::Run(const std::atomic<bool>& stop, JobProgress& progress) {
    // Known folders are asked once per run; what they protect holds for every folder searched.
    const KnownFolders known = KnownFoldersSource()();
    const ProtectedPaths protectedPaths(known);
    SearchSpecialFolders(stop, progress, known, protectedPaths);
    FileScanner::Criteria criteria = FileScanner::CriteriaOf(settings);
    criteria.protectedPaths = &protectedPaths;
    for (std::size_t i = 0; i < settings.Folders.size() && !stop; ++i) {
        progress.Begin(settings.Folders[i], 0);
        if (beforeFolder) beforeFolder(i, stop);
        Search({settings.Folders[i], settings.JunkMasks, settings.SkipFolders, criteria, {}, {}, &stop}, progress);
    }
}

// A special folder's every file is proposed: one that holds more than its own leftovers (a
// redirected TEMP or cache) is passed over, and said.
void ScanJob::SearchSpecialFolders(const std::atomic<bool>& stop, JobProgress& progress, const KnownFolders& known,
                                   const ProtectedPaths& protectedPaths) {
    FileScanner::Criteria criteria;
    criteria.protectedPaths = &protectedPaths;
    for (const SpecialFolder& special : kSpecialFolders) {
        if (stop) return;
        if (!(settings.*special.flag)) continue;
        std::string path = SpecialFolderPath(special);
        if (path.empty()) continue;
        if (UnsafeSpecialFolder(path, known) || protectedPaths.FolderReason(path)) {
            progress.Note(path);
            continue;
        }
        Search({path, {{"*", Language().Lookup(special.reasonKey)}}, settings.SkipFolders, criteria, {}, {}, &stop},
               progress);
    }
}

void ScanJob::Search(FileScanner::Request request, JobProgress& progress) {
    request.onFolder = [&](const std::string& path, const WIN32_FIND_DATAA&) { progress.Latest(path); };
    request.onFound = [&](const std::string& path, const std::string& reason, const WIN32_FIND_DATAA&) {
        auto text = reasonTexts.find(reason);
        if (text == reasonTexts.end()) text = reasonTexts.emplace(reason, Language().Lookup(reason)).first;
        std::lock_guard guard(lock);
        found.insert_or_assign(path, text->second);  // a path met again keeps its latest reason
        progress.Done(found.size());
    };
    FileScanner::Search(request);
}

FoundList ScanJob::TakeFound() {
    std::lock_guard guard(lock);
    return std::exchange(found, {});
}
