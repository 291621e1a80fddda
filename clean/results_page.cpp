#include "clean/results_page.h"

#include "res/resource.h"

namespace {
constexpr Anchor kAnchors[] = {{IDC_PAGE_DESCRIPTION, Anchor::GrowX}};
}

ResultsPage::ResultsPage() : WizardPage(IDD_RESULTS_PAGE, kAnchors) {}
