// Page 3: the search options and the months threshold.
#pragma once
#include "base/scan_settings.h"
#include "settings/settings_page.h"

class OptionsPage : public SettingsPage {
public:
    OptionsPage();
    ~OptionsPage() override { DestroyNow(); }

    void Load(bool useDefaults);
    // The eleven flags and the months threshold; an empty or non-numeric months text gives 0.
    void FillSearchOptions(ScanSettings& scan) const;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;

private:
    void OnDefault();
};
