#include "clean/cleaning_page.h"

#include "res/resource.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_CLEANING_STATE, Anchor::GrowX},
    {IDC_CLEANING_PROGRESS, Anchor::GrowX}, {IDC_CLEANING_STOP, Anchor::MoveX}};
}

CleaningPage::CleaningPage() : WizardPage(IDD_CLEANING_PAGE, kAnchors) {}
