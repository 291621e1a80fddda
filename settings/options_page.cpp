#include "settings/options_page.h"

#include <iterator>

#include "res/resource.h"
#include "settings/scan_config.h"
#include "settings/settings_store.h"

namespace {

constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_OPT_DEFAULT, Anchor::MoveX | Anchor::MoveY}};

// The check boxes of kSearchOptions, in its order.
constexpr int kOptionIds[] = {
    IDC_OPT_NOT_ACCESSED, IDC_OPT_SKIP_READ_ONLY,   IDC_OPT_SKIP_SYSTEM, IDC_OPT_SKIP_HIDDEN,
    IDC_OPT_ZERO_LENGTH,  IDC_OPT_INVALID_SHORTCUT, IDC_OPT_FIND_TEMP,   IDC_OPT_FIND_IE_TEMP,
    IDC_OPT_FIND_RECENT,  IDC_OPT_FIND_IE_HISTORY,  IDC_OPT_FIND_IE_COOKIES,
};
static_assert(std::size(kOptionIds) == kSearchOptions.size());

}  // namespace

OptionsPage::OptionsPage() : SettingsPage(IDD_OPTIONS_PAGE, kAnchors) {}

bool OptionsPage::OnInit() {
    SetUpPage();
    Load(false);
    return false;
}

void OptionsPage::Load(bool useDefaults) {
    const ConfigDocument& config = Config();
    for (std::size_t i = 0; i < kSearchOptions.size(); ++i)
        SetChecked(hwnd, kOptionIds[i], config.ReadOption(kSearchOptions[i].element, useDefaults));
    SetDlgItemTextA(hwnd, IDC_OPT_MONTHS, config.ReadMonths(useDefaults).c_str());
}

void OptionsPage::OnDestroy() {
    StoreConfig([this](ConfigDocument& config) {
        for (std::size_t i = 0; i < kSearchOptions.size(); ++i)
            config.WriteOption(kSearchOptions[i].element, IsChecked(hwnd, kOptionIds[i]));
        config.WriteMonths(ItemText(hwnd, IDC_OPT_MONTHS));
    });
}

void OptionsPage::FillSearchOptions(ScanSettings& scan) const {
    for (std::size_t i = 0; i < kSearchOptions.size(); ++i)
        scan.*kSearchOptions[i].setting = IsChecked(hwnd, kOptionIds[i]);
    scan.Months = ParseLeadingInt(ItemText(hwnd, IDC_OPT_MONTHS).substr(0, kMonthsLength));
}

bool OptionsPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<OptionsPage> routes[] = {{IDC_OPT_DEFAULT, &OptionsPage::OnDefault}};
    return Route(*this, routes, id, code);
}

void OptionsPage::OnDefault() { Load(true); }
