// Page 5: the scan run, its folders' states, the path being searched and the running count.
#pragma once
#include <windows.h>

#include <atomic>

#include "app/wizard_page.h"
#include "scan/file_scanner.h"

class ScanPage : public WizardPage {
public:
    using FinishedCallback = void (*)(void* context);

    ScanPage();
    ~ScanPage() override;

    // A worker runs exactly while its handle is set.
    bool IsRunning() const { return worker.load() != nullptr; }

    FinishedCallback finishedCallback = nullptr;
    void* finishedContext = nullptr;
    ScanSettings settings;
    FoundList found;

protected:
    bool OnInit() override;

private:
    std::atomic<HANDLE> worker{nullptr};
};
