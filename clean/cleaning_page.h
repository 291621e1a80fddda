// Page 8: the cleaning run on its worker thread, a backup pass and a removal pass, with the state
// line, the progress bar and Stop.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "base/file_proof.h"
#include "base/worker_run.h"
#include "clean/log_client.h"
#include "ui/wizard_page.h"



// What one cleaning did, for the results page. Files are counted once, by the first reason they
// were kept for.
struct CleaningOutcome {
    bool ran = false;
    bool stopped = false;
    bool recycled = false;           // moved to the recycle bin: nothing is freed until it is emptied
    std::size_t removed = 0;
    std::uint64_t freedBytes = 0;    // of the removed files, freed or moved to the bin
    std::size_t keptNoBackup = 0;    // the backup copy failed, so the file was not removed
    std::size_t keptChanged = 0;     // changed since the scan, or no longer the plain file it was
    std::size_t keptAtRestart = 0;   // in use: registered for deletion at the next restart
    std::size_t keptInUse = 0;       // in use, and no registration for the restart could be made
    std::size_t keptReadOnly = 0;
    std::size_t keptDenied = 0;      // access denied
    std::size_t keptNotRemoved = 0;  // the removal failed otherwise, or the recycle bin could not take it
    bool logMissing = false;         // no log component: nothing of the cleaning was recorded
    bool logFailed = false;          // a record could not be written
    std::string setFolder;           // the backup set, when a copy went into it

    std::size_t Kept() const {
        return keptNoBackup + keptChanged + keptAtRestart + keptInUse + keptReadOnly + keptDenied + keptNotRemoved;
    }
};

class CleaningPage : public WizardPage {
public:
    enum class Pass { Backup, Removal };
    CleaningPage();
    ~CleaningPage() override;

    // The hand-over; written only while no worker runs.
    bool permanentlyDelete = true;
    bool moveToRecycleBin = false;
    bool backup = false;
    std::string backupDirectory;
    CleanFiles files;

    // Starts a cleaning of files when none runs; a running one is left alone.
    void Start();
    bool IsRunning() const { return run.IsRunning(); }
    // Waits for a stopped worker to finish its file, then what the last cleaning did.
    CleaningOutcome Outcome();
    // The Windows session is ending: stops between two files and waits until the records are written.
    void EndSession();

    // Called once per cleaning, on the UI thread, when it ends, is stopped or cannot start.
    std::function<void()> finishedCallback;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

    // On the worker, before each file of a pass: where a test holds a running cleaning still.
    virtual void BeforeFile(Pass /*pass*/, std::size_t /*index*/) {}
    // On the worker, once per part of a pass's record (a short pass has one, after its last file
    // or the last before a stop). False when the record could not be written.
    virtual bool WriteRecord(LogClient& log, const char* actionKey, const std::string& text);
    bool StopRequested() const { return run.StopRequested(); }

private:
    void Run();
    // Copies every file into the set; marks in keep the files that must not be removed.
    void BackupPass(LogClient& log, std::vector<char>& keep);
    void RemovalPass(LogClient& log, std::vector<char>& keep);
    // The removal's log lines, looked up once per pass: each lookup reads the language file.
    struct RemovalLines {
        std::string deleted, atRestart, notRemoved, noRecycleBin, notRecycled, changed, inUse, readOnly, denied;
    };
    // Whether the drive of a path has a recycle bin.
    class RecycleBins {
    public:
        bool Takes(const std::string& path);

    private:
        std::map<std::wstring, bool> drives;
        std::string lastFolder;
        bool lastTakes = false;
    };
    bool RemoveFile(const std::string& path, const CheckedFile& file, const RemovalLines& lines, RecycleBins& bins,
                    std::string& line);
    void KeepRefused(const std::string& path, DWORD error, const RemovalLines& lines, std::string& line);
    PassRecord Record(LogClient& log, const char* headerKey, const char* actionKey);
    void FinishRecord(PassRecord& record);
    void BeginPass(const char* stateKey);
    void ShowProgress(std::size_t position, bool force);
    void MoveBar();
    void OnEnd(RunEnd end);
    void Stop();

    WorkerRun run;
    CleaningOutcome outcome;  // the worker's until its thread has left
    std::atomic<std::size_t> progress{0};  // files done in the current pass, from the worker
    std::size_t shownPosition = 0;
    HWND owner = nullptr;  // of the shell's question before a delete for good
};
