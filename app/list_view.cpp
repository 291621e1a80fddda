#include "app/list_view.h"

#include <commctrl.h>

#include <string>

#include "app/language_table.h"

void SetUpListColumns(HWND list, const ListColumn* columns, int count, DWORD extendedStyles) {
    for (int i = 0; i < count; ++i) {
        std::string heading = Language().Lookup(columns[i].headingKey);
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = heading.data();
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    ListView_SetExtendedListViewStyle(list, extendedStyles);
}
