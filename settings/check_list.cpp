#include "settings/check_list.h"

#include <commctrl.h>

#include "ui/list_view.h"
#include "ui/message_box.h"

void ShowRows(HWND list, const std::vector<ListRow>& rows, RowShape shape, const std::vector<LPARAM>& data) {
    RedrawOff redrawOff(list);
    ListView_DeleteAllItems(list);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ListRow& row = rows[i];
        LPARAM rowData = i < data.size() ? data[i] : 0;
        int index = shape == RowShape::TextOnly ? AppendRow(list, {row.text}, rowData)
                                                : AppendRow(list, {row.text, row.description}, rowData);
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
