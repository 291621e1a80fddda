// Report-view list helpers shared by the list pages and dialogs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct ListColumn {
    const char* headingKey;  // looked up in the language table when the column is made
    int width;  // in pixels at 96 DPI
};

// Painting a list view after every insert costs milliseconds a row: the fill runs with
// redraw off and repaints once at the end, however it leaves.
class RedrawOff {
public:
    explicit RedrawOff(HWND window) : window(window) { SendMessageA(window, WM_SETREDRAW, FALSE, 0); }
    ~RedrawOff() {
        SendMessageA(window, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window, nullptr, TRUE);
    }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    HWND window;
};

// Inserts the columns, left-aligned, and sets the extended styles.
void SetUpListColumns(HWND list, const ListColumn* columns, int count, DWORD extendedStyles);

// Appends a row with its texts (column 0 first) and item data; returns its index.
int AppendRow(HWND list, const std::vector<std::string>& texts, LPARAM data = 0);
// A cell's whole text, whatever its length.
std::string RowText(HWND list, int row, int column);
// A row's item data; -1 for a row that is not there.
LPARAM RowData(HWND list, int row);
void SetRowText(HWND list, int row, int column, const std::string& text);
int RowCount(HWND list);
bool RowChecked(HWND list, int row);
void SetRowChecked(HWND list, int row, bool checked);
void SetAllChecked(HWND list, bool checked);
// The first selected row, or -1.
int SelectedRow(HWND list);
// Selects and focuses a row and scrolls it into view.
void SelectRow(HWND list, int row);
// Deletes a row and selects the one now at its place, or the new last row.
void DeleteRowKeepingSelection(HWND list, int row);
