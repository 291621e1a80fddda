// Page 7: how the checked files are removed, and the backup before it.
#pragma once
#include "settings/settings_page.h"
#include "settings/settings_store.h"

class CleanOptionsPage : public SettingsPage {
public:
    CleanOptionsPage();
    ~CleanOptionsPage() override { DestroyNow(); }

    void Load(bool useDefaults);
    // What the page shows now: the cleaning run's hand-over, and what is stored at close.
    CleanOptions Options() const;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;

private:
    void OnBackup();
    void OnBrowse();
    void OnDefault();
    void EnableBackupDirectory();
};
