#include "settings/options_page.h"

#include "res/resource.h"
#include "settings/settings_store.h"

namespace {

constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_OPT_DEFAULT, Anchor::MoveX | Anchor::MoveY}};

// Check box <-> element under "options" <-> what the scan takes from it.
struct CheckBinding {
    int id;
    const char* element;
    bool ScanSettings::*setting;
};
constexpr CheckBinding kOptions[] = {
    {IDC_OPT_NOT_ACCESSED, "FindFilesHaveNotAccessed", &ScanSettings::FindFilesHaveNotAccessed},
    {IDC_OPT_SKIP_READ_ONLY, "SkipReadOnlyFiles", &ScanSettings::SkipReadOnlyFiles},
    {IDC_OPT_SKIP_SYSTEM, "SkipSystemFiles", &ScanSettings::SkipSystemFiles},
    {IDC_OPT_SKIP_HIDDEN, "SkipHiddenFiles", &ScanSettings::SkipHiddenFiles},
    {IDC_OPT_ZERO_LENGTH, "FindZeroLengthFiles", &ScanSettings::FindZeroLengthFiles},
    {IDC_OPT_INVALID_SHORTCUT, "FindInvalidShortcuts", &ScanSettings::FindInvalidShortcuts},
    {IDC_OPT_FIND_TEMP, "FindTemp", &ScanSettings::FindTemp},
    {IDC_OPT_FIND_IE_TEMP, "FindIETemp", &ScanSettings::FindIETemp},
    {IDC_OPT_FIND_RECENT, "FindRecent", &ScanSettings::FindRecent},
    {IDC_OPT_FIND_IE_HISTORY, "FindIEHistory", &ScanSettings::FindIEHistory},
    {IDC_OPT_FIND_IE_COOKIES, "FindIECookies", &ScanSettings::FindIECookies},
};

// The scan reads no more of the months box than this.
constexpr size_t kMonthsLength = 254;

}  // namespace

OptionsPage::OptionsPage() : SettingsPage(IDD_OPTIONS_PAGE, kAnchors) {}

bool OptionsPage::OnInit() {
    SetUpPage();
    Load(false);
    return false;
}

void OptionsPage::Load(bool useDefaults) {
    const ConfigDocument& config = Config();
    for (const CheckBinding& option : kOptions)
        SetChecked(hwnd, option.id, config.ReadOption(option.element, useDefaults));
    SetDlgItemTextA(hwnd, IDC_OPT_MONTHS, config.ReadMonths(useDefaults).c_str());
}

void OptionsPage::OnDestroy() {
    StoreConfig([this](ConfigDocument& config) {
        for (const CheckBinding& option : kOptions) config.WriteOption(option.element, IsChecked(hwnd, option.id));
        config.WriteMonths(ItemText(hwnd, IDC_OPT_MONTHS));
    });
}

void OptionsPage::FillSearchOptions(ScanSettings& scan) const {
    for (const CheckBinding& option : kOptions) scan.*option.setting = IsChecked(hwnd, option.id);
    scan.Months = ParseLeadingInt(ItemText(hwnd, IDC_OPT_MONTHS).substr(0, kMonthsLength));
}

bool OptionsPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<OptionsPage> routes[] = {{IDC_OPT_DEFAULT, &OptionsPage::OnDefault}};
    return Route(*this, routes, id, code);
}

void OptionsPage::OnDefault() { Load(true); }
