#include "app/main_wizard.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/web_links.h"
#include "app/wizard_navigation.h"
#include "base/program_paths.h"
#include "base/version_info.h"
#include "clean/log_client.h"
#include "res/resource.h"
#include "settings/check_list.h"
#include "settings/config_document.h"
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
    return true;
}

void MainWizard::UpdateButtons(int index) {
    std::optional<ButtonRow> row = ButtonsFor(index);
    if (!row) return;
    EnableWindow(Item(IDC_WIZARD_HELP), TRUE);
    EnableWindow(Item(IDC_WIZARD_CANCEL), TRUE);
    if (row->final) {
        ShowWindow(Item(IDC_WIZARD_BACK), SW_HIDE);
        ShowWindow(Item(IDC_WIZARD_NEXT), SW_HIDE);
        SetWindowTextA(Item(IDC_WIZARD_CANCEL), Language().Lookup("_FinishButton").c_str());
        return;
    }
    EnableWindow(Item(IDC_WIZARD_BACK), row->backEnabled);
    EnableWindow(Item(IDC_WIZARD_NEXT), row->nextEnabled);
}

void MainWizard::OnWorkerFinished(void* context) {
    auto* self = static_cast<MainWizard*>(context);
    EnableWindow(self->Item(IDC_WIZARD_BACK), TRUE);
    EnableWindow(self->Item(IDC_WIZARD_NEXT), TRUE);
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

bool MainWizard::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_CLOSE) return false;
    OnCancel();
    result = 0;
    return true;
}

void MainWizard::OnCancel() {
    if (scanPage.IsRunning()) {
        ShowMessage(hwnd, "_ExitProramRequestCancelScanThread");
        return;
    }
    DestroyWindow(hwnd);
    PostQuitMessage(kClosedExitCode);
}

void MainWizard::OnBack() {
    int current = host.Current();
    switch (BackFrom(current)) {
    case BackMove::Previous: host.PreviousPage(); break;
    case BackMove::FolderPage: host.ShowPage(kFolderPage); break;
    case BackMove::None: break;
    }
    UpdateButtons(host.Current());
}

void MainWizard::OnNext() {
    switch (host.Current()) {
    case kSkipFoldersPage:
        scanPage.finishedCallback = &MainWizard::OnWorkerFinished;
        scanPage.finishedContext = this;
        scanPage.StartScan(GatherScanSettings());
        host.NextPage();
        break;
    case kScanPage:
        if (scanPage.found.empty()) {
            host.ShowPage(kResultsPage);
        } else {
            reportPage.FillReport(scanPage.found);
        }
        host.NextPage();
        break;
    case kReportPage:
        if (reportPage.LeaveReport()) {
            host.NextPage();
        } else {
            host.ShowPage(kResultsPage);
        }
        break;
    case kCleanOptionsPage:
        cleaningPage.finishedCallback = &MainWizard::OnWorkerFinished;
        cleaningPage.finishedContext = this;
        host.NextPage();
        break;
    case kResultsPage: break;
    default: host.NextPage(); break;
    }
    UpdateButtons(host.Current());
}

// What the settings pages show now, read from their controls.
ScanSettings MainWizard::GatherScanSettings() const {
    ScanSettings scan;
    scan.Folders = folderPage.CheckedFolders();
    for (const ListRow& row : CollectRows(junkFilesPage.Item(IDC_JUNK_LIST), RowShape::TextAndDescription))
        if (row.checked) scan.JunkMasks[row.text] = row.description;  // a later row with the same mask wins
    for (const ListRow& row : CollectRows(skipFoldersPage.Item(IDC_SKIP_LIST), RowShape::TextOnly))
        if (row.checked) scan.SkipFolders.push_back(row.text);
    scan.SkipFolders.push_back(ProgramFolder());

    HWND options = optionsPage.Hwnd();
    scan.FindFilesHaveNotAccessed = IsChecked(options, IDC_OPT_NOT_ACCESSED);
    scan.SkipReadOnlyFiles = IsChecked(options, IDC_OPT_SKIP_READ_ONLY);
    scan.SkipSystemFiles = IsChecked(options, IDC_OPT_SKIP_SYSTEM);
    scan.SkipHiddenFiles = IsChecked(options, IDC_OPT_SKIP_HIDDEN);
    scan.FindZeroLengthFiles = IsChecked(options, IDC_OPT_ZERO_LENGTH);
    scan.FindInvalidShortcuts = IsChecked(options, IDC_OPT_INVALID_SHORTCUT);
    scan.FindTemp = IsChecked(options, IDC_OPT_FIND_TEMP);
    scan.FindIETemp = IsChecked(options, IDC_OPT_FIND_IE_TEMP);
    scan.FindRecent = IsChecked(options, IDC_OPT_FIND_RECENT);
    scan.FindIEHistory = IsChecked(options, IDC_OPT_FIND_IE_HISTORY);
    scan.FindIECookies = IsChecked(options, IDC_OPT_FIND_IE_COOKIES);
    scan.Months = ParseLeadingInt(ItemText(options, IDC_OPT_MONTHS).substr(0, 254));
    return scan;
}

void MainWizard::OnHelp() { OpenWebPage(hwnd, kHelpPage); }
void MainWizard::OnWebsite() { OpenWebPage(hwnd, kHomePage); }
void MainWizard::OnContactUs() { OpenWebPage(hwnd, kSupportPage); }

// The rescue manager, the typed addresses tool and the About box arrive with their dialogs.
void MainWizard::OnRescueManager() {}
void MainWizard::OnClearTypedUrls() {}
void MainWizard::OnLogViewer() { OpenLogViewer(); }
void MainWizard::OnAbout() {}
