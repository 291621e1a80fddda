#include "settings/clean_options_page.h"

#include "res/resource.h"
#include "settings/config_document.h"
#include "settings/path_macros.h"
#include "ui/folder_browser.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_CLEAN_DEFAULT, Anchor::MoveX | Anchor::MoveY}};
constexpr const char* kCleanMode = "/config/tidyhold/CleanOptions/CleanMode";
constexpr const char* kBackup = "/config/tidyhold/CleanOptions/Backup";
}  // namespace

CleanOptionsPage::CleanOptionsPage() : WizardPage(IDD_CLEAN_OPTIONS_PAGE, kAnchors) {}

bool CleanOptionsPage::OnInit() {
    SetUpPage();
    Load(false);
    return false;
}

void CleanOptionsPage::Load(bool useDefaults) {
    SetChecked(hwnd, IDC_CLEAN_PERMANENT, false);
    SetChecked(hwnd, IDC_CLEAN_RECYCLE, false);
    ConfigDocument config;
    config.Open();
    bool recycle = ParseLeadingInt(config.ReadText(kCleanMode, useDefaults ? "defaultindex" : "index")) != 0;
    SetChecked(hwnd, recycle ? IDC_CLEAN_RECYCLE : IDC_CLEAN_PERMANENT, true);
    SetChecked(hwnd, IDC_CLEAN_BACKUP, config.ReadFlag(kBackup, useDefaults ? "default" : "checked"));
    std::string directory = config.ReadText(kBackup, useDefaults ? "DefaultBackupDirectory" : "BackupDirectory");
    SetDlgItemTextA(hwnd, IDC_CLEAN_BACKUP_DIR, PathMacros::Expand(directory).c_str());
    EnableBackupDirectory();
}

void CleanOptionsPage::OnDestroy() {
    ConfigDocument config;
    if (!config.Open()) return;
    int mode = IsChecked(hwnd, IDC_CLEAN_PERMANENT) ? 0 : IsChecked(hwnd, IDC_CLEAN_RECYCLE) ? 1 : 0;
    config.SetAttribute(config.FindNode(kCleanMode), "index", mode);
    XmlNode backup = config.FindNode(kBackup);
    config.SetAttribute(backup, "checked", IsChecked(hwnd, IDC_CLEAN_BACKUP) ? "1" : "0");
    config.SetAttribute(backup, "BackupDirectory", PathMacros::Collapse(ItemText(hwnd, IDC_CLEAN_BACKUP_DIR)));
    config.Save();
}

bool CleanOptionsPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<CleanOptionsPage> routes[] = {
        {IDC_CLEAN_BACKUP, &CleanOptionsPage::OnBackup},
        {IDC_CLEAN_BROWSE, &CleanOptionsPage::OnBrowse},
        {IDC_CLEAN_DEFAULT, &CleanOptionsPage::OnDefault},
    };
    return Route(*this, routes, id, code);
}

void CleanOptionsPage::EnableBackupDirectory() {
    bool backup = IsChecked(hwnd, IDC_CLEAN_BACKUP);
    EnableWindow(Item(IDC_CLEAN_BACKUP_DIR), backup);
    EnableWindow(Item(IDC_CLEAN_BROWSE), backup);
}

void CleanOptionsPage::OnBackup() { EnableBackupDirectory(); }

void CleanOptionsPage::OnBrowse() {
    if (std::optional<std::string> folder = BrowseForFolder())
        SetDlgItemTextA(hwnd, IDC_CLEAN_BACKUP_DIR, folder->c_str());
}

void CleanOptionsPage::OnDefault() { Load(true); }
