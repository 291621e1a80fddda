#include "clean/typed_urls_dialog.h"

#include <commctrl.h>

#include "base/registry.h"
#include "base/win_handles.h"
#include "res/resource.h"
#include "ui/language_table.h"
#include "ui/list_view.h"

namespace {
constexpr ListColumn kColumns[] = {{"_TypedUrlsDialogColUrl", 450}};
}  // namespace

std::vector<TypedUrl> ReadTypedUrls(HKEY root, const std::string& key) {
    std::vector<TypedUrl> urls;
    for (std::string& name : ReadValueNames(root, key)) {
        std::string text = ReadValueText(root, key, name);
        urls.push_back({std::move(name), std::move(text)});
    }
    return urls;
}

bool DeleteTypedUrls(HKEY root, const std::string& key, const std::vector<std::string>& names) {
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, opened.Put()) != ERROR_SUCCESS) return false;
    for (const std::string& name : names) {
        if (name.find('\0') != std::string::npos) continue;  // its text up to the NUL names another value
        RegDeleteValueA(opened.Get(), name.c_str());       // one already gone is fine
    }
    RegFlushKey(opened.Get());
    return true;
}

int SelectionAfterClear(int selected, int rowCount) {
    if (selected < 0 || rowCount <= 0) return -1;
    return selected < rowCount ? selected : rowCount - 1;
}

TypedUrlsDialog::TypedUrlsDialog(HKEY root, std::string key)
    : Dialog(IDD_TYPED_URLS_DIALOG), root(root), key(std::move(key)) {}

HWND TypedUrlsDialog::List() const { return Item(IDC_TYPED_URLS_LIST); }

bool TypedUrlsDialog::OnInit() {
    CenterWindow(hwnd);
    SetUpListColumns(List(), kColumns, 1, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    Language().TranslateWindow(hwnd);
    FillList();
    return true;
}

bool TypedUrlsDialog::OnCommand(int id, int code) {
    static constexpr CommandRoute<TypedUrlsDialog> routes[] = {
        {IDC_TYPED_URLS_CHECK_ALL, &TypedUrlsDialog::OnCheckAll},
        {IDC_TYPED_URLS_UNCHECK_ALL, &TypedUrlsDialog::OnUncheckAll},
        {IDC_TYPED_URLS_CLEAR, &TypedUrlsDialog::OnClear},
        {IDCANCEL, &TypedUrlsDialog::OnCancel},
    };
    return Route(*this, routes, id, code);
}

void TypedUrlsDialog::FillList() {
    HWND list = List();
    RedrawOff quiet(list);
    ListView_DeleteAllItems(list);
    rows = ReadTypedUrls(root, key);
    for (size_t index = 0; index < rows.size(); ++index) AppendRow(list, {rows[index].text}, static_cast<LPARAM>(index));
    SetAllChecked(list, false);  // Wine's list view takes no check state with the insert
}

void TypedUrlsDialog::OnCheckAll() { SetAllChecked(List(), true); }
void TypedUrlsDialog::OnUncheckAll() { SetAllChecked(List(), false); }

void TypedUrlsDialog::OnClear() {
    HWND list = List();
    int selected = SelectedRow(list);
    std::vector<std::string> names;
    for (int row = 0; row < RowCount(list); ++row) {
        if (!RowChecked(list, row)) continue;
        LPARAM index = RowData(list, row);
        if (index >= 0 && static_cast<size_t>(index) < rows.size()) names.push_back(rows[static_cast<size_t>(index)].name);
    }
    if (!names.empty()) DeleteTypedUrls(root, key, names);
    FillList();
    int next = SelectionAfterClear(selected, RowCount(list));
    if (next >= 0) SelectRow(list, next);
}

void TypedUrlsDialog::OnCancel() { Close(IDCANCEL); }
