#include "settings/skip_folders_page.h"

#include <commctrl.h>

#include "res/resource.h"
#include "settings/check_list.h"
#include "ui/folder_browser.h"
#include "ui/list_view.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_SKIP_LIST, Anchor::GrowX | Anchor::GrowY},
    {IDC_SKIP_ADD, Anchor::MoveY},         {IDC_SKIP_REMOVE, Anchor::MoveY},
    {IDC_SKIP_DEFAULT, Anchor::MoveX | Anchor::MoveY},
};
constexpr ListColumn kColumns[] = {{"_FoldersToSkipFromSearch", 600}};
}  // namespace

SkipFoldersPage::SkipFoldersPage() : SettingsPage(IDD_SKIP_FOLDERS_PAGE, kAnchors) {}

HWND SkipFoldersPage::List() const { return Item(IDC_SKIP_LIST); }

bool SkipFoldersPage::OnInit() {
    SetUpListColumns(List(), kColumns, 1, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    Load(false);
    SetUpPage();
    return false;
}

void SkipFoldersPage::Load(bool useDefaults) {
    ShowRows(List(), Config().ReadList(ListSection::SkipFolders, useDefaults), RowShape::TextOnly);
}

void SkipFoldersPage::OnDestroy() {
    std::vector<ListRow> rows = CollectRows(List(), RowShape::TextOnly);
    StoreConfig([&](ConfigDocument& config) { config.RewriteList(ListSection::SkipFolders, rows); });
}

std::vector<std::string> SkipFoldersPage::CheckedFolders() const {
    std::vector<std::string> folders;
    for (const ListRow& row : CollectRows(List(), RowShape::TextOnly))
        if (row.checked) folders.push_back(row.text);
    return folders;
}

bool SkipFoldersPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<SkipFoldersPage> routes[] = {
        {IDC_SKIP_ADD, &SkipFoldersPage::OnAdd},
        {IDC_SKIP_REMOVE, &SkipFoldersPage::OnRemove},
        {IDC_SKIP_DEFAULT, &SkipFoldersPage::OnDefault},
    };
    return Route(*this, routes, id, code);
}

void SkipFoldersPage::OnAdd() {
    std::optional<std::string> folder = BrowseForFolder();
    if (!folder) return;
    int row = AppendRow(List(), {*folder});
    SetRowChecked(List(), row, true);
}

void SkipFoldersPage::OnRemove() { DeleteSelectedRow(hwnd, List()); }

void SkipFoldersPage::OnDefault() { Load(true); }
