// Page 8: the cleaning run with its state line, progress bar and Stop button.
#pragma once
#include <windows.h>

#include <functional>

#include "base/worker_run.h"
#include "ui/wizard_page.h"

class CleaningPage : public WizardPage {
public:
    CleaningPage();

    bool IsRunning() const { return run.IsRunning(); }

    // Called once per cleaning, on the UI thread, when it ends or is stopped.
    std::function<void()> finishedCallback;

private:
    WorkerRun run;
};
