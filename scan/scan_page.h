// Page 5: a scan job run on the page's worker, each folder's state, the path being searched and the
// running count.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/job_progress.h"
#include "base/worker_run.h"
#include "scan/scan_job.h"
#include "ui/wizard_page.h"

class ScanPage : public WizardPage {
public:
    ScanPage();
    ~ScanPage() override;

    // Takes the settings and, when no scan runs, starts one; a running scan is left alone.
    void StartScan(const ScanSettings& settings);
    bool IsRunning() const { return run.IsRunning(); }

    // Called once per scan, on the UI thread, when it ends, is stopped or cannot start.
    std::function<void()> finishedCallback;
    // Handed to each scan job: where a test holds a running scan still.
    std::function<void(std::size_t index, const std::atomic<bool>& stop)> beforeFolder;
    FoundList found;  // whole once the scan ended; what was found until the stop after one

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    void ShowProgress();
    void OnEnd(RunEnd end);
    void StopScan();
    std::string CountLine(std::size_t count) const;

    WorkerRun run;
    // The running job and its progress belong to the worker until its thread has left.
    std::unique_ptr<ScanJob> job;
    std::unique_ptr<JobProgress> progress;
    unsigned shownStage = 0;
    std::size_t shownNotes = 0;
    std::size_t shownCount = 0;
    std::string shownLatest;
};
