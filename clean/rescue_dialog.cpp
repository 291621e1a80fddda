#include "clean/rescue_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "base/failure.h"
#include "base/file_proof.h"
#include "base/program_paths.h"
#include "base/text_format.h"
#include "clean/log_client.h"
#include "res/resource.h"
#include "ui/folder_browser.h"
#include "ui/language_table.h"
#include "ui/list_view.h"
#include "ui/message_box.h"
#include "ui/progress_bar.h"

namespace {
constexpr UINT_PTR kProgressTimer = 1;
constexpr int kBusyButtons[] = {IDC_RESCUE_RESTORE, IDC_RESCUE_BROWSE, IDC_RESCUE_DELETE};

}  // namespace

RescueDialog::RescueDialog(std::string backupDirectory, RestoreGuard mayWrite)
    : Dialog(IDD_RESCUE_DIALOG), backupDirectory(std::move(backupDirectory)), mayWrite(std::move(mayWrite)) {}

RescueDialog::~RescueDialog() { DestroyNow(); }

bool RescueDialog::OnInit() {
    CenterWindow(hwnd);
    static constexpr ListColumn columns[] = {{"_RescueDialogListColDate", 450}};
    SetUpListColumns(Item(IDC_RESCUE_LIST), columns, 1, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    Language().TranslateWindow(hwnd);
    // The directory is the user's text, not a key: set after the translation. Its change fills the list.
    SetDlgItemTextA(hwnd, IDC_RESCUE_DIRECTORY, backupDirectory.c_str());
    return true;
}

bool RescueDialog::OnCommand(int id, int code) {
    static constexpr CommandRoute<RescueDialog> routes[] = {
        {IDC_RESCUE_DIRECTORY, &RescueDialog::FillSetList, EN_CHANGE},
        {IDC_RESCUE_BROWSE, &RescueDialog::OnBrowse},
        {IDC_RESCUE_DELETE, &RescueDialog::OnDelete},
        {IDC_RESCUE_RESTORE, &RescueDialog::OnRestore},
        {IDCANCEL, &RescueDialog::OnCancel},
    };
    return Route(*this, routes, id, code);
}

// Only when the window goes without Cancel (its owner went): the worker leaves before its next
// file, so no copy is cut off and the set, not wholly restored, stays.
void RescueDialog::OnDestroy() {
    KillTimer(hwnd, kProgressTimer);
    run.Stop();
    run.Join();
}

// A relative or empty directory lists nothing: its sets would be wherever the current folder is.
void RescueDialog::FillSetList() {
    HWND list = Item(IDC_RESCUE_LIST);
    RedrawOff quiet(list);
    ListView_DeleteAllItems(list);
    std::string directory = WindowText(Item(IDC_RESCUE_DIRECTORY));
    sets = IsAbsolutePath(directory) ? BackupSet::ListSets(directory) : std::vector<BackupSet>{};
    const std::string format = Language().Lookup("_RescueDialogListItemFormat");
    for (std::size_t i = 0; i < sets.size(); ++i)
        AppendRow(list, {BackupSetRowText(format, sets[i])}, static_cast<LPARAM>(i));
}

void RescueDialog::OnBrowse() {
    if (std::optional<std::string> folder = BrowseForFolder())
        SetDlgItemTextA(hwnd, IDC_RESCUE_DIRECTORY, folder->c_str());
}

int RescueDialog::SelectedSet() {
    int row = SelectedRow(Item(IDC_RESCUE_LIST));
    if (row < 0 || static_cast<std::size_t>(row) >= sets.size()) {
        ShowMessage(hwnd, "_YouMustSelectAnItem");
        return -1;
    }
    return row;
}

void RescueDialog::SetBusy(bool isBusy) {
    busy = isBusy;
    for (int id : kBusyButtons) EnableWindow(Item(id), isBusy ? FALSE : TRUE);
}

void RescueDialog::SetState(const std::string& text) { SetDlgItemTextA(hwnd, IDC_RESCUE_STATE, text.c_str()); }

void RescueDialog::OnDelete() {
    int row = SelectedSet();
    if (row < 0 || ShowMessage(hwnd, "_AreYouSureDelteBackupFile", MB_YESNO) != IDYES) return;
    const CleaningLock lock;
    if (!lock.Taken()) {
        ShowMessage(hwnd, "_AnotherCleaningRuns");
        return;
    }
    SetBusy(true);
    const std::string path = sets[static_cast<std::size_t>(row)].path;
    LogClient log;
    PassText text("_LogRemoveRestorePointHeader");
    // A walk, never the shell's delete, which follows folder links out of the set.
    const bool gone = RemoveTree(path).left == 0;
    FillSetList();
    text.Add(FormatText(Language().Lookup(gone ? "_LogRemoveRestorePoint" : "_LogRemoveRestorePointFailed"), {path}), path);
    log.AddPassRecord("_LogLogCategoryRemoveRestorePoint", text.Text());
    SetBusy(false);
}

void RescueDialog::OnRestore() {
    int row = SelectedSet();
    if (row < 0) return;
    std::string question = FormatText(Language().Lookup("_RescueDialogResotoreConfirm"),
                                      {RowText(Item(IDC_RESCUE_LIST), row, 0)});
    if (ShowMessageText(hwnd, question, MB_YESNO) != IDYES || run.IsRunning()) return;
    restoreLock.emplace();
    if (!restoreLock->Taken()) {
        restoreLock.reset();
        ShowMessage(hwnd, "_AnotherCleaningRuns");
        return;
    }
    SetBusy(true);
    run.Join();  // a worker stopped earlier may still be leaving
    job = std::make_unique<RestoreJob>(sets[static_cast<std::size_t>(row)].path, mayWrite);
    job->beforeFile = beforeFile;
    progress = std::make_unique<JobProgress>();
    shownStage = 0;
    SendMessageA(Item(IDC_RESCUE_PROGRESS), PBM_SETPOS, 0, 0);
    SetState(Language().Lookup("_RescueDialogStateInitBackupFileList"));
    SetTimer(hwnd, kProgressTimer, kProgressMilliseconds, nullptr);
    run.Start(
        [this] {
            LogClient log;
            job->Run(run.StopFlag(), *progress, log);
        },
        [this](RunEnd end, const std::string& failure) { OnEnd(end, failure); });
}

bool RescueDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_TIMER && wParam == kProgressTimer) {
        if (run.IsRunning()) ShowProgress();
        result = 0;
        return true;
    }
    return Dialog::OnMessage(message, wParam, lParam, result);
}

void RescueDialog::ShowProgress() {
    const JobProgress::View view = progress->Read();
    HWND bar = Item(IDC_RESCUE_PROGRESS);
    if (view.stage != shownStage) {
        shownStage = view.stage;
        SetState(view.stageText);
        SetBarRange(bar, view.total);
    }
    SetBarPosition(bar, view.done);
}

// The end steps, on the dialog's thread. A stop comes only as the window goes: nothing to show.
void RescueDialog::OnEnd(RunEnd end, const std::string& failure) {
    KillTimer(hwnd, kProgressTimer);
    run.Join();  // the lock goes with the worker, which after a stop may still be finishing a file
    restoreLock.reset();
    if (end == RunEnd::Stopped) return;
    if (end == RunEnd::Finished) ShowProgress();
    const std::size_t notRestored = job->NotRestored();
    if (end == RunEnd::Failed) ReportFailure(hwnd, failure);
    FillSetList();
    if (end == RunEnd::NotStarted)
        SetState(Language().Lookup("_ThreadNotStarted"));
    else if (end == RunEnd::Finished && notRestored == 0)
        SetState(Language().Lookup("_RescueDialogStateRestoreComplete"));
    else if (end == RunEnd::Finished)
        SetState(FormatText(Language().Lookup("_RescueDialogStateRestoreKept"), {static_cast<long long>(notRestored)}));
    SetBusy(false);
}

void RescueDialog::OnCancel() {
    if (busy) {
        ShowMessage(hwnd, "_CancelRequestThreadExit");
        return;
    }
    Close(IDCANCEL);
}
