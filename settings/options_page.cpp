#include "settings/options_page.h"

#include "res/resource.h"
#include "settings/config_document.h"

namespace {

constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_OPT_DEFAULT, Anchor::MoveX | Anchor::MoveY}};

struct CheckBinding {
    int id;
    const char* element;
};
// In this order: the months box follows the first one.
constexpr CheckBinding kOptions[] = {
    {IDC_OPT_NOT_ACCESSED, "FindFilesHaveNotAccessed"}, {IDC_OPT_SKIP_READ_ONLY, "SkipReadOnlyFiles"},
    {IDC_OPT_SKIP_SYSTEM, "SkipSystemFiles"},           {IDC_OPT_SKIP_HIDDEN, "SkipHiddenFiles"},
    {IDC_OPT_ZERO_LENGTH, "FindZeroLengthFiles"},       {IDC_OPT_INVALID_SHORTCUT, "FindInvalidShortcuts"},
    {IDC_OPT_FIND_TEMP, "FindTemp"},                    {IDC_OPT_FIND_IE_TEMP, "FindIETemp"},
    {IDC_OPT_FIND_RECENT, "FindRecent"},                {IDC_OPT_FIND_IE_HISTORY, "FindIEHistory"},
    {IDC_OPT_FIND_IE_COOKIES, "FindIECookies"},
};

std::string ElementPath(const char* element) { return std::string("/config/tidyhold/options/") + element; }

}  // namespace

OptionsPage::OptionsPage() : WizardPage(IDD_OPTIONS_PAGE, kAnchors) {}

bool OptionsPage::OnInit() {
    SetUpPage();
    Load(false);
    return false;
}

void OptionsPage::Load(bool useDefaults) {
    ConfigDocument config;
    config.Open();
    for (const CheckBinding& option : kOptions) {
        std::string path = ElementPath(option.element);
        SetChecked(hwnd, option.id, config.ReadFlag(path, useDefaults ? "default" : "checked"));
        if (option.id == IDC_OPT_NOT_ACCESSED)
            SetDlgItemTextA(hwnd, IDC_OPT_MONTHS, config.ReadText(path, useDefaults ? "monthdefault" : "month").c_str());
    }
}

void OptionsPage::OnDestroy() {
    ConfigDocument config;
    if (!config.Open()) return;
    for (const CheckBinding& option : kOptions) {
        XmlNode node = config.FindNode(ElementPath(option.element));
        config.SetAttribute(node, "checked", IsChecked(hwnd, option.id) ? "1" : "0");
        if (option.id == IDC_OPT_NOT_ACCESSED) config.SetAttribute(node, "month", ItemText(hwnd, IDC_OPT_MONTHS));
    }
    config.Save();
}

bool OptionsPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<OptionsPage> routes[] = {{IDC_OPT_DEFAULT, &OptionsPage::OnDefault}};
    return Route(*this, routes, id, code);
}

void OptionsPage::OnDefault() { Load(true); }
