// Page 0: the translated welcome text beside its picture.
#pragma once
#include "ui/wizard_page.h"

class WelcomePage : public WizardPage {
public:
    WelcomePage();
};
