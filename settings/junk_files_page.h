// Page 2: the junk-file masks with their descriptions and check boxes.
#pragma once
#include "app/wizard_page.h"

class JunkFilesPage : public WizardPage {
public:
    JunkFilesPage();

protected:
    bool OnInit() override;
};
