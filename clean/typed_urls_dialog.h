// Lists the addresses typed into the browser's address bar and clears the checked ones.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ui/dialog.h"

inline constexpr const char* kTypedUrlsKey = "Software\\Microsoft\\Internet Explorer\\TypedUrls";

// One value of the key: its name identifies the entry, its text is the address.
struct TypedUrl {
    std::string name;
    std::string text;
};

// The key's values in enumeration order; a missing key gives none.
std::vector<TypedUrl> ReadTypedUrls(HKEY root, const std::string& key);
// Deletes the named values and flushes the key; false when the key cannot be opened. A name holding
// a NUL is passed over.
bool DeleteTypedUrls(HKEY root, const std::string& key, const std::vector<std::string>& names);
// The row to select after a clear left `rowCount` rows: the one that was selected, or the last
// row when that is gone; -1 for none.
int SelectionAfterClear(int selected, int rowCount);

class TypedUrlsDialog : public Dialog {
public:
    explicit TypedUrlsDialog(HKEY root = HKEY_CURRENT_USER, std::string key = kTypedUrlsKey);

    const std::vector<TypedUrl>& Rows() const { return rows; }

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;

private:
    HWND List() const;
    void FillList();
    void OnCheckAll();
    void OnUncheckAll();
    void OnClear();
    void OnCancel();

    HKEY root;
    std::string key;
    std::vector<TypedUrl> rows;  // a row's item data is its index here
};
