#include "settings/junk_files_page.h"

#include <commctrl.h>

#include "res/resource.h"
#include "app/list_view.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_JUNK_LIST, Anchor::GrowX | Anchor::GrowY},
    {IDC_JUNK_ADD, Anchor::MoveY},         {IDC_JUNK_DELETE, Anchor::MoveY},
    {IDC_JUNK_MODIFY, Anchor::MoveY},      {IDC_JUNK_CHECK_ALL, Anchor::MoveY},
    {IDC_JUNK_UNCHECK_ALL, Anchor::MoveY}, {IDC_JUNK_DEFAULT, Anchor::MoveX | Anchor::MoveY},
};
constexpr ListColumn kColumns[] = {{"_JunkName", 200}, {"_JunkDescription", 400}};
}  // namespace

JunkFilesPage::JunkFilesPage() : WizardPage(IDD_JUNK_FILES_PAGE, kAnchors) {}

bool JunkFilesPage::OnInit() {
    SetUpListColumns(Item(IDC_JUNK_LIST), kColumns, 2, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    SetUpPage();
    return false;
}
