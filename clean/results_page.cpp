#include "clean/results_page.h"

#include "base/text_format.h"
#include "clean/log_client.h"
#include "res/resource.h"
#include "ui/language_table.h"

namespace {
constexpr Anchor kAnchors[] = {{IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_RESULTS_SUMMARY, Anchor::GrowX}};
}

std::string OutcomeLine(const CleaningOutcome& outcome) {
    if (!outcome.ran) return {};
    auto count = [](std::size_t n) { return static_cast<long long>(n); };
    std::size_t kept = outcome.keptNoBackup + outcome.keptChanged + outcome.keptAtRestart + outcome.keptNotRemoved;
    // The language file cannot keep a text's outer blanks: the pieces are joined by one here.
    std::string line = outcome.stopped ? Language().Lookup("_CleanerResultsStopped") + " " : std::string();
    line += FormatText(Language().Lookup("_CleanerResultsSummary"),
                       {count(outcome.removed), static_cast<double>(outcome.freedBytes) / 1048576.0, count(kept),
                        count(outcome.keptNoBackup), count(outcome.keptChanged), count(outcome.keptAtRestart),
                        count(outcome.keptNotRemoved)});
    if (!outcome.setFolder.empty())
        line += " " + FormatText(Language().Lookup("_CleanerResultsBackupSet"), {outcome.setFolder});
    return line;
}

ResultsPage::ResultsPage() : WizardPage(IDD_RESULTS_PAGE, kAnchors) {}

void ResultsPage::ShowOutcome(const CleaningOutcome& outcome) {
    SetDlgItemTextA(hwnd, IDC_RESULTS_SUMMARY, OutcomeLine(outcome).c_str());
}

bool ResultsPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<ResultsPage> routes[] = {{IDC_RESULTS_LOG_VIEWER, &ResultsPage::OnLogViewer}};
    return Route(*this, routes, id, code);
}

void ResultsPage::OnLogViewer() { OpenLogViewer(); }
