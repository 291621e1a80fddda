#include "scan/scan_page.h"

#include <commctrl.h>

#include "app/list_view.h"
#include "res/resource.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX},
    {IDC_SCAN_LIST, Anchor::GrowX | Anchor::GrowY},
    {IDC_SCAN_STATUS, Anchor::GrowX | Anchor::MoveY},
    {IDC_SCAN_COUNT, Anchor::GrowX | Anchor::MoveY},
    {IDC_SCAN_STOP, Anchor::MoveX | Anchor::MoveY},
};
constexpr ListColumn kColumns[] = {{"_ListviewTragetFolder", 200}, {"_ListviewScanstate", 300}};
}  // namespace

ScanPage::ScanPage() : WizardPage(IDD_SCAN_PAGE, kAnchors) {}

ScanPage::~ScanPage() { DestroyNow(); }

bool ScanPage::OnInit() {
    SetUpListColumns(Item(IDC_SCAN_LIST), kColumns, 2, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    SetUpPage();
    return false;
}
