#include "app/welcome_page.h"

#include "res/resource.h"

namespace {
constexpr Anchor kAnchors[] = {{IDC_WELCOME_TEXT, Anchor::GrowX | Anchor::GrowY}};
}

WelcomePage::WelcomePage() : WizardPage(IDD_WELCOME_PAGE, kAnchors) {}
