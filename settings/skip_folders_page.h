// Page 4: the folders the scan must not enter.
#pragma once
#include "app/wizard_page.h"

class SkipFoldersPage : public WizardPage {
public:
    SkipFoldersPage();

protected:
    bool OnInit() override;
};
