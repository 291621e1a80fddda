#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "res/resource.h"
#include "settings/check_tree.h"
#include "settings/folder_page.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"
#include "ui/screen_scale.h"

namespace {

using Strings = std::vector<std::string>;

Strings Sorted(Strings texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

// The page on a throwaway tree: Alpha {Sub1, Sub2 {Deep}}, Beta (a file only), Empty, and a file.
class FolderPageTest : public testing::Test {
protected:
    void SetUp() override {
        host = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr, nullptr,
                               nullptr);
        ASSERT_TRUE(page.CreateModeless(host));
        tree = GetDlgItem(page.Hwnd(), IDC_FOLDER_TREE);
        for (const char* folder : {"Alpha", "Alpha\\Sub1", "Alpha\\Sub2", "Alpha\\Sub2\\Deep", "Beta", "Empty"})
            ASSERT_TRUE(CreateDirectoryA((temp / folder).c_str(), nullptr));
        WriteFile(temp / "Beta\\readme.txt", "text");
        WriteFile(temp / "file.txt", "text");
    }
    void TearDown() override {
        DestroyWindow(host);
        PumpMessages();
    }
    // The temporary folder as the only root, checked and expanded, with Alpha expanded too.
    void ShowTempTree() {
        page.FillRoots({temp.Path()});
        Click(page.Hwnd(), IDC_FOLDER_DEFAULT);
        root = TreeView_GetRoot(tree);
        ToggleExpanded(root);
        alpha = Child(root, "Alpha");
        ToggleExpanded(alpha);
    }

    std::string TextOf(HTREEITEM item) const {
        char buffer[1024] = {};
        TVITEMA data{};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = buffer;
        data.cchTextMax = sizeof buffer;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        return buffer;
    }
    int State(HTREEITEM item) const {
        return static_cast<int>(TreeView_GetItemState(tree, item, TVIS_STATEIMAGEMASK) / INDEXTOSTATEIMAGEMASK(1));
    }
    // Whether the tree draws an expand button on the item: it asks the page, as it does when painting.
    bool HasButton(HTREEITEM item) const {
        TVITEMA data{};
        data.mask = TVIF_CHILDREN;
        data.hItem = item;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        return data.cChildren > 0;
    }
    bool Expanded(HTREEITEM item) const { return TreeView_GetItemState(tree, item, TVIS_EXPANDED) & TVIS_EXPANDED; }
    std::vector<HTREEITEM> Children(HTREEITEM parent) const {
        std::vector<HTREEITEM> children;
        for (HTREEITEM child = TreeView_GetChild(tree, parent); child; child = TreeView_GetNextSibling(tree, child))
            children.push_back(child);
        return children;
    }
    Strings ChildTexts(HTREEITEM parent) const {
        Strings texts;
        for (HTREEITEM child : Children(parent)) texts.push_back(TextOf(child));
        return Sorted(texts);
    }
    HTREEITEM Child(HTREEITEM parent, const std::string& text) const {
        for (HTREEITEM child : Children(parent))
            if (TextOf(child) == text) return child;
        ADD_FAILURE() << "no child " << text;
        return nullptr;
    }

    // A press and a release on the part of the item's row that the tree's own hit test names; the tree
    // tracks the mouse after a press until the release comes, so the release is queued first.
    void ClickOn(HTREEITEM item, UINT part) {
        RECT row{};
        TreeView_GetItemRect(tree, item, &row, FALSE);
        for (int x = row.left; x < row.right; ++x) {
            TVHITTESTINFO hit{};
            hit.pt = {x, (row.top + row.bottom) / 2};
            if (TreeView_HitTest(tree, &hit) != item || !(hit.flags & part)) continue;
            PostMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
            SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
            PumpMessages();
            return;
        }
        ADD_FAILURE() << "no such part on " << TextOf(item);
    }
    void ToggleExpanded(HTREEITEM item) { ClickOn(item, TVHT_ONITEMBUTTON); }
    void PressSpace(HTREEITEM item) {
        TreeView_SelectItem(tree, item);
        SendMessageA(tree, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageA(tree, WM_CHAR, ' ', 0);
        SendMessageA(tree, WM_KEYUP, VK_SPACE, 0);
    }

    TempFolder temp;
    HWND host = nullptr;
    FolderPage page;
    HWND tree = nullptr;
    HTREEITEM root = nullptr, alpha = nullptr;
};

TEST_F(FolderPageTest, StartsWithEveryFixedDriveCheckedAndNothingElse) {
    char buffer[128] = {};
    ASSERT_GT(GetLogicalDriveStringsA(sizeof buffer - 1, buffer), 0u);
    Strings texts, checked;
    for (const char* drive = buffer; *drive; drive += std::strlen(drive) + 1)
        if (GetDriveTypeA(drive) == DRIVE_FIXED) {
            texts.push_back(std::string(drive, 2));
            checked.push_back(drive);
        }
    EXPECT_NE(std::find(texts.begin(), texts.end(), "C:"), texts.end());
    EXPECT_EQ(ChildTexts(TVI_ROOT), Sorted(texts));  // not expanded: that would read the whole drive
    EXPECT_EQ(page.CheckedFolders(), checked);
    EXPECT_EQ(page.LastError(), "");
}

TEST_F(FolderPageTest, ShowsFoldersOnlyWithExpandButtonsOnlyWhereFoldersAre) {
    ShowTempTree();
    EXPECT_EQ(TextOf(root), temp.Path());
    EXPECT_EQ(ChildTexts(root), (Strings{"Alpha", "Beta", "Empty"}));
    EXPECT_FALSE(HasButton(Child(root, "Beta")));
    EXPECT_FALSE(HasButton(Child(root, "Empty")));
    HTREEITEM sub2 = Child(alpha, "Sub2");
    EXPECT_FALSE(HasButton(Child(alpha, "Sub1")));
    EXPECT_TRUE(HasButton(sub2));
    EXPECT_TRUE(Children(sub2).empty());  // read when it opens

    ASSERT_TRUE(CreateDirectoryA((temp / "Empty\\hidden").c_str(), nullptr));
    SetFileAttributesA((temp / "Empty\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    struct Case {
        std::string path;
        bool expected;
    } cases[] = {{temp.Path() + "\\", true}, {temp / "Empty", true}, {temp / "Beta", false},
                 {temp / "Missing", false}, {temp / "file.txt", false}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.path);
        EXPECT_EQ(HasSubfolders(entry.path), entry.expected);
    }
}

TEST_F(FolderPageTest, ClickOnTheCheckMarkOrSpaceTogglesTheFolder) {
    ShowTempTree();
    HTREEITEM beta = Child(root, "Beta");
    ClickOn(beta, TVHT_ONITEMLABEL);
    EXPECT_EQ(TreeView_GetSelection(tree), beta);
    EXPECT_EQ(State(beta), kChecked);

    for (bool mouse : {true, false}) {
        SCOPED_TRACE(mouse ? "mouse" : "space");
        auto toggle = [&](HTREEITEM item) { mouse ? ClickOn(item, TVHT_ONITEMSTATEICON) : PressSpace(item); };
        toggle(beta);
        EXPECT_EQ(State(beta), kUnchecked);
        EXPECT_EQ(State(root), kPartlyChecked);
        EXPECT_EQ(Sorted(page.CheckedFolders()), (Strings{temp / "Alpha", temp / "Empty"}));
        toggle(Child(alpha, "Sub1"));
        EXPECT_EQ(State(alpha), kPartlyChecked);
        toggle(alpha);  // partly checked becomes checked
        EXPECT_EQ(State(Child(alpha, "Sub1")), kChecked);
        toggle(beta);  // the last unchecked one: the root is whole again
        EXPECT_EQ(State(root), kChecked);
        EXPECT_EQ(page.CheckedFolders(), (Strings{temp.Path() + "\\"}));
    }
    TreeView_SelectItem(tree, nullptr);
    SendMessageA(tree, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(State(root), kChecked);
}

TEST_F(FolderPageTest, CollapsedFolderComesBackAsItselfNotAsItsChildrenWere) {
    struct Case {
        bool uncheckSub1;
        int alphaAfter, childrenAfter;
        Strings checked;
    } cases[] = {
        {false, kChecked, kChecked, {temp.Path() + "\\"}},
        {true, kPartlyChecked, kUnchecked, {temp / "Beta", temp / "Empty"}},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.uncheckSub1 ? "partly checked" : "checked");
        ShowTempTree();
        if (entry.uncheckSub1) PressSpace(Child(alpha, "Sub1"));
        ToggleExpanded(alpha);
        EXPECT_FALSE(Expanded(alpha));
        EXPECT_TRUE(Children(alpha).empty());
        EXPECT_TRUE(HasButton(alpha));

        ToggleExpanded(alpha);
        EXPECT_TRUE(Expanded(alpha));
        ASSERT_EQ(ChildTexts(alpha), (Strings{"Sub1", "Sub2"}));
        for (HTREEITEM child : Children(alpha)) EXPECT_EQ(State(child), entry.childrenAfter) << TextOf(child);
        EXPECT_EQ(State(alpha), entry.alphaAfter);
        EXPECT_EQ(Sorted(page.CheckedFolders()), entry.checked);
    }
}

TEST_F(FolderPageTest, ButtonsCheckOrUncheckEveryFolderShown) {
    ShowTempTree();
    PressSpace(Child(alpha, "Sub2"));
    for (int button : {IDC_FOLDER_REMOVE_ALL, IDC_FOLDER_SELECT_ALL, IDC_FOLDER_REMOVE_ALL, IDC_FOLDER_DEFAULT}) {
        SCOPED_TRACE(button);
        Click(page.Hwnd(), button);
        int state = button == IDC_FOLDER_REMOVE_ALL ? kUnchecked : kChecked;
        for (HTREEITEM item : {root, alpha, Child(root, "Beta"), Child(alpha, "Sub1"), Child(alpha, "Sub2")})
            EXPECT_EQ(State(item), state) << TextOf(item);
        EXPECT_EQ(page.CheckedFolders(), state == kChecked ? Strings{temp.Path() + "\\"} : Strings{});
    }
}

TEST_F(FolderPageTest, FoldersThatAreGoneListNothingAndAreStillHandedOn) {
    ShowTempTree();
    HTREEITEM sub2 = Child(alpha, "Sub2");
    ASSERT_TRUE(RemoveDirectoryA((temp / "Alpha\\Sub2\\Deep").c_str()));
    ASSERT_TRUE(RemoveDirectoryA((temp / "Alpha\\Sub2").c_str()));
    ToggleExpanded(sub2);
    EXPECT_TRUE(Children(sub2).empty());
    PressSpace(Child(alpha, "Sub1"));
    EXPECT_EQ(Sorted(page.CheckedFolders()), (Strings{temp / "Alpha\\Sub2", temp / "Beta", temp / "Empty"}));

    page.FillRoots({temp / "Missing\\"});
    Click(page.Hwnd(), IDC_FOLDER_DEFAULT);
    EXPECT_EQ(TextOf(TreeView_GetRoot(tree)), temp / "Missing");
    EXPECT_TRUE(Children(TreeView_GetRoot(tree)).empty());
    EXPECT_EQ(page.CheckedFolders(), (Strings{temp / "Missing\\"}));
}

TEST_F(FolderPageTest, FolderBeyondMaxPathIsShownButNotRead) {
    std::string fits = temp / "Long\\" + std::string(240 - (temp.Path().size() + 6), 'a');
    std::string beyond = fits + "\\" + std::string(40, 'b'), inner = beyond + "\\c";
    ASSERT_TRUE(CreateDirectoryA((temp / "Long").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(fits.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(ToWide("\\\\?\\" + beyond).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(ToWide("\\\\?\\" + inner).c_str(), nullptr));

    ShowTempTree();
    HTREEITEM longFolder = Child(root, "Long");
    ToggleExpanded(longFolder);
    HTREEITEM fitting = Children(longFolder).at(0);
    ToggleExpanded(fitting);
    ASSERT_EQ(ChildTexts(fitting), (Strings{std::string(40, 'b')}));
    EXPECT_TRUE(Children(Children(fitting)[0]).empty());

    // The temporary folder's own clean-up cannot reach these.
    EXPECT_TRUE(RemoveDirectoryW(ToWide("\\\\?\\" + inner).c_str()));
    EXPECT_TRUE(RemoveDirectoryW(ToWide("\\\\?\\" + beyond).c_str()));
}

// ctest runs this at 96, 144 and 192 DPI too: the images come at the screen's size, with white
// as their transparent colour and their marks drawn.
TEST_F(FolderPageTest, TreeImagesAtScreenDpi) {
    HIMAGELIST folders = TreeView_GetImageList(tree, TVSIL_NORMAL), checks = TreeView_GetImageList(tree, TVSIL_STATE);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(folders, &width, &height));
    EXPECT_EQ(width, ScaleToScreen(16));
    EXPECT_EQ(height, ScaleToScreen(16));
    EXPECT_EQ(ImageList_GetImageCount(folders), 3);
    ASSERT_TRUE(ImageList_GetIconSize(checks, &width, &height));
    EXPECT_EQ(width, ScaleToScreen(13));
    EXPECT_EQ(height, ScaleToScreen(13));
    ASSERT_EQ(ImageList_GetImageCount(checks), 4);

    // Each check state drawn on red: what is white in the bitmap lets the red through.
    HDC screen = GetDC(nullptr);
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(canvas, bitmap);
    auto draw = [&](int image) {
        RECT all{0, 0, width, height};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(canvas, &all, red);
        DeleteObject(red);
        ImageList_Draw(checks, image, canvas, 0, 0, ILD_NORMAL);
    };
    draw(0);
    EXPECT_EQ(GetPixel(canvas, width / 2, height / 2), RGB(255, 0, 0)) << "the blank state shows nothing";
    draw(1);
    EXPECT_EQ(GetPixel(canvas, 0, height / 2), GetPixel(canvas, width - 1, height / 2)) << "a box round it";
    EXPECT_NE(GetPixel(canvas, 0, height / 2), RGB(255, 0, 0));
    COLORREF inside = GetPixel(canvas, width / 2, height / 2);
    EXPECT_TRUE(GetRValue(inside) > 240 && GetGValue(inside) > 240) << "white inside the box, not transparent";
    draw(3);
    bool ticked = false;
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            if (GetPixel(canvas, x, y) == RGB(0, 0, 0)) ticked = true;
    EXPECT_TRUE(ticked);
    SelectObject(canvas, old);
    DeleteObject(bitmap);
    DeleteDC(canvas);
}

}  // namespace
