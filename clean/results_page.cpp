#include "clean/results_page.h"

#include "base/text_format.h"
#include "clean/log_client.h"
#include "res/resource.h"
#include "ui/language_table.h"
#include "ui/shell_open.h"

namespace {
constexpr Anchor kAnchors[] = {{IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_RESULTS_SUMMARY, Anchor::GrowX}};
}

std::string OutcomeLine(const CleaningOutcome& outcome) {
    if (!outcome.ran) return {};
    auto count = [](std::size_t n) { return static_cast<long long>(n); };
    const double megabytes = static_cast<double>(outcome.freedBytes) / 1048576.0;
    // The language file cannot keep a text's outer blanks: the pieces are joined by one here.
    std::string line = outcome.stopped ? Language().Lookup("_CleanerResultsStopped") + " " : std::string();
    // Files in the recycle bin free nothing until it is emptied.
    line += FormatText(Language().Lookup(outcome.recycled ? "_CleanerResultsRecycled" : "_CleanerResultsRemoved"),
                       {count(outcome.Removed()), megabytes});
    if (const std::size_t kept = outcome.Kept()) {
        // Only the reasons that kept a file, in this order.
        const std::pair<Fate, const char*> reasons[] = {
            {Fate::KeptNoBackup, "_CleanerResultsKeptNoBackup"},
            {Fate::KeptChanged, "_CleanerResultsKeptChanged"},
            {Fate::KeptAtRestart, "_CleanerResultsKeptAtRestart"},
            {Fate::KeptInUse, "_CleanerResultsKeptInUse"},
            {Fate::KeptReadOnly, "_CleanerResultsKeptReadOnly"},
            {Fate::KeptDenied, "_CleanerResultsKeptDenied"},
            {Fate::KeptNotRemoved, "_CleanerResultsKeptNotRemoved"},
        };
        std::string why;
        for (const auto& [fate, key] : reasons)
            if (const std::size_t n = outcome.Count(fate)) why += (why.empty() ? "" : ", ") + FormatText(Language().Lookup(key), {count(n)});
        line += " " + FormatText(Language().Lookup("_CleanerResultsKept"), {count(kept), why});
    }
    if (!outcome.setFolder.empty())
        line += " " + FormatText(Language().Lookup("_CleanerResultsBackupSet"), {outcome.setFolder});
    if (outcome.logMissing)
        line += " " + Language().Lookup("_CleanerResultsNoLog");
    else if (outcome.logFailed)
        line += " " + Language().Lookup("_CleanerResultsLogFailed");
    return line;
}

ResultsPage::ResultsPage() : WizardPage(IDD_RESULTS_PAGE, kAnchors) {}

void ResultsPage::ShowOutcome(const CleaningOutcome& outcome) {
    std::string line = OutcomeLine(outcome);
    // Without the component (the portable zip before its registration) the viewer cannot open.
    const bool logThere = LogComponentRegistered();
    if (!logThere && !outcome.logMissing)
        line += (line.empty() ? "" : " ") + Language().Lookup("_CleanerResultsNoLogViewer");
    SetDlgItemTextA(hwnd, IDC_RESULTS_SUMMARY, line.c_str());
    EnableWindow(Item(IDC_RESULTS_LOG_VIEWER), logThere);
    setFolder = outcome.setFolder;
    ShowWindow(Item(IDC_RESULTS_OPEN_BACKUP), setFolder.empty() ? SW_HIDE : SW_SHOW);
}

bool ResultsPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<ResultsPage> routes[] = {{IDC_RESULTS_LOG_VIEWER, &ResultsPage::OnLogViewer},
                                                           {IDC_RESULTS_OPEN_BACKUP, &ResultsPage::OnOpenBackup}};
    return Route(*this, routes, id, code);
}

void ResultsPage::OnLogViewer() { OpenLogViewer(); }

// The set's folder in the Explorer; a set gone since (restored meanwhile) is the shell's to say.
void ResultsPage::OnOpenBackup() {
    if (!setFolder.empty()) ShellOpen(hwnd, "explorer", "\"" + setFolder + "\"");
}
