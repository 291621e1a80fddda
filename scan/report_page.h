// Page 6: every found file with its size and reason, checked at first.
#pragma once
#include "app/wizard_page.h"

class ReportPage : public WizardPage {
public:
    ReportPage();

    // Next on this page: true when at least one row is checked, so the cleaning options follow.
    bool LeaveReport() const;

protected:
    bool OnInit() override;
};
