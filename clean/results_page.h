// Page 9: the end of the wizard, with the way to the log viewer.
#pragma once
#include "ui/wizard_page.h"

class ResultsPage : public WizardPage {
public:
    ResultsPage();

protected:
    bool OnCommand(int id, int code) override;

private:
    void OnLogViewer();
};
