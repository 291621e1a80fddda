#include "settings/clean_options_page.h"

#include "res/resource.h"
#include "settings/settings_store.h"
#include "ui/folder_browser.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_CLEAN_DEFAULT, Anchor::MoveX | Anchor::MoveY}};
}  // namespace

CleanOptionsPage::CleanOptionsPage() : SettingsPage(IDD_CLEAN_OPTIONS_PAGE, kAnchors) {}

bool CleanOptionsPage::OnInit() {
    SetUpPage();
    Load(false);
    return false;
}

void CleanOptionsPage::Load(bool useDefaults) {
    SetChecked(hwnd, IDC_CLEAN_PERMANENT, false);
    SetChecked(hwnd, IDC_CLEAN_RECYCLE, false);
    CleanOptions options = Config().ReadCleanOptions(useDefaults);
    SetChecked(hwnd, options.recycle ? IDC_CLEAN_RECYCLE : IDC_CLEAN_PERMANENT, true);
    SetChecked(hwnd, IDC_CLEAN_BACKUP, options.backup);
    SetDlgItemTextA(hwnd, IDC_CLEAN_BACKUP_DIR, options.backupDirectory.c_str());
    EnableBackupDirectory();
}

CleanOptions CleanOptionsPage::Options() const {
    CleanOptions options;
    // With neither mode on, the permanent one counts.
    options.recycle = !IsChecked(hwnd, IDC_CLEAN_PERMANENT) && IsChecked(hwnd, IDC_CLEAN_RECYCLE);
    options.backup = IsChecked(hwnd, IDC_CLEAN_BACKUP);
    options.backupDirectory = ItemText(hwnd, IDC_CLEAN_BACKUP_DIR);
    return options;
}

void CleanOptionsPage::OnDestroy() {
    CleanOptions options = Options();
    StoreConfig([&](ConfigDocument& config) { config.WriteCleanOptions(options); });
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
