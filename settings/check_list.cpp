#include "settings/check_list.h"

#include <commctrl.h>

#include "ui/list_view.h"
#include "ui/message_box.h"

void ShowRows(HWND list, const std::vector<ListRow>& rows, RowShape shape) {
    RedrawOff redrawOff(list);
    ListView_DeleteAllItems(list);
    for (const ListRow& row : rows) {
        int index = shape == RowShape::TextOnly ? AppendRow(list, {row.text}) : AppendRow(list, {row.text, row.description});
        SetRowChecked(list, index, row.checked);
    }
}

std::vector<ListRow> CollectRows(HWND list, RowShape shape) {
    std::vector<ListRow> rows;
    int count = RowCount(list);
    for (int row = 0; row < count; ++row) {
        std::string description = shape == RowShape::TextOnly ? std::string() : RowText(list, row, 1);
        rows.push_back({RowText(list, row, 0), std::move(description), RowChecked(list, row)});
    }
    return rows;
}

void DeleteSelectedRow(HWND page, HWND list) {
    int row = SelectedRow(list);
    if (row < 0) {
        ShowMessage(page, "_YouMustSelectAnItem");
        return;
    }
    DeleteRowKeepingSelection(list, row);
}
