// Page 0: the translated welcome text beside its picture.
#pragma once
#include "app/wizard_page.h"

class WelcomePage : public WizardPage {
public:
    WelcomePage();
};
