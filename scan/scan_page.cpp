#include "scan/scan_page.h"

#include <commctrl.h>

#include <map>

#include "base/com_ptr.h"
#include "base/registry.h"
#include "base/text_format.h"
#include "base/worker_thread.h"
#include "res/resource.h"
#include "ui/language_table.h"
#include "ui/list_view.h"
#include "ui/message_box.h"

namespace {

constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX},
    {IDC_SCAN_LIST, Anchor::GrowX | Anchor::GrowY},
    {IDC_SCAN_STATUS, Anchor::GrowX | Anchor::MoveY},
    {IDC_SCAN_COUNT, Anchor::GrowX | Anchor::MoveY},
    {IDC_SCAN_STOP, Anchor::MoveX | Anchor::MoveY},
};
constexpr ListColumn kColumns[] = {{"_ListviewTragetFolder", 200}, {"_ListviewScanstate", 300}};
constexpr ULONGLONG kProgressInterval = 50;  // milliseconds between two updates of the status lines

struct SpecialFolder {
    bool ScanSettings::*flag;
    const char* registryValue;  // null: the temporary folder
    const char* reasonKey;
};
constexpr SpecialFolder kSpecialFolders[] = {
    {&ScanSettings::FindTemp, nullptr, "_WindowsTempFile"},
    {&ScanSettings::FindIETemp, "Cache", "_InterTempFile"},
    {&ScanSettings::FindRecent, "Recent", "_RecentFile"},
    {&ScanSettings::FindIEHistory, "History", "_HistoryFile"},
    {&ScanSettings::FindIECookies, "Cookies", "_CookiesFile"},
};

std::string SpecialFolderPath(const SpecialFolder& folder) {
    if (!folder.registryValue) {
        char temp[MAX_PATH] = {};
        DWORD length = GetTempPathA(MAX_PATH, temp);
        return length > 0 && length < MAX_PATH ? std::string(temp, length) : std::string();
    }
    return ReadValueText(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                         folder.registryValue);
}

// Reasons are few and repeat for thousands of files: each is looked up once per scan.
class ReasonTexts {
public:
    const std::string& Text(const std::string& reason) {
        auto found = texts.find(reason);
        if (found == texts.end()) found = texts.emplace(reason, Language().Lookup(reason)).first;
        return found->second;
    }

private:
    std::map<std::string, std::string> texts;
};

thread_local ReasonTexts* reasonTexts = nullptr;

}  // namespace

ScanPage::ScanPage() : WizardPage(IDD_SCAN_PAGE, kAnchors) {}

ScanPage::~ScanPage() { DestroyNow(); }

bool ScanPage::OnInit() {
    SetUpListColumns(Item(IDC_SCAN_LIST), kColumns, 2, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    SetUpPage();
    EnableWindow(Item(IDC_SCAN_STOP), FALSE);
    return false;
}

bool ScanPage::OnCommand(int id, int /*code*/) {
    if (id != IDC_SCAN_STOP) return false;
    StopScan();
    return true;
}

void ScanPage::StartScan(const ScanSettings& newSettings) {
    if (IsRunning()) return;  // settings belong to the running worker
    WaitForWorker();          // a worker that ended on its own may still be leaving
    settings = newSettings;
    SetDlgItemTextA(hwnd, IDC_SCAN_COUNT, "");
    EnableWindow(Item(IDC_SCAN_STOP), TRUE);
    HWND list = Item(IDC_SCAN_LIST);
    ListView_DeleteAllItems(list);
    found.clear();
    std::string notComplete = Language().Lookup("_StateNotComplete");
    for (const std::string& folder : settings.Folders) AppendRow(list, {folder, notComplete});

    stopRequested = false;
    latestPath.clear();
    lastShown = 0;
    runState = RunState::Running;
    HANDLE started = StartWorkerThread(&ScanPage::ScanWorker, this);
    if (!started) {
        runState = RunState::Idle;
        EnableWindow(Item(IDC_SCAN_STOP), FALSE);
        return;
    }
    HANDLE own = nullptr;
    DuplicateHandle(GetCurrentProcess(), started, GetCurrentProcess(), &own, SYNCHRONIZE, FALSE, 0);
    thread.Reset(own);
    worker = started;
}

unsigned __stdcall ScanPage::ScanWorker(void* page) {
    ComApartment com;
    ReasonTexts texts;
    reasonTexts = &texts;
    static_cast<ScanPage*>(page)->Run();
    reasonTexts = nullptr;
    return 0;
}

void ScanPage::Run() {
    SearchSpecialFolders();
    const FileScanner::Criteria criteria = FileScanner::CriteriaOf(settings);
    for (size_t i = 0; i < settings.Folders.size() && !stopRequested; ++i) {
        SetRowState(i, "_stateScanning");
        BeforeFolder(i);
        FileScanner::Search(settings.Folders[i], settings.JunkMasks, OnFound, settings.SkipFolders, criteria, OnFolder,
                            this, &stopRequested);
        if (stopRequested) break;
        SetRowState(i, "_StateComplete");
    }

    // A stop that claimed the end first has done the end steps on the UI thread.
    RunState running = RunState::Running;
    if (!runState.compare_exchange_strong(running, RunState::Ending)) return;
    ShowProgress(true);
    SetDlgItemTextA(hwnd, IDC_SCAN_STATUS, Language().Lookup("_StateStringSearchCompleted").c_str());
    HANDLE own = worker.exchange(nullptr);
    if (own) CloseHandle(own);
    EnableWindow(Item(IDC_SCAN_STOP), FALSE);
    runState = RunState::Idle;
    if (finishedCallback) finishedCallback(finishedContext);
}

void ScanPage::SearchSpecialFolders() {
    for (const SpecialFolder& special : kSpecialFolders) {
        if (stopRequested) return;
        if (!(settings.*special.flag)) continue;
        std::string path = SpecialFolderPath(special);
        if (path.empty()) continue;
        MaskTable everything{{"*", Language().Lookup(special.reasonKey)}};
        FileScanner::Search(path, everything, OnFound, settings.SkipFolders, FileScanner::Criteria{}, OnFolder, this,
                            &stopRequested);
    }
}

void ScanPage::SetRowState(size_t row, const char* stateKey) {
    HWND list = Item(IDC_SCAN_LIST);
    if (RowCount(list) > static_cast<int>(row)) SetRowText(list, static_cast<int>(row), 1, Language().Lookup(stateKey));
}

void ScanPage::OnFolder(const std::string& path, const WIN32_FIND_DATAA& /*entry*/, void* page) {
    auto* self = static_cast<ScanPage*>(page);
    self->latestPath = path;
    self->ShowProgress(false);
}

void ScanPage::OnFound(const std::string& path, const std::string& reason, const WIN32_FIND_DATAA& /*entry*/,
                       void* page) {
    auto* self = static_cast<ScanPage*>(page);
    std::string text = reasonTexts ? reasonTexts->Text(reason) : Language().Lookup(reason);
    self->found.insert_or_assign(path, std::move(text));
    self->ShowProgress(false);
}

std::string ScanPage::CountLine() const {
    return FormatText(Language().Lookup("_StateFindItem"), {static_cast<long long>(found.size())});
}

// Every directory entry costs no window message: the newest path and count go out at most every
// 50 ms, and the final values always.
void ScanPage::ShowProgress(bool force) {
    ULONGLONG now = GetTickCount64();
    if (!force && now - lastShown < kProgressInterval) return;
    lastShown = now;
    if (!latestPath.empty()) SetDlgItemTextA(hwnd, IDC_SCAN_STATUS, latestPath.c_str());
    if (!found.empty()) SetDlgItemTextA(hwnd, IDC_SCAN_COUNT, CountLine().c_str());
}

void ScanPage::StopScan() {
    if (ShowMessage(hwnd, "_StopscanConfirm", MB_OKCANCEL) != IDOK || !IsRunning()) return;
    StopWorker();
}

void ScanPage::StopWorker() {
    RunState running = RunState::Running;
    if (!runState.compare_exchange_strong(running, RunState::Ending)) {
        WaitForWorker();  // it is already ending on its own and runs its end steps itself
        return;
    }
    stopRequested = true;
    WaitForWorker();
    HANDLE own = worker.exchange(nullptr);
    if (own) CloseHandle(own);
    EnableWindow(Item(IDC_SCAN_STOP), FALSE);
    SetDlgItemTextA(hwnd, IDC_SCAN_STATUS, Language().Lookup("_StateStringSearchStopped").c_str());
    if (!found.empty()) SetDlgItemTextA(hwnd, IDC_SCAN_COUNT, CountLine().c_str());  // what was found until now
    HWND list = Item(IDC_SCAN_LIST);
    std::string scanning = Language().Lookup("_stateScanning");
    std::string complete = Language().Lookup("_StateComplete");
    for (int row = 0; row < RowCount(list); ++row)
        if (RowText(list, row, 1) == scanning) SetRowText(list, row, 1, complete);
    runState = RunState::Idle;
    if (finishedCallback) finishedCallback(finishedContext);
}

void ScanPage::WaitForWorker() {
    if (thread) WaitPumpingSentMessages(thread.Get());
    thread.Reset();
}

void ScanPage::OnDestroy() {
    if (IsRunning()) StopWorker();
    WaitForWorker();
}
