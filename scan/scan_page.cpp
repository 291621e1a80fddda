#include "scan/scan_page.h"

#include <commctrl.h>

#include "base/failure.h"
#include "base/text_format.h"
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
constexpr UINT_PTR kProgressTimer = 1;

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

void ScanPage::StartScan(const ScanSettings& settings) {
    if (IsRunning()) return;  // the job belongs to the running worker
    run.Join();               // a stopped worker may still be leaving, and it reads its job
    job = std::make_unique<ScanJob>(settings);
    job->beforeFolder = beforeFolder;
    progress = std::make_unique<JobProgress>();
    SetDlgItemTextA(hwnd, IDC_SCAN_COUNT, "");
    EnableWindow(Item(IDC_SCAN_STOP), TRUE);
    HWND list = Item(IDC_SCAN_LIST);
    ListView_DeleteAllItems(list);
    found.clear();
    shownStage = 0;
    shownNotes = 0;
    shownCount = 0;
    shownLatest.clear();
    std::string notComplete = Language().Lookup("_StateNotComplete");
    for (const std::string& folder : settings.Folders) AppendRow(list, {folder, notComplete});
    SetTimer(hwnd, kProgressTimer, kProgressMilliseconds, nullptr);
    run.Start([this] { job->Run(run.StopFlag(), *progress); }, [this](RunEnd end, const std::string& failure) {
        if (end == RunEnd::Failed) ReportFailure(hwnd, failure);
        OnEnd(end);
    });
}

bool ScanPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_TIMER && wParam == kProgressTimer) {
        if (IsRunning()) ShowProgress();
        result = 0;
        return true;
    }
    return WizardPage::OnMessage(message, wParam, lParam, result);
}

std::string ScanPage::CountLine(std::size_t count) const {
    return FormatText(Language().Lookup("_StateFindItem"), {static_cast<long long>(count)});
}

// A folder's row reads "searching" from its stage's start, and "complete" once the next begins.
void ScanPage::ShowProgress() {
    const JobProgress::View view = progress->Read();
    HWND list = Item(IDC_SCAN_LIST);
    const int rows = static_cast<int>(job->Settings().Folders.size());
    if (view.stage != shownStage) {
        const std::string complete = Language().Lookup("_StateComplete");
        const int first = shownStage > 0 ? static_cast<int>(shownStage) - 1 : 0;
        for (int row = first; row + 1 < static_cast<int>(view.stage) && row < rows; ++row)
            SetRowText(list, row, 1, complete);
        if (view.stage > 0 && static_cast<int>(view.stage) <= rows)
            SetRowText(list, static_cast<int>(view.stage) - 1, 1, Language().Lookup("_stateScanning"));
        shownStage = view.stage;
    }
    std::vector<std::string> notes = progress->NotesFrom(shownNotes);
    if (!notes.empty()) {
        const std::string passedOver = Language().Lookup("_StateSpecialFolderPassedOver");
        for (const std::string& path : notes) AppendRow(list, {path, passedOver});
        shownNotes += notes.size();
    }
    if (view.latest != shownLatest) {
        shownLatest = view.latest;
        SetDlgItemTextA(hwnd, IDC_SCAN_STATUS, shownLatest.c_str());
    }
    if (view.done != shownCount) {
        shownCount = view.done;
        SetDlgItemTextA(hwnd, IDC_SCAN_COUNT, CountLine(shownCount).c_str());
    }
}

void ScanPage::StopScan() {
    if (ShowMessage(hwnd, "_StopscanConfirm", MB_OKCANCEL) != IDOK) return;
    run.Stop();
}

// The end steps, on the UI thread, whichever way the run ended. A stopped worker may still be
// leaving: what it found until now is taken, and what it finds later never reaches the page.
void ScanPage::OnEnd(RunEnd end) {
    KillTimer(hwnd, kProgressTimer);
    ShowProgress();
    found = job->TakeFound();
    EnableWindow(Item(IDC_SCAN_STOP), FALSE);
    HWND list = Item(IDC_SCAN_LIST);
    if (end == RunEnd::Finished) {
        if (shownStage > 0) SetRowText(list, static_cast<int>(shownStage) - 1, 1, Language().Lookup("_StateComplete"));
        SetDlgItemTextA(hwnd, IDC_SCAN_STATUS, Language().Lookup("_StateStringSearchCompleted").c_str());
    } else {
        const char* state = end == RunEnd::NotStarted ? "_ThreadNotStarted" : "_StateStringSearchStopped";
        SetDlgItemTextA(hwnd, IDC_SCAN_STATUS, Language().Lookup(state).c_str());
        std::string scanning = Language().Lookup("_stateScanning");
        std::string complete = Language().Lookup("_StateComplete");
        for (int row = 0; row < RowCount(list); ++row)
            if (RowText(list, row, 1) == scanning) SetRowText(list, row, 1, complete);
    }
    if (!found.empty()) SetDlgItemTextA(hwnd, IDC_SCAN_COUNT, CountLine(found.size()).c_str());
    if (finishedCallback) finishedCallback();
}

// Without a question: the wizard is going away.
void ScanPage::OnDestroy() {
    KillTimer(hwnd, kProgressTimer);
    run.Stop();
    run.Join();
}
