#include "clean/cleaning_page.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/ansi.h"
#include "base/failure.h"
#include "base/file_names.h"
#include "base/file_proof.h"
#include "base/program_paths.h"
#include "base/text_format.h"
#include "clean/backup_set.h"
#include "clean/log_client.h"
#include "res/resource.h"
#include "ui/language_table.h"
#include "ui/message_box.h"
#include "ui/progress_bar.h"

namespace {

constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_CLEANING_STATE, Anchor::GrowX},
    {IDC_CLEANING_PROGRESS, Anchor::GrowX}, {IDC_CLEANING_STOP, Anchor::MoveX}};
// Each move of the bar costs the window system a dozen requests, which under Wine queue with the
// worker's file calls: twenty moves a second look smooth and cost a quarter of what sixty did.
constexpr UINT kFrameMilliseconds = 50;
constexpr UINT_PTR kProgressTimer = 1;
// Why the backup pass keeps a file from the removal pass.
constexpr char kKeptNoBackup = 1;
constexpr char kKeptChanged = 2;

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

}  // namespace

// The shell counts a bin's every item to answer, so each drive is asked once per pass; the files
// come sorted, so a folder's files follow one another and its drive is looked up once.
bool CleaningPage::RecycleBins::Takes(const std::string& path) {
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

CleaningPage::CleaningPage() : WizardPage(IDD_CLEANING_PAGE, kAnchors) {}

CleaningPage::~CleaningPage() { DestroyNow(); }

bool CleaningPage::OnInit() {
    SetUpPage();
    EnableWindow(Item(IDC_CLEANING_STOP), FALSE);
    return false;
}

bool CleaningPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<CleaningPage> routes[] = {{IDC_CLEANING_STOP, &CleaningPage::Stop}};
    return Route(*this, routes, id, code);
}

// Without a question: the wizard is going away. The file under way is finished first.
void CleaningPage::OnDestroy() {
    run.Stop();
    run.Join();
}

void CleaningPage::Start() {
    if (IsRunning()) return;  // the hand-over belongs to the running worker
    run.Join();               // a stopped worker may still be finishing its file
    outcome = CleaningOutcome{};
    outcome.ran = true;
    owner = GetAncestor(hwnd, GA_ROOT);
    progress = 0;
    shownPosition = 0;
    SendMessageA(Item(IDC_CLEANING_PROGRESS), PBM_SETPOS, 0, 0);
    EnableWindow(Item(IDC_CLEANING_STOP), TRUE);
    SetTimer(hwnd, kProgressTimer, kFrameMilliseconds, nullptr);
    // A logoff or shutdown is held while files go, and said why.
    ShutdownBlockReasonCreate(owner, ToWide(Language().Lookup("_CleaningShutdownReason")).c_str());
    run.Start([this] { Run(); }, [this](RunEnd end, const std::string& failure) {
        if (end == RunEnd::Failed) ReportFailure(hwnd, failure);
        OnEnd(end);
    });
}

CleaningOutcome CleaningPage::Outcome() {
    if (IsRunning()) return {};
    run.Join();
    return outcome;
}

void CleaningPage::Run() {
    LogClient log;
    outcome.logMissing = !log;
    std::vector<char> keep(files.size(), 0);
    if (backup) BackupPass(log, keep);
    if (StopRequested()) return;
    if (permanentlyDelete || moveToRecycleBin) RemovalPass(log, keep);
}

bool CleaningPage::WriteRecord(LogClient& log, const char* actionKey, const std::string& text) {
    return log.AddPassRecord(actionKey, text);
}

PassRecord CleaningPage::Record(LogClient& log, const char* headerKey, const char* actionKey) {
    return PassRecord(headerKey, actionKey, [this, &log](const char* action, const std::string& text) {
        return WriteRecord(log, action, text);
    });
}

void CleaningPage::FinishRecord(PassRecord& record) {
    if (!record.Finish() && !outcome.logMissing) outcome.logFailed = true;
}

void CleaningPage::BeginPass(const char* stateKey) {
    std::string state = Language().Lookup(stateKey);
    progress = 0;
    run.Report([&] {
        HWND bar = Item(IDC_CLEANING_PROGRESS);
        SetBarRange(bar, files.size());
        SendMessageA(bar, PBM_SETPOS, 0, 0);
        shownPosition = 0;
        SetDlgItemTextA(hwnd, IDC_CLEANING_STATE, state.c_str());
    });
}

// The worker only counts; the page's timer moves the bar at most every tick, so no file waits
// for a paint. The pass's last position is shown before its record is written.
void CleaningPage::ShowProgress(std::size_t position, bool force) {
    progress.store(position, std::memory_order_relaxed);
    if (force) run.Report([this] { MoveBar(); });
}

void CleaningPage::MoveBar() {
    std::size_t position = progress.load(std::memory_order_relaxed);
    if (position == shownPosition) return;
    shownPosition = position;
    SetBarPosition(Item(IDC_CLEANING_PROGRESS), position);
}

bool CleaningPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_TIMER && wParam == kProgressTimer) {
        MoveBar();
        result = 0;
        return true;
    }
    return WizardPage::OnMessage(message, wParam, lParam, result);
}

// With no usable directory (empty or relative: the copies would land wherever the current folder
// is) every copy fails, and so every file stays.
void CleaningPage::BackupPass(LogClient& log, std::vector<char>& keep) {
    BeginPass("_CleaningPageStateBackup");
    PassRecord text = Record(log, "_LogBackupFilesHeader", "_LogLogCategoryBackup");
    const std::string saved = Language().Lookup("_LogSaveFile");
    const std::string copyFailed = Language().Lookup("_LogCopyFailed");
    const std::string changed = Language().Lookup("_LogKeptChanged");
    const bool usable = IsAbsolutePath(backupDirectory);
    SYSTEMTIME now{};
    GetLocalTime(&now);  // once: the whole run writes into one set
    const std::string setFolder = BackupSet::SetFolderPath(backupDirectory, now);
    std::size_t index = 0;
    for (const auto& [path, file] : files) {
        BeforeFile(Pass::Backup, index);
        if (StopRequested()) break;  // between files; a copy cut short by a stop is removed
        ProvenFile source = Prove(path, file, GENERIC_READ);
        if (RefusalOf(source.Result()) == Refusal::Changed) {
            keep[index] = kKeptChanged;
            ++outcome.keptChanged;
            text.Add(FormatText(changed, {path}), path);
        } else {
            std::string copy = BackupSet::CopyPathInSet(setFolder, path);
            // A name already in the set (a.tmp beside A.TMP) is never replaced: this file stays.
            const CopyResult result =
                usable && source.Proven() ? CopyToNewFile(source, copy, &run.StopFlag()) : CopyResult::Failed;
            if (result == CopyResult::Stopped) break;  // the cut copy is gone, the file stays
            if (result == CopyResult::Copied) {
                outcome.setFolder = setFolder;
                text.Add(FormatText(saved, {path, copy}), path);
            } else {
                keep[index] = kKeptNoBackup;
                ++outcome.keptNoBackup;
                text.Add(FormatText(copyFailed, {path, usable ? copy : backupDirectory}), path);
            }
        }
        ShowProgress(++index, false);
    }
    ShowProgress(index, true);
    FinishRecord(text);
}

void CleaningPage::RemovalPass(LogClient& log, std::vector<char>& keep) {
    outcome.recycled = !permanentlyDelete;
    BeginPass(permanentlyDelete ? "_CleaningPageStatePermanentlyDelete" : "_CleaningPageStateMoveToRecycleBin");
    PassRecord text = Record(log, permanentlyDelete ? "_LogPermanentlyDeleteFilesHeader"
                                                    : "_LogRemoveToRecyclebinFilesHeader",
                             "_LogLogCategoryDelete");
    const std::string noBackup = Language().Lookup("_LogKeptNoBackup");
    const RemovalLines lines{Language().Lookup("_LogDeleteFile"),     Language().Lookup("_LogDeleteAtRestart"),
                             Language().Lookup("_LogKeptNotRemoved"), Language().Lookup("_LogKeptNoRecycleBin"),
                             Language().Lookup("_LogKeptNotRecycled"), Language().Lookup("_LogKeptChanged"),
                             Language().Lookup("_LogKeptInUse"),      Language().Lookup("_LogKeptReadOnly"),
                             Language().Lookup("_LogKeptDenied")};
    RecycleBins bins;
    std::size_t index = 0;
    for (const auto& [path, file] : files) {
        BeforeFile(Pass::Removal, index);
        if (StopRequested()) break;  // between files only: a removal is never cut off
        if (keep[index]) {
            // Kept by the backup pass, counted and logged there; said again beside the removals.
            text.Add(FormatText(keep[index] == kKeptNoBackup ? noBackup : lines.changed, {path}), path);
        } else {
            std::string line;
            if (RemoveFile(path, file, lines, bins, line)) ++outcome.removed;
            text.Add(line, path);
        }
        ShowProgress(++index, false);
    }
    ShowProgress(index, true);
    FinishRecord(text);
}

// Why a file the system would not let go stays: it says so in the line and the count.
void CleaningPage::KeepRefused(const std::string& path, DWORD error, const RemovalLines& lines, std::string& line) {
    const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        ++outcome.keptInUse;
        line = FormatText(lines.inUse, {path});
    } else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        ++outcome.keptReadOnly;
        line = FormatText(lines.readOnly, {path});
    } else if (error == ERROR_ACCESS_DENIED) {
        ++outcome.keptDenied;
        line = FormatText(lines.denied, {path});
    } else {
        ++outcome.keptNotRemoved;
        line = FormatText(lines.notRemoved, {path});
    }
}

bool CleaningPage::RemoveFile(const std::string& path, const CheckedFile& file, const RemovalLines& lines,
                              RecycleBins& bins, std::string& line) {
    // The shell's recycle bin takes a path, not a handle: the proof is made, and the handle let go,
    // right before the shell moves the file.
    ProvenFile proven = Prove(path, file, permanentlyDelete ? DELETE : 0);
    const Refusal refusal = RefusalOf(proven.Result());
    if (refusal == Refusal::Changed) {
        ++outcome.keptChanged;
        line = FormatText(lines.changed, {path});
        return false;
    }
    // A file in use waits for the restart only where that could be arranged: it takes
    // administrator rights on Windows, and what is registered goes by its path then.
    if (refusal == Refusal::InUse && permanentlyDelete &&
        MoveFileExW(ExtendedPath(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        ++outcome.keptAtRestart;
        line = FormatText(lines.atRestart, {path});
        return false;
    }
    if (!proven.Proven()) {
        KeepRefused(path, refusal == Refusal::InUse ? ERROR_SHARING_VIOLATION : ERROR_ACCESS_DENIED, lines, line);
        return false;
    }
    const std::uint64_t size = proven.Stamp().size;
    if (permanentlyDelete) {
        if (!proven.Remove()) {
            KeepRefused(path, GetLastError(), lines, line);
            return false;
        }
        outcome.freedBytes += size;
        line = FormatText(lines.deleted, {path});
        return true;
    }
    // A drive without a recycle bin would have the shell delete for good what it was asked to
    // recycle, without a word: such files stay.
    if (path.size() >= MAX_PATH || !bins.Takes(path)) {  // the shell takes no longer paths
        ++outcome.keptNotRemoved;
        line = FormatText(path.size() < MAX_PATH ? lines.noRecycleBin : lines.notRemoved, {path});
        return false;
    }
    // The shell's delete with undo and no progress window: to the recycle bin. For a file the bin
    // cannot take (too large for it, say) the shell asks before it deletes for good; a No keeps it.
    proven.Close();
    std::wstring source = ToWide(path);
    source.append(2, L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = source.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_WANTNUKEWARNING;
    int failed = SHFileOperationW(&operation);
    bool gone = GetFileAttributesW(ExtendedPath(path).c_str()) == INVALID_FILE_ATTRIBUTES;
    if (gone) outcome.freedBytes += size;
    else ++outcome.keptNotRemoved;
    line = FormatText(gone ? lines.deleted
                           : (failed == 0 && operation.fAnyOperationsAborted ? lines.notRecycled : lines.notRemoved),
                      {path});
    return gone;
}

// The session ends: the file under way is finished, the pass's record written, then the run ends.
void CleaningPage::EndSession() {
    if (!run.Stop()) return;
    run.Join();
}

void CleaningPage::Stop() {
    if (ShowMessage(hwnd, "_StopCleanConfirm", MB_OKCANCEL) != IDOK) return;
    run.Stop();
}

// The end steps, on the UI thread, whichever way the run ended.
void CleaningPage::OnEnd(RunEnd end) {
    KillTimer(hwnd, kProgressTimer);
    ShutdownBlockReasonDestroy(owner);
    EnableWindow(Item(IDC_CLEANING_STOP), FALSE);
    std::string state;
    if (end == RunEnd::Finished) {
        state = outcome.keptNoBackup
                    ? FormatText(Language().Lookup("_CleaningPageStateCompleteKept"),
                                 {static_cast<long long>(outcome.keptNoBackup)})
                    : Language().Lookup("_CleaningPageStateComplete");
    } else {
        outcome.stopped = true;  // the worker, if still there, no longer reads or writes this flag
        SendMessageA(Item(IDC_CLEANING_PROGRESS), PBM_SETPOS, 0, 0);
        state = Language().Lookup(end == RunEnd::NotStarted ? "_ThreadNotStarted" : "_CleaningPageStateStopped");
    }
    SetDlgItemTextA(hwnd, IDC_CLEANING_STATE, state.c_str());
    if (finishedCallback) finishedCallback();
}
