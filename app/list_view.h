// Report-view list set-up shared by the list pages and dialogs.
#pragma once
#include <windows.h>

struct ListColumn {
    const char* headingKey;  // looked up in the language table when the column is made
    int width;
};

// Inserts the columns, left-aligned, and sets the extended styles.
void SetUpListColumns(HWND list, const ListColumn* columns, int count, DWORD extendedStyles);
