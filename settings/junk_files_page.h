// Page 2: the junk-file masks with their descriptions and check boxes.
#pragma once
#include "base/scan_settings.h"
#include "settings/settings_page.h"

class JunkFilesPage : public SettingsPage {
public:
    JunkFilesPage();
    ~JunkFilesPage() override { DestroyNow(); }

    void Load(bool useDefaults);
    // The checked rows for a scan.
    MaskTable CheckedMasks() const;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;

private:
    HWND List() const;
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnCheckAll();
    void OnUncheckAll();
    void OnDefault();
};
