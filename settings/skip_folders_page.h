// Page 4: the folders the scan must not enter.
#pragma once
#include <string>
#include <vector>

#include "settings/settings_page.h"

class SkipFoldersPage : public SettingsPage {
public:
    SkipFoldersPage();
    ~SkipFoldersPage() override { DestroyNow(); }

    void Load(bool useDefaults);
    // The checked rows for a scan, in list order; a folder listed twice comes twice.
    std::vector<std::string> CheckedFolders() const;

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
