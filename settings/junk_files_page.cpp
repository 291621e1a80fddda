#include "settings/junk_files_page.h"

#include <commctrl.h>

#include "res/resource.h"
#include "settings/check_list.h"
#include "settings/junk_descriptions.h"
#include "settings/junk_file_dialog.h"
#include "ui/list_view.h"
#include "ui/message_box.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_JUNK_LIST, Anchor::GrowX | Anchor::GrowY},
    {IDC_JUNK_ADD, Anchor::MoveY},         {IDC_JUNK_DELETE, Anchor::MoveY},
    {IDC_JUNK_MODIFY, Anchor::MoveY},      {IDC_JUNK_CHECK_ALL, Anchor::MoveY},
    {IDC_JUNK_UNCHECK_ALL, Anchor::MoveY}, {IDC_JUNK_DEFAULT, Anchor::MoveX | Anchor::MoveY},
};
constexpr ListColumn kColumns[] = {{"_JunkName", 200}, {"_JunkDescription", 400}};
}  // namespace

JunkFilesPage::JunkFilesPage() : SettingsPage(IDD_JUNK_FILES_PAGE, kAnchors) {}

HWND JunkFilesPage::List() const { return Item(IDC_JUNK_LIST); }

bool JunkFilesPage::OnInit() {
    SetUpListColumns(List(), kColumns, 2, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    Load(false);
    SetUpPage();
    return false;
}

// A factory description shows in the current language; the row's data remembers its key.
void JunkFilesPage::Load(bool useDefaults) {
    std::vector<ListRow> rows = Config().ReadList(ListSection::JunkFiles, useDefaults);
    std::vector<LPARAM> factory;
    for (ListRow& row : rows) {
        factory.push_back(FactoryDescription(row.description));
        row.description = ShownDescription(row.description);
    }
    ShowRows(List(), rows, RowShape::TextAndDescription, factory);
}

// A factory description goes back as its key while the row still shows the key's text, so the
// next language file translates it too; an edited one is the user's own text from then on.
void JunkFilesPage::OnDestroy() {
    std::vector<ListRow> rows = CollectRows(List(), RowShape::TextAndDescription);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        int factory = static_cast<int>(RowData(List(), static_cast<int>(i)));
        rows[i].description = StoredDescription(factory, std::move(rows[i].description));
    }
    StoreConfig([&](ConfigDocument& config) { config.RewriteList(ListSection::JunkFiles, rows); });
}

MaskTable JunkFilesPage::CheckedMasks() const {
    MaskTable masks;
    for (const ListRow& row : CollectRows(List(), RowShape::TextAndDescription))
        if (row.checked) masks[row.text] = row.description;  // a later row with the same mask wins
    return masks;
}

bool JunkFilesPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<JunkFilesPage> routes[] = {
        {IDC_JUNK_ADD, &JunkFilesPage::OnAdd},
        {IDC_JUNK_MODIFY, &JunkFilesPage::OnModify},
        {IDC_JUNK_DELETE, &JunkFilesPage::OnDelete},
        {IDC_JUNK_CHECK_ALL, &JunkFilesPage::OnCheckAll},
        {IDC_JUNK_UNCHECK_ALL, &JunkFilesPage::OnUncheckAll},
        {IDC_JUNK_DEFAULT, &JunkFilesPage::OnDefault},
    };
    return Route(*this, routes, id, code);
}

void JunkFilesPage::OnAdd() {
    JunkFileDialog dialog("_AddJunkFileDialogCaption", "", "");
    if (dialog.RunModal(GetActiveWindow()) != IDOK) return;
    int row = AppendRow(List(), {dialog.mask, dialog.description});
    SetRowChecked(List(), row, true);
}

void JunkFilesPage::OnModify() {
    int row = SelectedRow(List());
    if (row < 0) {
        ShowMessage(hwnd, "_YouMustSelectAnItem");
        return;
    }
    JunkFileDialog dialog("_ModifyJunkFileDialogCaption", RowText(List(), row, 0), RowText(List(), row, 1));
    if (dialog.RunModal(GetActiveWindow()) != IDOK) return;
    SetRowText(List(), row, 0, dialog.mask);
    SetRowText(List(), row, 1, dialog.description);
}

void JunkFilesPage::OnDelete() { DeleteSelectedRow(hwnd, List()); }

void JunkFilesPage::OnCheckAll() { SetAllChecked(List(), true); }
void JunkFilesPage::OnUncheckAll() { SetAllChecked(List(), false); }
void JunkFilesPage::OnDefault() { Load(true); }
