// Page 3: the search options and the months threshold.
#pragma once
#include "ui/wizard_page.h"

class OptionsPage : public WizardPage {
public:
    OptionsPage();
    ~OptionsPage() override { DestroyNow(); }

    void Load(bool useDefaults);

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;

private:
    void OnDefault();
};
