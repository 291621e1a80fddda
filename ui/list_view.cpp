#include "ui/list_view.h"

#include <commctrl.h>

#include "base/ansi.h"
#include "ui/language_table.h"
#include "ui/screen_scale.h"

void SetUpListColumns(HWND list, const ListColumn* columns, int count, DWORD extendedStyles) {
    for (int i = 0; i < count; ++i) {
        std::string heading = Language().Lookup(columns[i].headingKey);
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = ScaleToScreen(columns[i].width);
        column.pszText = heading.data();
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    ListView_SetExtendedListViewStyle(list, extendedStyles);
}

int AppendRow(HWND list, const std::vector<std::string>& texts, LPARAM data) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount(list);
    item.lParam = data;
    std::string first = texts.empty() ? std::string() : texts[0];
    item.pszText = first.data();
    int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return row;
    for (size_t column = 1; column < texts.size(); ++column) SetRowText(list, row, static_cast<int>(column), texts[column]);
    return row;
}

// Read as UTF-16: an 8-bit read cuts the text before a character that straddles the buffer's end
// and then looks complete, so a long path would come back as a shorter one.
std::string RowText(HWND list, int row, int column) {
    constexpr size_t kLongestText = 16 << 20;  // a list answering with more is broken: take what came
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        int length = static_cast<int>(SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                                   reinterpret_cast<LPARAM>(&item)));
        if (length >= 0 && length < static_cast<int>(buffer.size()) - 1)
            return FromWide({buffer.data(), static_cast<size_t>(length)});
        buffer.assign(buffer.size() * 2, L'\0');  // the text may have been cut: ask again with room to spare
        if (buffer.size() > kLongestText) return {};
    }
}

LPARAM RowData(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return ListView_GetItem(list, &item) ? item.lParam : -1;
}

void SetRowText(HWND list, int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int RowCount(HWND list) { return ListView_GetItemCount(list); }

bool RowChecked(HWND list, int row) { return ListView_GetCheckState(list, row) != 0; }

void SetRowChecked(HWND list, int row, bool checked) { ListView_SetCheckState(list, row, checked ? TRUE : FALSE); }

// Row -1 is every row, in one message instead of one a row.
void SetAllChecked(HWND list, bool checked) { SetRowChecked(list, -1, checked); }

int SelectedRow(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }

void SelectRow(HWND list, int row) {
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if ((ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED) != 0) ListView_EnsureVisible(list, row, FALSE);
}

void DeleteRowKeepingSelection(HWND list, int row) {
    ListView_DeleteItem(list, row);
    int count = RowCount(list);
    if (count == 0) return;
    SelectRow(list, row < count ? row : count - 1);
}
