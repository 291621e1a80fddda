// Page 9: the end of the wizard: what the cleaning did, and the way to the log viewer.
#pragma once
#include <string>

#include "clean/cleaning_page.h"
#include "ui/wizard_page.h"

// The results line: removed files, the space freed, the files kept and why, the backup set.
// Empty when no cleaning ran.
std::string OutcomeLine(const CleaningOutcome& outcome);

class ResultsPage : public WizardPage {
public:
    ResultsPage();

    void ShowOutcome(const CleaningOutcome& outcome);

protected:
    bool OnCommand(int id, int code) override;

private:
    void OnLogViewer();
    void OnOpenBackup();

    std::string setFolder;  // of the cleaning shown
};
