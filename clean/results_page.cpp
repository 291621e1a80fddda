#include "clean/results_page.h"

#include "clean/log_client.h"
#include "res/resource.h"

namespace {
constexpr Anchor kAnchors[] = {{IDC_PAGE_DESCRIPTION, Anchor::GrowX}};
}

ResultsPage::ResultsPage() : WizardPage(IDD_RESULTS_PAGE, kAnchors) {}

bool ResultsPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<ResultsPage> routes[] = {{IDC_RESULTS_LOG_VIEWER, &ResultsPage::OnLogViewer}};
    return Route(*this, routes, id, code);
}

void ResultsPage::OnLogViewer() { OpenLogViewer(); }
