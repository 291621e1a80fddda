// Page 1: the fixed drives and their folders in a three-state check tree, read from disk as folders open.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/win_handles.h"
#include "ui/screen_scale.h"
#include "ui/wizard_page.h"

class FolderPage : public WizardPage {
public:
    FolderPage();
    ~FolderPage() override;

    // The top-most checked folders in tree order, for the scan.
    std::vector<std::string> CheckedFolders() const;

    // Every fixed drive as a root, unchecked.
    void FillDrives();
    // The given folders as roots instead of the drives, unchecked; a root's text loses its trailing backslash.
    void FillRoots(const std::vector<std::string>& roots);
    // Empty, or "Error Getting Logical DriveStrings!" when the drive list was not available.
    const std::string& LastError() const { return lastError; }

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;

private:
    static LRESULT CALLBACK TreeProc(HWND, UINT, WPARAM, LPARAM);
    HWND Tree() const;

    void OnSelectAll();
    void OnRemoveAll();
    void Toggle(HTREEITEM item);
    LRESULT OnTreeClick(NMHDR& header);
    LRESULT OnTreeDisplayInfo(NMHDR& header);
    LRESULT OnTreeExpanding(NMHDR& header);
    LRESULT OnTreeExpanded(NMHDR& header);
    void OnCollapsed(HTREEITEM item);
    void ListFolder(HTREEITEM item, const std::string& path);

    WNDPROC treeProc = nullptr;  // the tree's own procedure, behind TreeProc
    UniqueImageList folderImages;
    UniqueImageList checkImages;
    std::string lastError;
    UINT lastHitFlags = 0;  // of the last left button press on the tree, for the click notification after it
};

// True when the folder holds at least one folder other than "." and ".." (hidden and system ones count).
bool HasSubfolders(const std::string& path);
