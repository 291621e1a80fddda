// Page 1: the fixed drives and their folders in a three-state check tree.
#pragma once
#include "app/wizard_page.h"

class FolderPage : public WizardPage {
public:
    FolderPage();
};
