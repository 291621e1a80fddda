#include "settings/clean_options_page.h"

#include "res/resource.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_CLEAN_DEFAULT, Anchor::MoveX | Anchor::MoveY}};
}

CleanOptionsPage::CleanOptionsPage() : WizardPage(IDD_CLEAN_OPTIONS_PAGE, kAnchors) {}
