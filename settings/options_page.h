// Page 3: the search options and the months threshold.
#pragma once
#include "app/wizard_page.h"

class OptionsPage : public WizardPage {
public:
    OptionsPage();
};
