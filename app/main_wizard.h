// The program's only top-level window: menu, page area, Help/Back/Next/Cancel, ten pages.
#pragma once
#include <windows.h>

#include <optional>
#include <vector>

#include "app/page_host.h"
#include "app/welcome_page.h"
#include "base/cleaning_lock.h"
#include "clean/cleaning_page.h"
#include "clean/results_page.h"
#include "scan/report_page.h"
#include "scan/scan_page.h"
#include "settings/clean_options_page.h"
#include "settings/folder_page.h"
#include "settings/junk_files_page.h"
#include "settings/options_page.h"
#include "settings/settings_store.h"
#include "settings/skip_folders_page.h"
#include "ui/dialog.h"

// The quit request's value when the user closes the wizard: the program's exit code.
constexpr int kClosedExitCode = 2;

class MainWizard : public Dialog {
public:
    MainWizard();
    ~MainWizard() override;

    void ShowPage(int index) { host.ShowPage(index); }
    void UpdateButtons(int index);
    int CurrentPage() const { return host.Current(); }
    // What the settings pages show now, as the next scan takes it.
    ScanSettings GatherScanSettings() const;

    // Loaded once as the window opens, read and written by the settings pages, saved once when
    // the last of them has written its section. Declared before the pages, which point to it.
    ConfigDocument config;
    WelcomePage welcomePage;
    FolderPage folderPage;
    JunkFilesPage junkFilesPage;
    OptionsPage optionsPage;
    SkipFoldersPage skipFoldersPage;
    ScanPage scanPage;
    ReportPage reportPage;
    CleanOptionsPage cleanOptionsPage;
    CleaningPage cleaningPage;
    ResultsPage resultsPage;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroyed() override;

private:
    void OnWorkerFinished();
    void KeepFocusUsable();
    bool WorkerRuns() const;
    void OnCancel();
    // A question or refusal owned by the wizard; the requests its loop delivers meanwhile do nothing.
    int Ask(const std::string& text, UINT buttons);
    bool ConfirmsRemoval(const CleanOptions& options, const CleanFiles& files);
    void OnBack();
    void OnNext();
    void OnHelp();
    void OnWebsite();
    void OnContactUs();
    void OnRescueManager();
    void OnClearTypedUrls();
    void OnLogViewer();
    void OnAbout();

    PageHost host;
    bool asking = false;
    // The machine's one cleaning: held from the start of ours until its worker has left.
    std::optional<CleaningLock> cleaningLock;
};
