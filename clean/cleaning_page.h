// Page 8: the cleaning run with its state line, progress bar and Stop button.
#pragma once
#include <windows.h>

#include <atomic>

#include "ui/wizard_page.h"

class CleaningPage : public WizardPage {
public:
    using FinishedCallback = void (*)(void* context);

    CleaningPage();

    bool IsRunning() const { return worker.load() != nullptr; }

    FinishedCallback finishedCallback = nullptr;
    void* finishedContext = nullptr;

private:
    std::atomic<HANDLE> worker{nullptr};
};
