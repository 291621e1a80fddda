// Letting a scan worker run from a test: its synchronous messages are delivered here.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class MainWizard;

// Delivers the worker's sent messages one wait at a time until the condition holds (false on timeout).
bool StepWorkerUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);
// Pumps every message until the condition holds (false on timeout).
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 60000);

// Points a value of the current user's shell folders at a path for its lifetime.
class ShellFolderOverride {
public:
    ShellFolderOverride(const char* value, const std::string& path);
    ~ShellFolderOverride();

    struct SavedValue {
        bool existed = false;
        unsigned long type = 1;  // REG_SZ
        std::string data;
    };

private:
    std::string value;
    SavedValue saved[2];
};

// Keeps a wizard's scan inside the given folders: they become the folder page's checked roots and
// no special folder (temporary files, the browser's folders) is searched.
void ScanOnly(MainWizard& wizard, const std::vector<std::string>& roots);

// For its lifetime, every worker that starts waits before its first line until Release().
class HeldWorkers {
public:
    HeldWorkers();
    ~HeldWorkers();  // releases them
    HeldWorkers(const HeldWorkers&) = delete;
    HeldWorkers& operator=(const HeldWorkers&) = delete;
    void Release();
};

// Holds one worker at a point of the test's choosing: the worker calls Hold there, the test waits
// until it is held and lets it go. A held worker also leaves when its run is stopped.
class WorkerGate {
public:
    WorkerGate();
    ~WorkerGate();
    WorkerGate(const WorkerGate&) = delete;
    WorkerGate& operator=(const WorkerGate&) = delete;
    void Arm();  // before the run reaches the point
    bool WaitUntilHeld();
    void Release();
    void Hold(const std::function<bool()>& stopRequested);  // on the worker

private:
    HANDLE reached;
    HANDLE released;
};
