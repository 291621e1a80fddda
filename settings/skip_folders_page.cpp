#include "settings/skip_folders_page.h"

#include <commctrl.h>

#include "res/resource.h"
#include "app/list_view.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX}, {IDC_SKIP_LIST, Anchor::GrowX | Anchor::GrowY},
    {IDC_SKIP_ADD, Anchor::MoveY},         {IDC_SKIP_REMOVE, Anchor::MoveY},
    {IDC_SKIP_DEFAULT, Anchor::MoveX | Anchor::MoveY},
};
constexpr ListColumn kColumns[] = {{"_FoldersToSkipFromSearch", 600}};
}  // namespace

SkipFoldersPage::SkipFoldersPage() : WizardPage(IDD_SKIP_FOLDERS_PAGE, kAnchors) {}

bool SkipFoldersPage::OnInit() {
    SetUpListColumns(Item(IDC_SKIP_LIST), kColumns, 1, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    SetUpPage();
    return false;
}
