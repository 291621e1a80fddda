// The rescue manager: the backup sets of a directory, restored on a worker or deleted.
#pragma once
#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/cleaning_lock.h"
#include "base/worker_run.h"
#include "clean/backup_set.h"
#include "clean/restore_run.h"
#include "ui/dialog.h"

class RescueDialog : public Dialog {
public:
    RescueDialog(std::string backupDirectory, RestoreGuard mayWrite);
    ~RescueDialog() override;

    // A restore or a delete under way: the buttons are off and the dialog will not close.
    bool IsBusy() const { return busy; }
    // Handed to each restore job: where a test holds a running restore still.
    decltype(RestoreJob::beforeFile) beforeFile;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    void FillSetList();
    void OnBrowse();
    void OnDelete();
    void OnRestore();
    void OnCancel();
    int SelectedSet();  // the row, or -1 after telling the user to pick one
    void SetBusy(bool isBusy);
    void SetState(const std::string& text);
    void ShowProgress();
    void OnEnd(RunEnd end, const std::string& failure);

    std::string backupDirectory;
    RestoreGuard mayWrite;
    std::vector<BackupSet> sets;  // row i shows sets[i]
    bool busy = false;
    WorkerRun run;
    std::optional<CleaningLock> restoreLock;  // from the restore's start until its worker has left
    // The running job and its progress belong to the worker until its thread has left.
    std::unique_ptr<RestoreJob> job;
    std::unique_ptr<JobProgress> progress;
    unsigned shownStage = 0;
};
