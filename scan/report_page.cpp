#include "scan/report_page.h"

#include <commctrl.h>

#include "app/list_view.h"
#include "res/resource.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX},          {IDC_REPORT_LIST, Anchor::GrowX | Anchor::GrowY},
    {IDC_REPORT_SELECT_ALL, Anchor::MoveY},         {IDC_REPORT_REMOVE_ALL, Anchor::MoveY},
    {IDC_REPORT_MORE_INFO, Anchor::MoveX | Anchor::MoveY}, {IDC_REPORT_TOTAL, Anchor::GrowX | Anchor::MoveY},
};
constexpr ListColumn kColumns[] = {
    {"_ReportPageListColumnFileName", 350}, {"_ReportPageListColumnFileSize", 100}, {"_ReportPageStateDescription", 100}};
}  // namespace

ReportPage::ReportPage() : WizardPage(IDD_REPORT_PAGE, kAnchors) {}

bool ReportPage::OnInit() {
    SetUpListColumns(Item(IDC_REPORT_LIST), kColumns, 3, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    SetUpPage();
    return false;
}

bool ReportPage::LeaveReport() const {
    HWND list = Item(IDC_REPORT_LIST);
    int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row)
        if (ListView_GetCheckState(list, row)) return true;
    return false;
}
