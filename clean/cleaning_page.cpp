#include "clean/cleaning_page.h"

#include <commctrl.h>

#include "base/ansi.h"
#include "base/failure.h"
#include "base/text_format.h"
#include "res/resource.h"
#include "ui/language_table.h"
#include "ui/message_box.h"
#include "ui/progress_bar.h"

namespace {

constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_CLEANING_STATE, Anchor::GrowX},
    {IDC_CLEANING_PROGRESS, Anchor::GrowX}, {IDC_CLEANING_STOP, Anchor::MoveX}};
constexpr UINT_PTR kProgressTimer = 1;

}  // namespace

CleaningPage::CleaningPage() : WizardPage(IDD_CLEANING_PAGE, kAnchors) {}

CleaningPage::~CleaningPage() { DestroyNow(); }

bool CleaningPage::OnInit() {
    SetUpPage();
    EnableWindow(Item(IDC_CLEANING_STOP), FALSE);
    return false;
}

bool CleaningPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<CleaningPage> routes[] = {{IDC_CLEANING_STOP, &CleaningPage::Stop}};
    return Route(*this, routes, id, code);
}

// Without a question: the wizard is going away. The file under way is finished first.
void CleaningPage::OnDestroy() {
    KillTimer(hwnd, kProgressTimer);
    run.Stop();
    run.Join();
}

void CleaningPage::Start(CleaningRequest request) {
    if (IsRunning()) return;  // the job belongs to the running worker
    run.Join();               // a stopped worker may still be finishing its file
    owner = GetAncestor(hwnd, GA_ROOT);
    request.owner = owner;
    job = std::make_unique<CleaningJob>(std::move(request));
    job->beforeFile = beforeFile;
    progress = std::make_unique<JobProgress>();
    stopped = false;
    shownStage = 0;
    shownPosition = 0;
    SendMessageA(Item(IDC_CLEANING_PROGRESS), PBM_SETPOS, 0, 0);
    EnableWindow(Item(IDC_CLEANING_STOP), TRUE);
    SetTimer(hwnd, kProgressTimer, kProgressMilliseconds, nullptr);
    // A logoff or shutdown is held while files go, and said why.
    ShutdownBlockReasonCreate(owner, ToWide(Language().Lookup("_CleaningShutdownReason")).c_str());
    run.Start(
        [this] {
            LogClient log;
            job->Run(run.StopFlag(), *progress, log);
        },
        [this](RunEnd end, const std::string& failure) {
            if (end == RunEnd::Failed) ReportFailure(hwnd, failure);
            OnEnd(end);
        });
}

CleaningOutcome CleaningPage::Outcome() {
    if (IsRunning() || !job) return {};
    run.Join();
    CleaningOutcome outcome = job->Outcome();
    outcome.stopped = outcome.stopped || stopped;
    return outcome;
}

// The worker only counts; the page's timer moves the bar, so no file waits for a paint.
void CleaningPage::ShowProgress() {
    const JobProgress::View view = progress->Read();
    HWND bar = Item(IDC_CLEANING_PROGRESS);
    if (view.stage != shownStage) {
        shownStage = view.stage;
        SetBarRange(bar, view.total);
        SendMessageA(bar, PBM_SETPOS, 0, 0);
        shownPosition = 0;
        SetDlgItemTextA(hwnd, IDC_CLEANING_STATE, view.stageText.c_str());
    }
    if (view.done == shownPosition) return;
    shownPosition = view.done;
    SetBarPosition(bar, view.done);
}

bool CleaningPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_TIMER && wParam == kProgressTimer) {
        if (IsRunning()) ShowProgress();
        result = 0;
        return true;
    }
    return WizardPage::OnMessage(message, wParam, lParam, result);
}

// The session ends: the file under way is finished, the pass's record written, then the run ends.
void CleaningPage::EndSession() {
    if (!run.Stop()) return;
    run.Join();
}

void CleaningPage::Stop() {
    if (ShowMessage(hwnd, "_StopCleanConfirm", MB_OKCANCEL) != IDOK) return;
    run.Stop();
}

// The end steps, on the UI thread, whichever way the run ended.
void CleaningPage::OnEnd(RunEnd end) {
    KillTimer(hwnd, kProgressTimer);
    ShutdownBlockReasonDestroy(owner);
    EnableWindow(Item(IDC_CLEANING_STOP), FALSE);
    std::string state;
    if (end == RunEnd::Finished) {
        ShowProgress();  // the last position, before the state says done
        const std::size_t noBackup = job->Outcome().Count(Fate::KeptNoBackup);
        state = noBackup ? FormatText(Language().Lookup("_CleaningPageStateCompleteKept"),
                                      {static_cast<long long>(noBackup)})
                         : Language().Lookup("_CleaningPageStateComplete");
    } else {
        stopped = true;  // the worker, if still there, is left to finish its file alone
        SendMessageA(Item(IDC_CLEANING_PROGRESS), PBM_SETPOS, 0, 0);
        state = Language().Lookup(end == RunEnd::NotStarted ? "_ThreadNotStarted" : "_CleaningPageStateStopped");
    }
    SetDlgItemTextA(hwnd, IDC_CLEANING_STATE, state.c_str());
    if (finishedCallback) finishedCallback();
}
