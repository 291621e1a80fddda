// Page 4: the folders the scan must not enter.
#pragma once
#include "ui/wizard_page.h"

class SkipFoldersPage : public WizardPage {
public:
    SkipFoldersPage();
    ~SkipFoldersPage() override { DestroyNow(); }

    void Load(bool useDefaults);

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;

private:
    HWND List() const;
    void OnAdd();
    void OnRemove();
    void OnDefault();
};
