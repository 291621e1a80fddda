#include "scan/scan_page.h"

#include <commctrl.h>

#include "base/failure.h"
#include "base/registry.h"
#include "base/text_format.h"
#include "res/resource.h"
#include "scan/protected_paths.h"
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

// A path met again keeps its latest reason; the nodes move without copying.
void MergeFound(FoundList& into, FoundList& from) {
    while (!from.empty()) {
        auto result = into.insert(from.extract(from.begin()));
        if (!result.inserted) result.position->second = std::move(result.node.mapped());
    }
}

}  // namespace

ScanPage::ScanPage() : WizardPage(IDD_SCAN_PAGE, kAnchors) {}

ScanPage::~ScanPage() { DestroyNow(); }

bool ScanPage::OnInit() {
    SetUpListColumns(Item(IDC_SCAN_LIST), kColumns, 2, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    SetUpPage();
    EnableWindow(Item(IDC_SCAN_STOP), FALSE);
    return false;
}

bool ScanPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<ScanPage> routes[] = {{IDC_SCAN_STOP, &ScanPage::StopScan}};
    return Route(*this, routes, id, code);
}

void ScanPage::StartScan(const ScanSettings& newSettings) {
    if (IsRunning()) return;  // settings belong to the running worker
    run.Join();               // a stopped worker may still be leaving, and it reads them
    settings = newSettings;
    SetDlgItemTextA(hwnd, IDC_SCAN_COUNT, "");
    EnableWindow(Item(IDC_SCAN_STOP), TRUE);
    HWND list = Item(IDC_SCAN_LIST);
    ListView_DeleteAllItems(list);
    found.clear();
    pending.clear();
    latestPath.clear();
    lastShown = 0;
    std::string notComplete = Language().Lookup("_StateNotComplete");
    for (const std::string& folder : settings.Folders) AppendRow(list, {folder, notComplete});
    run.Start([this] { Run(); }, [this](RunEnd end, const std::string& failure) {
        if (end == RunEnd::Failed) ReportFailure(hwnd, failure);
        OnEnd(end);
    });
}

void ScanPage::Run() {
    reasonTexts.clear();
    // Known folders are asked once per run; what they protect holds for every folder searched.
    const KnownFolders known = KnownFoldersSource()();
    const ProtectedPaths protectedPaths(known);
    SearchSpecialFolders(known, protectedPaths);
    FileScanner::Criteria criteria = FileScanner::CriteriaOf(settings);
    criteria.protectedPaths = &protectedPaths;
    for (size_t i = 0; i < settings.Folders.size() && !StopRequested(); ++i) {
        SetRowState(i, "_stateScanning");
        BeforeFolder(i);
        FileScanner::Search(settings.Folders[i], settings.JunkMasks, OnFound, settings.SkipFolders, criteria, OnFolder,
                            this, &run.StopFlag());
        if (StopRequested()) break;
        ShowProgress(true);  // a folder shown as done has all its files on the page
        SetRowState(i, "_StateComplete");
    }
    ShowProgress(true);
}

// A special folder's every file is proposed: one that holds more than its own leftovers (a
// redirected TEMP or cache) is passed over, with a row that says so.
void ScanPage::SearchSpecialFolders(const KnownFolders& known, const ProtectedPaths& protectedPaths) {
    FileScanner::Criteria criteria;
    criteria.protectedPaths = &protectedPaths;
    for (const SpecialFolder& special : kSpecialFolders) {
        if (StopRequested()) return;
        if (!(settings.*special.flag)) continue;
        std::string path = SpecialFolderPath(special);
        if (path.empty()) continue;
        if (UnsafeSpecialFolder(path, known) || protectedPaths.FolderReason(path)) {
            std::string passedOver = Language().Lookup("_StateSpecialFolderPassedOver");
            run.Report([&] { AppendRow(Item(IDC_SCAN_LIST), {path, passedOver}); });
            continue;
        }
        MaskTable everything{{"*", Language().Lookup(special.reasonKey)}};
        FileScanner::Search(path, everything, OnFound, settings.SkipFolders, criteria, OnFolder, this, &run.StopFlag());
    }
}

void ScanPage::SetRowState(size_t row, const char* stateKey) {
    std::string text = Language().Lookup(stateKey);
    run.Report([&] {
        HWND list = Item(IDC_SCAN_LIST);
        if (RowCount(list) > static_cast<int>(row)) SetRowText(list, static_cast<int>(row), 1, text);
    });
}

void ScanPage::OnFolder(const std::string& path, const WIN32_FIND_DATAA& /*entry*/, void* page) {
    auto* self = static_cast<ScanPage*>(page);
    self->latestPath = path;
    self->ShowProgress(false);
}

void ScanPage::OnFound(const std::string& path, const std::string& reason, const WIN32_FIND_DATAA& /*entry*/,
                       void* page) {
    static_cast<ScanPage*>(page)->AddFound(path, reason);
}

void ScanPage::AddFound(const std::string& path, const std::string& reason) {
    auto text = reasonTexts.find(reason);
    if (text == reasonTexts.end()) text = reasonTexts.emplace(reason, Language().Lookup(reason)).first;
    pending.insert_or_assign(path, text->second);
    ShowProgress(false);
}

std::string ScanPage::CountLine() const {
    return FormatText(Language().Lookup("_StateFindItem"), {static_cast<long long>(found.size())});
}

// Every directory entry costs no window message: the newest path, the count and the files found
// go over at most every 50 ms, and at the end always.
void ScanPage::ShowProgress(bool force) {
    ULONGLONG now = GetTickCount64();
    if (!force && now - lastShown < kProgressInterval) return;
    lastShown = now;
    run.Report([&] {
        MergeFound(found, pending);
        if (!latestPath.empty()) SetDlgItemTextA(hwnd, IDC_SCAN_STATUS, latestPath.c_str());
        if (!found.empty()) SetDlgItemTextA(hwnd, IDC_SCAN_COUNT, CountLine().c_str());
    });
}

void ScanPage::StopScan() {
    if (ShowMessage(hwnd, "_StopscanConfirm", MB_OKCANCEL) != IDOK) return;
    run.Stop();
}

// The end steps, on the UI thread, whichever way the run ended.
void ScanPage::OnEnd(RunEnd end) {
    EnableWindow(Item(IDC_SCAN_STOP), FALSE);
    if (end == RunEnd::Finished) {
        SetDlgItemTextA(hwnd, IDC_SCAN_STATUS, Language().Lookup("_StateStringSearchCompleted").c_str());
    } else {
        const char* state = end == RunEnd::NotStarted ? "_ThreadNotStarted" : "_StateStringSearchStopped";
        SetDlgItemTextA(hwnd, IDC_SCAN_STATUS, Language().Lookup(state).c_str());
        HWND list = Item(IDC_SCAN_LIST);
        std::string scanning = Language().Lookup("_stateScanning");
        std::string complete = Language().Lookup("_StateComplete");
        for (int row = 0; row < RowCount(list); ++row)
            if (RowText(list, row, 1) == scanning) SetRowText(list, row, 1, complete);
    }
    if (!found.empty()) SetDlgItemTextA(hwnd, IDC_SCAN_COUNT, CountLine().c_str());
    if (finishedCallback) finishedCallback();
}

// Without a question: the wizard is going away.
void ScanPage::OnDestroy() {
    run.Stop();
    run.Join();
}
