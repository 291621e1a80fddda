#include "scan/more_info_dialog.h"

#include <commctrl.h>

#include "base/ansi.h"
#include "base/program_paths.h"
#include "res/resource.h"
#include "ui/language_table.h"
#include "ui/list_view.h"
#include "ui/shell_open.h"

MoreInfoDialog::MoreInfoDialog(std::string path, std::string searchText)
    : Dialog(IDD_MORE_INFO_DIALOG), path(std::move(path)), searchText(std::move(searchText)) {}

bool MoreInfoDialog::OnInit() {
    CenterWindow(hwnd);
    Language().TranslateWindow(hwnd);
    ShowIcon();
    SetWindowTextW(Item(IDC_MORE_INFO_PATH), ToWide(path).c_str());
    details = GatherFileDetails(path);
    if (!details.found) {
        EnableWindow(Item(IDC_MORE_INFO_LIST), FALSE);
        EnableWindow(Item(IDC_MORE_INFO_BROWSE), FALSE);
    }
    FillList();
    SendMessageA(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDOK)), TRUE);  // not the path, shown all selected
    return false;
}

void MoreInfoDialog::ShowIcon() {
    // Anything but an executable, a library or an icon file gives 1, not an icon.
    HICON extracted = ExtractIconW(AppInstance(), ExtendedPath(path).c_str(), 0);
    icon.Reset(reinterpret_cast<UINT_PTR>(extracted) > 1 ? extracted : nullptr);
    HICON shown = icon ? icon.Get() : LoadIconA(nullptr, IDI_INFORMATION);
    SendDlgItemMessageA(hwnd, IDC_MORE_INFO_ICON, STM_SETICON, reinterpret_cast<WPARAM>(shown), 0);
}

void MoreInfoDialog::FillList() {
    HWND list = Item(IDC_MORE_INFO_LIST);
    const ListColumn columns[] = {{"_AttributeName", 0}, {"_AttributeValue", 0}};
    SetUpListColumns(list, columns, 2, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
    {
        RedrawOff redrawOff(list);  // which also holds back the scroll bars
        for (const auto& [name, value] : DetailRows(details)) AppendRow(list, {name, value});
    }
    // Measured with the rows in: a vertical scroll bar narrows the list, and columns made for the
    // wider list would add a horizontal one.
    RECT client{};
    GetClientRect(list, &client);
    int third = client.right / 3;
    ListView_SetColumnWidth(list, 0, third);
    ListView_SetColumnWidth(list, 1, 2 * third);
}

bool MoreInfoDialog::OnCommand(int id, int code) {
    static constexpr CommandRoute<MoreInfoDialog> routes[] = {
        {IDOK, &MoreInfoDialog::OnOk},
        {IDCANCEL, &MoreInfoDialog::OnCancel},
        {IDC_MORE_INFO_SEARCH, &MoreInfoDialog::OnSearch},
        {IDC_MORE_INFO_BROWSE, &MoreInfoDialog::OnBrowse},
    };
    return Route(*this, routes, id, code);
}

void MoreInfoDialog::OnDestroyed() { icon.Reset(); }

void MoreInfoDialog::OnOk() { Close(IDOK); }

void MoreInfoDialog::OnCancel() { Close(IDCANCEL); }

void MoreInfoDialog::OnSearch() { ShellOpen(hwnd, SearchAddress(SearchTerm(path, searchText))); }

void MoreInfoDialog::OnBrowse() { ShellOpen(hwnd, "explorer", ExplorerParameters(path)); }
