// Page 5: the scan run on its worker thread, each folder's state, the path being searched and the
// running count.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "base/worker_run.h"
#include "scan/file_scanner.h"
#include "ui/wizard_page.h"

struct KnownFolders;

class ScanPage : public WizardPage {
public:
    ScanPage();
    ~ScanPage() override;

    // Takes the settings and, when no scan runs, starts one; a running scan is left alone.
    void StartScan(const ScanSettings& newSettings);
    bool IsRunning() const { return run.IsRunning(); }

    // Called once per scan, on the UI thread, when it ends, is stopped or cannot start.
    std::function<void()> finishedCallback;
    ScanSettings settings;  // written only while no worker runs
    FoundList found;        // filled on the UI thread from the worker's reports; whole once the scan ended

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;

    // On the worker, once a chosen folder's row reads "searching" and before its search starts:
    // the one place where a test can hold a running scan still.
    virtual void BeforeFolder(size_t /*index*/) {}
    bool StopRequested() const { return run.StopRequested(); }
    // Worker side: a file found, and the hand-over of what was found since the last one.
    void AddFound(const std::string& path, const std::string& reason);
    void ShowProgress(bool force);

private:
    static void OnFolder(const std::string& path, const WIN32_FIND_DATAA& entry, void* page);
    static void OnFound(const std::string& path, const std::string& reason, const WIN32_FIND_DATAA& entry,
                        void* page);
    void Run();
    void SearchSpecialFolders(const KnownFolders& known, const ProtectedPaths& protectedPaths);
    void SetRowState(size_t row, const char* stateKey);
    void OnEnd(RunEnd end);
    void StopScan();
    std::string CountLine() const;

    WorkerRun run;
    // Worker side: what was found since the last hand-over, the newest path, and the reason texts
    // (few, repeated for thousands of files: each is looked up once per scan).
    FoundList pending;
    std::string latestPath;
    ULONGLONG lastShown = 0;
    std::map<std::string, std::string> reasonTexts;
};
