// The list pages' rows: a text (and for junk files a description) with a check box.
#pragma once
#include <windows.h>

#include <vector>

#include "settings/settings_store.h"

enum class RowShape { TextOnly, TextAndDescription };

// Each row's item data is data[row], 0 past its end.
void ShowRows(HWND list, const std::vector<ListRow>& rows, RowShape shape, const std::vector<LPARAM>& data = {});
std::vector<ListRow> CollectRows(HWND list, RowShape shape);
// Deletes the selected row; with none, tells the user on the page to select one.
void DeleteSelectedRow(HWND page, HWND list);
