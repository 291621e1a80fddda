#include "clean/restore_run.h"

#include <windows.h>

#include "base/ansi.h"
#include "base/file_names.h"
#include "base/file_proof.h"
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

namespace {
void ListFolder(const std::wstring& wide, const std::string& folder, const std::atomic<bool>* stop,
                SetListing& listing) {
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileW((wide + L"\\*").c_str(), &entry));
    if (!find) return;
    do {
        if (stop && stop->load(std::memory_order_relaxed)) return;
        const std::wstring_view name(entry.cFileName);
        if (name == L"." || name == L"..") continue;
        const std::string narrowName = FromWide(name);
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !WindowsCanHoldName(narrowName))
            ++listing.passedOver;
        else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFolder(wide + L"\\" + entry.cFileName, folder + "\\" + narrowName, stop, listing);
        else
            listing.files.push_back(folder + "\\" + narrowName);
    } while (FindNextFileW(find.Get(), &entry));
}
}  // namespace

SetListing ListSetFiles(const std::string& setFolder, const std::atomic<bool>* stop) {
    SetListing listing;
    if (IsAbsolutePath(setFolder)) ListFolder(ExtendedPath(setFolder), setFolder, stop, listing);
    return listing;
}

SetRestore::SetRestore(std::string setFolder, RestoreGuard mayWrite)
    : setFolder(std::move(setFolder)),
      mayWrite(std::move(mayWrite)),
      text("_LogRestoreFilesHeader"),
      restoredLine(Language().Lookup("_LogRestoreFile")),
      sameLine(Language().Lookup("_LogRestoreAlreadyThere")),
      differentLine(Language().Lookup("_LogRestoreKeptDifferent")),
      refusedLine(Language().Lookup("_LogRestoreRefused")),
      failedLine(Language().Lookup("_LogRestoreFailed")),
      noTargetLine(Language().Lookup("_LogRestoreNoTarget")) {}

SetRestore::Result SetRestore::CopyBack(const std::string& copy) {
    std::optional<std::string> target = BackupSet::RestoreTarget(setFolder, copy);
    if (!target) {
        text.Add(FormatText(noTargetLine, {copy}), copy);
        return Result::NoTarget;
    }
    auto keep = [&](Result result, const std::string& line) {
        text.Add(FormatText(line, {copy, *target}), copy);
        return result;
    };
    ProvenFile source(copy, GENERIC_READ, nullptr);
    if (!source.Proven() || (mayWrite && !mayWrite(*target))) return keep(Result::Refused, refusedLine);
    // What is at the target decides: nothing, the very file, or something that must not be lost.
    ProvenFile there(*target, 0, nullptr);
    switch (there.Result()) {
    case Proof::Proven:
        if (there.Stamp() != source.Stamp()) return keep(Result::Different, differentLine);
        ++restored;
        return keep(Result::AlreadyThere, sameLine);
    case Proof::Missing:
        break;
    case Proof::NotPlain:
    case Proof::Elsewhere:
        return keep(Result::Refused, refusedLine);
    default:
        return keep(Result::Failed, failedLine);
    }
    if (CopyToNewFile(source, *target) != CopyResult::Copied) return keep(Result::Failed, failedLine);
    ++restored;
    return keep(Result::Restored, restoredLine);
}

void RestoreJob::Run(const std::atomic<bool>& stop, JobProgress& progress, LogSink& log) {
    const SetListing listing = ListSetFiles(setFolder, &stop);
    const std::vector<std::string>& files = listing.files;
    progress.Begin(Language().Lookup("_RescueDialogStateCopyBackupFiles"), files.size());
    SetRestore restore(setFolder, mayWrite);
    std::size_t done = 0;
    for (const std::string& copy : files) {
        if (beforeFile) beforeFile(done, stop);
        if (stop) break;  // between files only: a copy is never cut off
        restore.CopyBack(copy);
        progress.Done(++done);
    }
    log.AddPassRecord("_LogLogCategoryRestore", restore.LogText());
    // What the listing passed over (a link, a name that stands for another file) counts against
    // removing the set, as does every copy that is not back.
    notRestored = listing.passedOver + files.size() - restore.Restored();
    if (notRestored != 0 || stop) return;
    progress.Begin(Language().Lookup("_RescueDialogStateRemoveBackupFiles"), files.size());
    RemoveTree(setFolder);
}
