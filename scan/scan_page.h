// Page 5: the scan run on its worker thread, each folder's state, the path being searched and the
// running count.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "base/win_handles.h"
#include "scan/file_scanner.h"
#include "ui/wizard_page.h"

class ScanPage : public WizardPage {
public:
    using FinishedCallback = void (*)(void* context);

    ScanPage();
    ~ScanPage() override;

    // Takes the settings and, when no worker runs, starts one; a running scan is left alone.
    void StartScan(const ScanSettings& newSettings);
    // A worker runs exactly while its handle is set.
    bool IsRunning() const { return worker.load() != nullptr; }
    // Waits for a worker that is ending on its own (tests, and the stop that comes too late).
    void WaitForWorker();

    FinishedCallback finishedCallback = nullptr;
    void* finishedContext = nullptr;
    ScanSettings settings;  // written only while no worker runs
    FoundList found;        // written only by the worker; read after it ended

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;
    // On the worker, once a chosen folder's row reads "searching" and before its search starts:
    // the one place where a test can hold a running scan still.
    virtual void BeforeFolder(size_t /*index*/) {}
    bool StopRequested() const { return stopRequested; }

private:
    enum class RunState { Idle, Running, Ending };
    static unsigned __stdcall ScanWorker(void* page);
    static void OnFolder(const std::string& path, const WIN32_FIND_DATAA& entry, void* page);
    static void OnFound(const std::string& path, const std::string& reason, const WIN32_FIND_DATAA& entry,
                        void* page);
    void Run();
    void SearchSpecialFolders();
    void ShowProgress(bool force);
    void SetRowState(size_t row, const char* stateKey);
    void StopScan();
    void StopWorker();
    std::string CountLine() const;

    std::atomic<HANDLE> worker{nullptr};
    UniqueHandle thread;  // the UI thread's own reference, for waiting until the thread is gone
    std::atomic<bool> stopRequested{false};
    std::atomic<RunState> runState{RunState::Idle};

    // Worker-side progress, shown at a steady human rate rather than for every entry.
    std::string latestPath;
    ULONGLONG lastShown = 0;
};
