// The rescue manager: the backup sets of a directory, restored on a worker or deleted.
#pragma once
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/cleaning_lock.h"
#include "base/worker_run.h"
#include "clean/backup_set.h"
#include "clean/restore_run.h"
#include "ui/dialog.h"

class LogClient;

class RescueDialog : public Dialog {
public:
    RescueDialog(std::string backupDirectory, RestoreGuard mayWrite);
    ~RescueDialog() override;

    // A restore or a delete under way: the buttons are off and the dialog will not close.
    bool IsBusy() const { return busy; }

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;

    // On the worker, before each file of a restore: where a test holds a running restore still.
    virtual void BeforeFile(std::size_t /*index*/) {}
    virtual void WriteRecord(LogClient& log, const char* actionKey, const std::string& text);
    bool StopRequested() const { return run.StopRequested(); }

private:
    void FillSetList();
    void OnBrowse();
    void OnDelete();
    void OnRestore();
    void OnCancel();
    int SelectedSet();  // the row, or -1 after telling the user to pick one
    void SetBusy(bool isBusy);
    void SetState(const std::string& text);
    void Run();
    void OnEnd(RunEnd end, const std::string& failure);

    std::string backupDirectory;
    RestoreGuard mayWrite;
    std::vector<BackupSet> sets;  // row i shows sets[i]
    bool busy = false;
    WorkerRun run;
    std::optional<CleaningLock> restoreLock;  // from the restore's start until its worker has left
    // The hand-over to the worker, written only while none runs, and what it did, read after.
    std::string restoreSet;
    std::size_t notRestored = 0;
};
