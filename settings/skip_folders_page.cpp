#include "settings/skip_folders_page.h"

#include <commctrl.h>

#include "app/list_view.h"
#include "app/message_box.h"
#include "res/resource.h"
#include "settings/config_document.h"
#include "settings/folder_browser.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_SKIP_LIST, Anchor::GrowX | Anchor::GrowY},
    {IDC_SKIP_ADD, Anchor::MoveY},         {IDC_SKIP_REMOVE, Anchor::MoveY},
    {IDC_SKIP_DEFAULT, Anchor::MoveX | Anchor::MoveY},
};
constexpr ListColumn kColumns[] = {{"_FoldersToSkipFromSearch", 600}};
}  // namespace

SkipFoldersPage::SkipFoldersPage() : WizardPage(IDD_SKIP_FOLDERS_PAGE, kAnchors) {}

HWND SkipFoldersPage::List() const { return Item(IDC_SKIP_LIST); }

bool SkipFoldersPage::OnInit() {
    SetUpListColumns(List(), kColumns, 1, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    Load(false);
    SetUpPage();
    return false;
}

void SkipFoldersPage::Load(bool useDefaults) {
    ListView_DeleteAllItems(List());
    for (const ListRow& row : ReadList("SkipFolders", useDefaults)) {
        int index = AppendRow(List(), {row.text});
        SetRowChecked(List(), index, row.checked);
    }
}

void SkipFoldersPage::OnDestroy() {
    std::vector<ListRow> rows;
    int count = RowCount(List());
    for (int row = 0; row < count; ++row) rows.push_back({RowText(List(), row, 0), "", RowChecked(List(), row)});
    RewriteList("SkipFolders", rows);
}

bool SkipFoldersPage::OnCommand(int id, int /*code*/) {
    static constexpr CommandRoute<SkipFoldersPage> routes[] = {
        {IDC_SKIP_ADD, &SkipFoldersPage::OnAdd},
        {IDC_SKIP_REMOVE, &SkipFoldersPage::OnRemove},
        {IDC_SKIP_DEFAULT, &SkipFoldersPage::OnDefault},
    };
    return Route(*this, routes, id);
}

void SkipFoldersPage::OnAdd() {
    std::optional<std::string> folder = BrowseForFolder();
    if (!folder) return;
    int row = AppendRow(List(), {*folder});
    SetRowChecked(List(), row, true);
}

void SkipFoldersPage::OnRemove() {
    int row = SelectedRow(List());
    if (row < 0) {
        ShowMessage(hwnd, "_YouMustSelectAnItem");
        return;
    }
    DeleteRowKeepingSelection(List(), row);
}

void SkipFoldersPage::OnDefault() { Load(true); }
