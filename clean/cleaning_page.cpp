#include "clean/cleaning_page.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/ansi.h"
#include "base/failure.h"
#include "base/file_names.h"
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

std::uint64_t SizeOf(const WIN32_FILE_ATTRIBUTE_DATA& data) {
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The run touches only what the scan found: a plain file at the very path, reached through plain
// folders. A path that turned into a folder, a junction or a link since the scan is left alone,
// and so is a name Windows cannot hold (it may stand for another file). The folder chain is
// checked once per folder: the files come sorted, so a folder's files follow one another.
class PlainFiles {
public:
    std::optional<WIN32_FILE_ATTRIBUTE_DATA> Check(const std::string& path) {
        size_t slash = path.rfind('\\');
        if (slash == std::string::npos || !IsAbsolutePath(path) || !WindowsCanHoldName(path.substr(slash + 1)))
            return std::nullopt;
        std::string folder = path.substr(0, slash);
        if (folder != lastFolder) {
            lastFolder = folder;
            folderPlain = PlainFolderChain(folder);
        }
        if (!folderPlain) return std::nullopt;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) return std::nullopt;
        return data;
    }

private:
    static bool PlainFolderChain(const std::string& folder) {
        size_t start = folder[0] == '\\' ? folder.find('\\', folder.find('\\', 2) + 1) : 2;  // past the share or drive
        for (size_t i = start; i != std::string::npos; i = folder.find('\\', i + 1)) {
            size_t end = folder.find('\\', i + 1);
            std::string prefix = folder.substr(0, end);
            if (prefix.size() <= i + 1) continue;
            DWORD attributes = GetFileAttributesW(ExtendedPath(prefix).c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
                (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                return false;
            if (end == std::string::npos) break;
        }
        return true;
    }

    std::string lastFolder;
    bool folderPlain = false;
};

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
    std::vector<char> keep(files.size(), 0);
    if (backup) BackupPass(log, keep);
    if (StopRequested()) return;
    if (permanentlyDelete || moveToRecycleBin) RemovalPass(log, keep);
}

void CleaningPage::WriteRecord(LogClient& log, const char* actionKey, const std::string& text) {
    log.AddPassRecord(actionKey, text);
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
    PassText text("_LogBackupFilesHeader");
    const std::string saved = Language().Lookup("_LogSaveFile");
    const std::string copyFailed = Language().Lookup("_LogCopyFailed");
    const std::string changed = Language().Lookup("_LogKeptChanged");
    const bool usable = IsAbsolutePath(backupDirectory);
    SYSTEMTIME now{};
    GetLocalTime(&now);  // once: the whole run writes into one set
    const std::string setFolder = BackupSet::SetFolderPath(backupDirectory, now);
    PlainFiles plain;
    std::string madeFolder;
    std::size_t index = 0;
    for (const auto& [path, reason] : files) {
        BeforeFile(Pass::Backup, index);
        if (StopRequested()) break;  // between files only: a copy or a removal is never cut off
        if (!plain.Check(path)) {
            keep[index] = kKeptChanged;
            ++outcome.keptChanged;
            text.Add(FormatText(changed, {path}));
        } else {
            std::string copy = BackupSet::CopyPathInSet(setFolder, path);
            bool copied = false;
            if (usable) {
                std::string folder = ParentFolder(copy);
                if (folder != madeFolder) {
                    MakeFolders(folder + "\\");
                    madeFolder = folder;
                }
                copied = CopyFileW(ExtendedPath(path).c_str(), ExtendedPath(copy).c_str(), FALSE);
                if (!copied) madeFolder.clear();  // the folder may have gone: made again for the next file
            }
            if (copied) {
                outcome.setFolder = setFolder;
                text.Add(FormatText(saved, {path, copy}));
            } else {
                keep[index] = kKeptNoBackup;
                ++outcome.keptNoBackup;
                text.Add(FormatText(copyFailed, {path, usable ? copy : backupDirectory}));
            }
        }
        ShowProgress(++index, false);
    }
    ShowProgress(index, true);
    WriteRecord(log, "_LogLogCategoryBackup", text.Text());
}

void CleaningPage::RemovalPass(LogClient& log, std::vector<char>& keep) {
    BeginPass(permanentlyDelete ? "_CleaningPageStatePermanentlyDelete" : "_CleaningPageStateMoveToRecycleBin");
    PassText text(permanentlyDelete ? "_LogPermanentlyDeleteFilesHeader" : "_LogRemoveToRecyclebinFilesHeader");
    const std::string noBackup = Language().Lookup("_LogKeptNoBackup");
    const std::string changed = Language().Lookup("_LogKeptChanged");
    const RemovalLines lines{Language().Lookup("_LogDeleteFile"), Language().Lookup("_LogDeleteAtRestart"),
                             Language().Lookup("_LogKeptNotRemoved"), Language().Lookup("_LogKeptNoRecycleBin"),
                             Language().Lookup("_LogKeptNotRecycled")};
    PlainFiles plain;
    RecycleBins bins;
    std::size_t index = 0;
    for (const auto& [path, reason] : files) {
        BeforeFile(Pass::Removal, index);
        if (StopRequested()) break;  // between files only: a copy or a removal is never cut off
        if (keep[index]) {
            // Kept by the backup pass, counted and logged there; said again beside the removals.
            text.Add(FormatText(keep[index] == kKeptNoBackup ? noBackup : changed, {path}));
        } else if (std::optional<WIN32_FILE_ATTRIBUTE_DATA> data = plain.Check(path)) {
            std::string line;
            if (RemoveFile(path, lines, bins, line)) {
                ++outcome.removed;
                outcome.freedBytes += SizeOf(*data);
            }
            text.Add(line);
        } else {
            ++outcome.keptChanged;
            text.Add(FormatText(changed, {path}));
        }
        ShowProgress(++index, false);
    }
    ShowProgress(index, true);
    WriteRecord(log, "_LogLogCategoryDelete", text.Text());
}

bool CleaningPage::RemoveFile(const std::string& path, const RemovalLines& lines, RecycleBins& bins,
                              std::string& line) {
    const std::wstring wide = ExtendedPath(path);
    if (permanentlyDelete) {
        if (DeleteFileW(wide.c_str())) {
            line = FormatText(lines.deleted, {path});
            return true;
        }
        if (MoveFileExW(wide.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
            ++outcome.keptAtRestart;
            line = FormatText(lines.atRestart, {path});
        } else {
            ++outcome.keptNotRemoved;
            line = FormatText(lines.notRemoved, {path});
        }
        return false;
    }
    // A drive without a recycle bin would have the shell delete for good what it was asked to
    // recycle, without a word: such files stay.
    if (path.size() >= MAX_PATH || !bins.Takes(path)) {  // the shell takes no longer paths
        ++outcome.keptNotRemoved;
        line = FormatText(path.size() >= MAX_PATH ? lines.notRemoved : lines.noRecycleBin, {path});
        return false;
    }
    // The shell's delete with undo and no progress window: to the recycle bin. For a file the bin
    // cannot take (too large for it, say) the shell asks before it deletes for good; a No keeps it.
    std::wstring source = ToWide(path);
    source.append(2, L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = source.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_WANTNUKEWARNING;
    int failed = SHFileOperationW(&operation);
    bool gone = GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
    if (!gone) ++outcome.keptNotRemoved;
    line = FormatText(gone ? lines.deleted
                           : (failed == 0 && operation.fAnyOperationsAborted ? lines.notRecycled : lines.notRemoved),
                      {path});
    return gone;
}

void CleaningPage::Stop() {
    if (ShowMessage(hwnd, "_StopCleanConfirm", MB_OKCANCEL) != IDOK) return;
    run.Stop();
}

// The end steps, on the UI thread, whichever way the run ended.
void CleaningPage::OnEnd(RunEnd end) {
    KillTimer(hwnd, kProgressTimer);
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
