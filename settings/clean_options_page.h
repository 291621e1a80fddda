// Page 7: how the checked files are removed, and the backup before it.
#pragma once
#include "app/wizard_page.h"

class CleanOptionsPage : public WizardPage {
public:
    CleanOptionsPage();
};
