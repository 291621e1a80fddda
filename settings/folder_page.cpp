#include "settings/folder_page.h"

#include "res/resource.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX},          {IDC_FOLDER_TREE, Anchor::GrowX | Anchor::GrowY},
    {IDC_FOLDER_SELECT_ALL, Anchor::MoveY},         {IDC_FOLDER_REMOVE_ALL, Anchor::MoveY},
    {IDC_FOLDER_DEFAULT, Anchor::MoveX | Anchor::MoveY},
};
}

FolderPage::FolderPage() : WizardPage(IDD_FOLDER_PAGE, kAnchors) {}
