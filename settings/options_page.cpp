#include "settings/options_page.h"

#include "res/resource.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_OPT_DEFAULT, Anchor::MoveX | Anchor::MoveY}};
}

OptionsPage::OptionsPage() : WizardPage(IDD_OPTIONS_PAGE, kAnchors) {}
