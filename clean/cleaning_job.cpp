#include "clean/cleaning_job.h"

#include <shellapi.h>

#include <map>
#include <numeric>

#include "base/ansi.h"
#include "base/file_names.h"
#include "base/program_paths.h"
#include "base/text_format.h"
#include "clean/backup_set.h"
#include "ui/language_table.h"

namespace {

// Where the proof sends a file it refused.
enum class Refusal { None, Changed, InUse, Denied };

Refusal RefusalOf(Proof proof) {
    switch (proof) {
    case Proof::Proven: return Refusal::None;
    case Proof::InUse: return Refusal::InUse;
    case Proof::Denied: return Refusal::Denied;
    default: return Refusal::Changed;
    }
}

// The run touches only what the report showed: a plain file at the very path, reached through
// plain folders, of the size and write time seen there, proved afresh for each file on the handle
// the act goes through. A name Windows cannot hold may stand for another file, and a file whose
// stamp could not be read cannot be proved unchanged: both stay.
ProvenFile Prove(const std::string& path, const CheckedFile& file, DWORD access) {
    const size_t slash = path.rfind('\\');
    if (!file.seen || slash == std::string::npos || !IsAbsolutePath(path) ||
        !WindowsCanHoldName(std::string_view(path).substr(slash + 1)))
        return ProvenFile();  // proves nothing
    return ProvenFile(path, access, &*file.seen);
}

PassRecord RecordTo(LogSink& log, const char* headerKey, const char* actionKey) {
    return PassRecord(headerKey, actionKey,
                      [&log](const char* action, const std::string& text) { return log.AddPassRecord(action, text); });
}

// While it lives, no window the calling thread would create on its own comes to be: a question
// the shell would ask has nowhere to be shown, and its operation ends without the answer.
class NoNewWindows {
public:
    NoNewWindows() : hook(SetWindowsHookExW(WH_CBT, &Refuse, nullptr, GetCurrentThreadId())) {}
    ~NoNewWindows() {
        if (hook) UnhookWindowsHookEx(hook);
    }
    NoNewWindows(const NoNewWindows&) = delete;
    NoNewWindows& operator=(const NoNewWindows&) = delete;
    explicit operator bool() const { return hook != nullptr; }

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM window, LPARAM data) {
        if (code == HCBT_CREATEWND) {
            const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(data)->lpcs;
            if (!(create->style & WS_CHILD) && create->hwndParent != HWND_MESSAGE) return 1;
        }
        return CallNextHookEx(nullptr, code, window, data);
    }
    HHOOK hook;
};

}  // namespace

const char* FateCode(Fate fate, bool recycled) {
    switch (fate) {
    case Fate::NotReached: return "not-reached";
    case Fate::Removed: return recycled ? "recycled" : "removed";
    case Fate::KeptNoBackup: return "kept-no-backup";
    case Fate::KeptChanged: return "kept-changed";
    case Fate::KeptAtRestart: return "kept-until-restart";
    case Fate::KeptInUse: return "kept-in-use";
    case Fate::KeptReadOnly: return "kept-read-only";
    case Fate::KeptDenied: return "kept-access-denied";
    case Fate::KeptNotRemoved: return "kept-not-removed";
    }
    return "unknown";
}

std::size_t CleaningOutcome::Kept() const {
    return std::accumulate(counts.begin() + static_cast<std::ptrdiff_t>(Fate::KeptNoBackup), counts.end(),
                           std::size_t{0});
}

// The removal's log lines, looked up once per pass: each lookup reads the language file.
struct CleaningJob::RemovalLines {
    std::string deleted, atRestart, notRemoved, noRecycleBin, notRecycled, changed, inUse, readOnly, denied;
};

// Whether the drive of a path has a recycle bin. The shell counts a bin's every item to answer, so
// each drive is asked once per pass; the files come sorted, so a folder's files follow one another
// and its drive is looked up once.
class CleaningJob::RecycleBins {
public:
    bool Takes(const std::string& path) {
        std::string folder = path.substr(0, path.rfind('\\') + 1);
        if (folder == lastFolder) return lastTakes;
        lastFolder = folder;
        wchar_t volume[MAX_PATH + 1] = {};
        if (!GetVolumePathNameW(ToWide(folder).c_str(), volume, MAX_PATH)) return lastTakes = false;
        auto [known, added] = drives.try_emplace(volume, false);
        if (added) {
            SHQUERYRBINFO info{};
            info.cbSize = sizeof(info);
            known->second = SUCCEEDED(SHQueryRecycleBinW(volume, &info));
        }
        return lastTakes = known->second;
    }

private:
    std::map<std::wstring, bool> drives;
    std::string lastFolder;
    bool lastTakes = false;
};

CleaningJob::CleaningJob(CleaningRequest cleaning) : request(std::move(cleaning)) {
    outcome.ran = true;
    outcome.fates.assign(request.files.size(), Fate::NotReached);
    outcome.counts[static_cast<std::size_t>(Fate::NotReached)] = request.files.size();
}

void CleaningJob::Run(const std::atomic<bool>& stop, JobProgress& progress, LogSink& log) {
    outcome.logMissing = !log.Present();
    if (request.backup) BackupPass(stop, progress, log);
    if (stop) {
        outcome.stopped = true;
        return;
    }
    if (request.removal != Removal::None) RemovalPass(stop, progress, log);
    outcome.stopped = stop && outcome.Count(Fate::NotReached) > 0;  // a stop after the last file stopped nothing
}

// The first fate a file gets is its own; the removal pass passes over files the backup pass kept.
void CleaningJob::Settle(std::size_t index, Fate fate) {
    Fate& now = outcome.fates[index];
    if (now != Fate::NotReached) return;
    --outcome.counts[static_cast<std::size_t>(now)];
    ++outcome.counts[static_cast<std::size_t>(fate)];
    now = fate;
}

void CleaningJob::FinishRecord(PassRecord& record) {
    if (!record.Finish() && !outcome.logMissing) outcome.logFailed = true;
}

// With no usable directory (empty or relative: the copies would land wherever the current folder
// is) every copy fails, and so every file stays.
void CleaningJob::BackupPass(const std::atomic<bool>& stop, JobProgress& progress, LogSink& log) {
    progress.Done(0);
    progress.Begin(Language().Lookup("_CleaningPageStateBackup"), request.files.size());
    PassRecord text = RecordTo(log, "_LogBackupFilesHeader", "_LogLogCategoryBackup");
    const std::string saved = Language().Lookup("_LogSaveFile");
    const std::string copyFailed = Language().Lookup("_LogCopyFailed");
    const std::string changed = Language().Lookup("_LogKeptChanged");
    const std::string& directory = request.backupDirectory;
    const bool usable = IsAbsolutePath(directory);
    SYSTEMTIME now{};
    GetLocalTime(&now);  // once: the whole run writes into one set
    const std::string setFolder = BackupSet::SetFolderPath(directory, now);
    std::size_t index = 0;
    for (const auto& [path, file] : request.files) {
        if (beforeFile) beforeFile(Pass::Backup, index, stop);
        if (stop) break;  // between files; a copy cut short by a stop is removed
        ProvenFile source = Prove(path, file, GENERIC_READ);
        if (RefusalOf(source.Result()) == Refusal::Changed) {
            Settle(index, Fate::KeptChanged);
            text.Add(FormatText(changed, {path}), path);
        } else {
            std::string copy = BackupSet::CopyPathInSet(setFolder, path);
            // A name already in the set (a.tmp beside A.TMP) is never replaced: this file stays.
            const CopyResult result =
                usable && source.Proven() ? CopyToNewFile(source, copy, &stop) : CopyResult::Failed;
            if (result == CopyResult::Stopped) break;  // the cut copy is gone, the file stays
            if (result == CopyResult::Copied) {
                outcome.setFolder = setFolder;
                text.Add(FormatText(saved, {path, copy}), path);
            } else {
                Settle(index, Fate::KeptNoBackup);
                text.Add(FormatText(copyFailed, {path, usable ? copy : directory}), path);
            }
        }
        progress.Done(++index);
    }
    FinishRecord(text);
}

void CleaningJob::RemovalPass(const std::atomic<bool>& stop, JobProgress& progress, LogSink& log) {
    const bool permanent = request.removal == Removal::Permanent;
    outcome.recycled = !permanent;
    progress.Done(0);
    progress.Begin(Language().Lookup(permanent ? "_CleaningPageStatePermanentlyDelete"
                                               : "_CleaningPageStateMoveToRecycleBin"),
                   request.files.size());
    PassRecord text = RecordTo(log, permanent ? "_LogPermanentlyDeleteFilesHeader" : "_LogRemoveToRecyclebinFilesHeader",
                               "_LogLogCategoryDelete");
    const std::string noBackup = Language().Lookup("_LogKeptNoBackup");
    const RemovalLines lines{Language().Lookup("_LogDeleteFile"),     Language().Lookup("_LogDeleteAtRestart"),
                             Language().Lookup("_LogKeptNotRemoved"), Language().Lookup("_LogKeptNoRecycleBin"),
                             Language().Lookup("_LogKeptNotRecycled"), Language().Lookup("_LogKeptChanged"),
                             Language().Lookup("_LogKeptInUse"),      Language().Lookup("_LogKeptReadOnly"),
                             Language().Lookup("_LogKeptDenied")};
    RecycleBins bins;
    std::size_t index = 0;
    for (const auto& [path, file] : request.files) {
        if (beforeFile) beforeFile(Pass::Removal, index, stop);
        if (stop) break;  // between files only: a removal is never cut off
        const Fate kept = outcome.fates[index];
        if (kept != Fate::NotReached) {
            // Kept by the backup pass, counted and logged there; said again beside the removals.
            text.Add(FormatText(kept == Fate::KeptNoBackup ? noBackup : lines.changed, {path}), path);
        } else {
            std::string line;
            Settle(index, RemoveFile(path, file, lines, bins, line));
            text.Add(line, path);
        }
        progress.Done(++index);
    }
    FinishRecord(text);
}

// Why a file the system would not let go stays: it says so in the line and the fate.
Fate CleaningJob::KeepRefused(const std::string& path, DWORD error, const RemovalLines& lines, std::string& line) {
    const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        line = FormatText(lines.inUse, {path});
        return Fate::KeptInUse;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        line = FormatText(lines.readOnly, {path});
        return Fate::KeptReadOnly;
    }
    if (error == ERROR_ACCESS_DENIED) {
        line = FormatText(lines.denied, {path});
        return Fate::KeptDenied;
    }
    line = FormatText(lines.notRemoved, {path});
    return Fate::KeptNotRemoved;
}

Fate CleaningJob::RemoveFile(const std::string& path, const CheckedFile& file, const RemovalLines& lines,
                             RecycleBins& bins, std::string& line) {
    const bool permanent = request.removal == Removal::Permanent;
    // The shell's recycle bin takes a path, not a handle: the proof is made, and the handle let go,
    // right before the shell moves the file.
    ProvenFile proven = Prove(path, file, permanent ? DELETE : 0);
    const Refusal refusal = RefusalOf(proven.Result());
    if (refusal == Refusal::Changed) {
        line = FormatText(lines.changed, {path});
        return Fate::KeptChanged;
    }
    // A file in use waits for the restart only where that could be arranged: it takes
    // administrator rights on Windows, and what is registered goes by its path then.
    if (refusal == Refusal::InUse && permanent &&
        MoveFileExW(ExtendedPath(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        line = FormatText(lines.atRestart, {path});
        return Fate::KeptAtRestart;
    }
    if (!proven.Proven())
        return KeepRefused(path, refusal == Refusal::InUse ? ERROR_SHARING_VIOLATION : ERROR_ACCESS_DENIED, lines,
                           line);
    const std::uint64_t size = proven.Stamp().size;
    if (permanent) {
        if (!proven.Remove()) return KeepRefused(path, GetLastError(), lines, line);
        outcome.freedBytes += size;
        line = FormatText(lines.deleted, {path});
        return Fate::Removed;
    }
    // A drive without a recycle bin would have the shell delete for good what it was asked to
    // recycle, without a word: such files stay.
    if (path.size() >= MAX_PATH || !bins.Takes(path)) {  // the shell takes no longer paths
        line = FormatText(path.size() < MAX_PATH ? lines.noRecycleBin : lines.notRemoved, {path});
        return Fate::KeptNotRemoved;
    }
    proven.Close();
    bool aborted = false;
    if (!Recycle(path, aborted)) {
        line = FormatText(aborted ? lines.notRecycled : lines.notRemoved, {path});
        return Fate::KeptNotRemoved;
    }
    outcome.freedBytes += size;
    line = FormatText(lines.deleted, {path});
    return Fate::Removed;
}

// The shell's delete with undo and no progress window: to the recycle bin. For a file the bin
// cannot take (too large for it, say) the shell asks before it deletes for good, over the owner;
// a No keeps the file, and so does a run without an owner, where no question can be shown.
bool CleaningJob::Recycle(const std::string& path, bool& aborted) {
    std::wstring source = ToWide(path);
    source.append(2, L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = request.owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = source.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_WANTNUKEWARNING;
    std::optional<NoNewWindows> quiet;
    if (!request.owner) {
        quiet.emplace();
        if (!*quiet) return false;  // without the guard a question could wait for ever
        operation.fFlags |= FOF_NOERRORUI;
    }
    const int failed = SHFileOperationW(&operation);
    aborted = failed == 0 && operation.fAnyOperationsAborted;
    return GetFileAttributesW(ExtendedPath(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}
