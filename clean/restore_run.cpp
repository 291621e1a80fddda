#include "clean/restore_run.h"

#include <windows.h>
#include <shellapi.h>

#include "base/program_paths.h"
#include "base/text_format.h"
#include "base/win_handles.h"
#include "ui/language_table.h"

std::string BackupSetRowText(const std::string& format, const BackupSet& set) {
    const auto& t = set.time;
    return FormatText(format, {static_cast<long long>(t[1]), static_cast<long long>(t[2]),
                               static_cast<long long>(t[0]), static_cast<long long>(t[3]),
                               static_cast<long long>(t[4]), static_cast<long long>(t[5])});
}

SetRestore::SetRestore(std::string setFolder)
    : setFolder(std::move(setFolder)),
      text("_LogRestoreFilesHeader"),
      restoredLine(Language().Lookup("_LogRestoreFile")),
      changedLine(Language().Lookup("_LogRestoreFileChanged")),
      failedLine(Language().Lookup("_LogRestoreFailed")),
      noTargetLine(Language().Lookup("_LogRestoreNoTarget")) {}

SetRestore::Result SetRestore::CopyBack(const std::string& copy) {
    std::optional<std::string> target = BackupSet::RestoreTarget(setFolder, copy);
    if (!target) {
        text.Add(FormatText(noTargetLine, {copy}));
        return Result::NoTarget;
    }
    const std::wstring from = ExtendedPath(copy), to = ExtendedPath(*target);
    std::string folder = ParentFolder(*target);
    if (folder != madeFolder) {
        MakeFolders(folder + "\\");
        madeFolder = folder;
    }
    // CopyFile keeps the last write time, so the copy in the set still carries the time the file
    // had when it was backed up.
    WIN32_FILE_ATTRIBUTE_DATA there{}, saved{};
    const bool changed = GetFileAttributesExW(to.c_str(), GetFileExInfoStandard, &there) &&
                         !(there.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                         GetFileAttributesExW(from.c_str(), GetFileExInfoStandard, &saved) &&
                         (there.nFileSizeLow != saved.nFileSizeLow || there.nFileSizeHigh != saved.nFileSizeHigh ||
                          CompareFileTime(&there.ftLastWriteTime, &saved.ftLastWriteTime) > 0);
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
        madeFolder.clear();  // the folder may have gone: made again for the next file
        text.Add(FormatText(failedLine, {copy, *target}));
        return Result::Failed;
    }
    ++restored;
    text.Add(FormatText(changed ? changedLine : restoredLine, {copy, *target}));
    return changed ? Result::RestoredOverChanged : Result::Restored;
}

namespace {
std::size_t CountEntries(const std::wstring& folder) {
    std::size_t count = 0;
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!find) return 0;
    do {
        std::wstring_view name(entry.cFileName);
        if (name == L"." || name == L"..") continue;
        const DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            count += CountEntries(folder + L"\\" + entry.cFileName);
        else
            ++count;
    } while (FindNextFileW(find.Get(), &entry));
    return count;
}
}  // namespace

std::size_t CountSetEntries(const std::string& setFolder) { return CountEntries(ExtendedPath(setFolder)); }

bool RemoveSetFolder(const std::string& setFolder) {
    if (!IsAbsolutePath(setFolder) || setFolder.find_first_of("*?") != std::string::npos) return false;
    std::string source = setFolder;
    source.append(2, '\0');
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = source.c_str();
    operation.fFlags = FOF_NOCONFIRMATION;
    SHFileOperationA(&operation);
    return GetFileAttributesW(ExtendedPath(setFolder).c_str()) == INVALID_FILE_ATTRIBUTES;
}
