// Page 8: a cleaning job run on the page's worker, with the state line, the progress bar and Stop.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "base/job_progress.h"
#include "base/worker_run.h"
#include "clean/cleaning_job.h"
#include "ui/wizard_page.h"

class CleaningPage : public WizardPage {
public:
    CleaningPage();
    ~CleaningPage() override;

    // Starts a cleaning when none runs; a running one is left alone. The request's owner is the
    // wizard, over which the shell may ask before it deletes for good.
    void Start(CleaningRequest request);
    bool IsRunning() const { return run.IsRunning(); }
    // Waits for a stopped worker to finish its file, then what the last cleaning did.
    CleaningOutcome Outcome();
    // The Windows session is ending: stops between two files and waits until the records are written.
    void EndSession();

    // Called once per cleaning, on the UI thread, when it ends, is stopped or cannot start.
    std::function<void()> finishedCallback;
    // Handed to each job: where a test holds a running cleaning still.
    decltype(CleaningJob::beforeFile) beforeFile;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    void ShowProgress();
    void OnEnd(RunEnd end);
    void Stop();

    WorkerRun run;
    // The running job, its progress and its log belong to the worker until its thread has left.
    std::unique_ptr<CleaningJob> job;
    std::unique_ptr<JobProgress> progress;
    bool stopped = false;
    unsigned shownStage = 0;
    std::size_t shownPosition = 0;
    HWND owner = nullptr;
};
