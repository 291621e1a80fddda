#include "app/main_wizard.h"

#include <commctrl.h>
#include <shellapi.h>

#include <utility>

#include "app/about_dialog.h"
#include "app/web_links.h"
#include "app/wizard_navigation.h"
#include "base/program_paths.h"
#include "base/version_info.h"
#include "clean/log_client.h"
#include "clean/rescue_dialog.h"
#include "clean/typed_urls_dialog.h"
#include "res/resource.h"
#include "scan/file_scanner.h"
#include "scan/protected_paths.h"
#include "settings/scan_config.h"
#include "ui/language_table.h"
#include "ui/message_box.h"
#include "ui/skin_library.h"

MainWizard::MainWizard() : Dialog(IDD_MAIN_WIZARD) {}

// The pages save their settings as their windows go: that needs every object still whole.
MainWizard::~MainWizard() { DestroyNow(); }

bool MainWizard::OnInit() {
    CenterWindow(hwnd);
    Language().TranslateWindow(hwnd);
    Language().TranslateMenu(GetMenu(hwnd));
    DrawMenuBar(hwnd);
    Skin().SkinWindow(hwnd, "MainFrame");
    Skin().SetDialogSkin("Dialog");

    config.Open();
    for (SettingsPage* page : std::initializer_list<SettingsPage*>{&junkFilesPage, &optionsPage, &skipFoldersPage,
                                                                   &cleanOptionsPage})
        page->UseConfig(&config);
    HWND area = Item(IDC_WIZARD_PANE);
    host.Attach(area);
    WizardPage* pages[] = {&welcomePage, &folderPage,   &junkFilesPage,    &optionsPage,  &skipFoldersPage,
                           &scanPage,    &reportPage,   &cleanOptionsPage, &cleaningPage, &resultsPage};
    for (WizardPage* page : pages) host.Add(page->CreateModeless(area));

    ShowPage(kWelcomePage);
    UpdateButtons(kWelcomePage);
    SendMessageA(hwnd, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDI_TIDYHOLD))));
    SetWindowTextA(hwnd, ProductTitle().c_str());
    // The first key goes to Next, not to Help, the first button in tab order.
    SendMessageA(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_WIZARD_NEXT)), TRUE);
    return false;
}

// The pages are child windows, so each has written its section by now. A file that did not load
// is not written.
void MainWizard::OnDestroyed() { config.Save(); }

// Enter presses the default button: Next, which does nothing while it is off, and Finish on the last
// page, where Next is hidden.
void MainWizard::UpdateButtons(int index) {
    std::optional<ButtonRow> row = ButtonsFor(index);
    if (!row) return;
    EnableWindow(Item(IDC_WIZARD_HELP), TRUE);
    EnableWindow(Item(IDC_WIZARD_CANCEL), TRUE);
    if (row->final) {
        ShowWindow(Item(IDC_WIZARD_BACK), SW_HIDE);
        ShowWindow(Item(IDC_WIZARD_NEXT), SW_HIDE);
        SetWindowTextA(Item(IDC_WIZARD_CANCEL), Language().Lookup("_FinishButton").c_str());
        SendMessageA(hwnd, DM_SETDEFID, IDC_WIZARD_CANCEL, 0);
    } else {
        EnableWindow(Item(IDC_WIZARD_BACK), row->backEnabled);
        EnableWindow(Item(IDC_WIZARD_NEXT), row->nextEnabled);
        SendMessageA(hwnd, DM_SETDEFID, IDC_WIZARD_NEXT, 0);
    }
    KeepFocusUsable();
}

void MainWizard::OnWorkerFinished() {
    if (cleaningLock && !cleaningPage.IsRunning()) {
        cleaningPage.Outcome();  // joins the worker, which may still be finishing a file after a stop
        cleaningLock.reset();
    }
    EnableWindow(Item(IDC_WIZARD_BACK), TRUE);
    EnableWindow(Item(IDC_WIZARD_NEXT), TRUE);
    KeepFocusUsable();
}

namespace {

bool Usable(HWND control) { return control && IsWindowVisible(control) && IsWindowEnabled(control); }

HWND FirstTabStop(HWND page) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) && Usable(child)) return child;
    return nullptr;
}

}  // namespace

// Keys go to the focus: it never stays behind on a page that went away or on a button that went
// off, but moves to the shown page's first control, else to Next, else to Cancel.
void MainWizard::KeepFocusUsable() {
    if (!IsWindowVisible(hwnd)) return;  // the first showing focuses as dialogs do
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd, focus) && Usable(focus)) return;
    HWND target = FirstTabStop(host.Page(host.Current()));
    for (int id : {IDC_WIZARD_NEXT, IDC_WIZARD_CANCEL})
        if (!target && Usable(Item(id))) target = Item(id);
    if (target) SendMessageA(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

bool MainWizard::OnCommand(int id, int code) {
    static constexpr CommandRoute<MainWizard> routes[] = {
        {IDC_WIZARD_CANCEL, &MainWizard::OnCancel},  // also File > Exit and the close box
        {IDC_WIZARD_HELP, &MainWizard::OnHelp},      // also Help > Contents
        {IDC_WIZARD_BACK, &MainWizard::OnBack},
        {IDC_WIZARD_NEXT, &MainWizard::OnNext},
        {IDM_RESCUE_MANAGER, &MainWizard::OnRescueManager},
        {IDM_CLEAR_TYPED_URLS, &MainWizard::OnClearTypedUrls},
        {IDM_JOTBOOK, &MainWizard::OnLogViewer},
        {IDM_WEBSITE, &MainWizard::OnWebsite},
        {IDM_CONTACT_US, &MainWizard::OnContactUs},
        {IDM_ABOUT, &MainWizard::OnAbout},
    };
    return Route(*this, routes, id, code);
}

bool MainWizard::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message == WM_INITMENUPOPUP) {
        // The sets may be the ones a cleaning is writing: no restore or delete beside a worker.
        const HMENU menu = reinterpret_cast<HMENU>(wParam);
        EnableMenuItem(menu, IDM_RESCUE_MANAGER, MF_BYCOMMAND | (WorkerRuns() ? MF_GRAYED : MF_ENABLED));
        EnableMenuItem(menu, IDM_JOTBOOK, MF_BYCOMMAND | (LogComponentRegistered() ? MF_ENABLED : MF_GRAYED));
        result = 0;
        return true;
    }
    // A logoff or shutdown waits while files are cleaned; when it comes anyway, the cleaning stops
    // between two files and its records are written before the session goes.
    if (message == WM_QUERYENDSESSION) {
        result = cleaningPage.IsRunning() ? FALSE : TRUE;
        return true;
    }
    if (message == WM_ENDSESSION) {
        if (wParam) cleaningPage.EndSession();
        result = 0;
        return true;
    }
    if (message != WM_CLOSE) return false;
    OnCancel();
    result = 0;
    return true;
}

void MainWizard::OnCancel() {
    if (asking) return;  // close requests pile up behind the open box: its answer decides
    // A cleaning is refused like a scan: a copy or a deletion is never cut off half-way.
    if (WorkerRuns()) {
        Ask(Language().Lookup(scanPage.IsRunning() ? "_ExitProramRequestCancelScanThread" : "_CancelRequestThreadExit"),
            MB_OK);
        return;
    }
    if (AsksBeforeClosing(host.Current(), reportPage.LeaveReport()) &&
        Ask(Language().Lookup("_CloseFoundListConfirm"), MB_YESNO) != IDYES)
        return;
    DestroyWindow(hwnd);
    PostQuitMessage(kClosedExitCode);
}

int MainWizard::Ask(const std::string& text, UINT buttons) {
    struct Asking {
        explicit Asking(bool& flag) : flag(flag) { flag = true; }
        ~Asking() { flag = false; }
        bool& flag;
    } asked(asking);
    return ShowMessageText(hwnd, text, buttons);
}

// No is the default: the Enter that started the cleaning, pressed once more, keeps the files.
bool MainWizard::ConfirmsRemoval(const CleanOptions& options, const CleanFiles& files) {
    if (!AsksBeforeCleaning(options.recycle, options.backup, files)) return true;
    std::string question = DeleteForGoodQuestion(Language().Lookup("_DeleteForGoodConfirm"), files);
    return Ask(question, MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

// A worker's pages hold Back and Next until its end; the state decides, whatever the buttons show.
bool MainWizard::WorkerRuns() const { return scanPage.IsRunning() || cleaningPage.IsRunning(); }

void MainWizard::OnBack() {
    if (WorkerRuns() || asking) return;
    int current = host.Current();
    switch (BackFrom(current)) {
    case BackMove::Previous: host.PreviousPage(); break;
    case BackMove::FolderPage: host.ShowPage(kFolderPage); break;
    case BackMove::None: break;
    }
    UpdateButtons(host.Current());
}

void MainWizard::OnNext() {
    if (WorkerRuns() || asking) return;
    int current = host.Current();
    bool anyChecked = current == kReportPage && reportPage.LeaveReport();
    int target = NextFrom(current, !scanPage.found.empty(), anyChecked);
    // What the page about to show needs, taken from the pages before it.
    switch (target) {
    case kScanPage:
        scanPage.finishedCallback = [this] { OnWorkerFinished(); };
        scanPage.StartScan(GatherScanSettings());
        break;
    case kReportPage: reportPage.FillReport(scanPage.found); break;
    case kCleaningPage: {
        CleanOptions options = cleanOptionsPage.Options();
        CleanFiles files = reportPage.CheckedFiles();
        if (!ConfirmsRemoval(options, files)) return;  // the options page stays as it was
        cleaningLock.emplace();
        if (!cleaningLock->Taken()) {  // another process cleans or restores: nothing starts
            cleaningLock.reset();
            Ask(Language().Lookup("_AnotherCleaningRuns"), MB_OK);
            return;
        }
        cleaningPage.finishedCallback = [this] { OnWorkerFinished(); };
        cleaningPage.Start({std::move(files), options.recycle ? Removal::RecycleBin : Removal::Permanent,
                            options.backup, options.backupDirectory});
        break;
    }
    case kResultsPage:
        resultsPage.ShowOutcome(current == kCleaningPage ? cleaningPage.Outcome() : CleaningOutcome{});
        break;
    default: break;
    }
    host.ShowPage(target);
    UpdateButtons(host.Current());
}

ScanSettings MainWizard::GatherScanSettings() const {
    ScanSettings scan;
    scan.Folders = folderPage.CheckedFolders();
    scan.JunkMasks = junkFilesPage.CheckedMasks();
    scan.SkipFolders = skipFoldersPage.CheckedFolders();
    // The backup sets, in the folder the page shows now or the one stored.
    SkipOwnFolders(scan, {cleanOptionsPage.Options().backupDirectory, ReadBackupDirectory()});
    optionsPage.FillSearchOptions(scan);
    return scan;
}

void MainWizard::OnHelp() { OpenWebPage(hwnd, kHelpPage); }
void MainWizard::OnWebsite() { OpenWebPage(hwnd, kHomePage); }
void MainWizard::OnContactUs() { OpenWebPage(hwnd, kSupportPage); }

void MainWizard::OnRescueManager() {
    if (WorkerRuns()) return;  // an accelerator or a stale menu: the item is grey while one runs
    // A restore writes nowhere a scan would never propose a file.
    const ProtectedPaths protectedPaths(SystemKnownFolders());
    // The folder the clean options page shows now, so a set just made is listed.
    RescueDialog dialog(cleanOptionsPage.Options().backupDirectory,
                        [&](const std::string& target) { return protectedPaths.FileReason(target) == nullptr; });
    dialog.RunModal(hwnd);
}

void MainWizard::OnClearTypedUrls() {
    TypedUrlsDialog dialog;
    dialog.RunModal(GetActiveWindow());
}

void MainWizard::OnLogViewer() { OpenLogViewer(); }

void MainWizard::OnAbout() {
    AboutDialog dialog;
    dialog.RunModal(GetActiveWindow());
}
