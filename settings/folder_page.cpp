#include "settings/folder_page.h"

#include <windowsx.h>

#include <cstring>
#include <functional>
#include <unordered_map>

#include "base/failure.h"
#include "res/resource.h"
#include "settings/scan_config.h"
#include "settings/check_tree.h"

namespace {
constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX},          {IDC_FOLDER_TREE, Anchor::GrowX | Anchor::GrowY},
    {IDC_FOLDER_SELECT_ALL, Anchor::MoveY},         {IDC_FOLDER_REMOVE_ALL, Anchor::MoveY},
    {IDC_FOLDER_DEFAULT, Anchor::MoveX | Anchor::MoveY},
};

// At 96 DPI the folder images are 16 pixels wide, the check marks 13; white is transparent in both.
constexpr int kFolderImageWidth = 16;
constexpr int kCheckImageWidth = 13;
// Folder images, in bitmap order.
constexpr int kClosedFolderImage = 0;
constexpr int kOpenFolderImage = 1;
constexpr int kDriveImage = 2;

// The tree view as CheckNodes: a node's state is its item's state image index. Items are numbered as
// they are met (an HTREEITEM does not fit an int), so one object serves one operation.
class TreeNodes : public CheckNodes {
public:
    explicit TreeNodes(HWND tree) : tree(tree) {}

    int Node(HTREEITEM item) const {
        if (!item) return kNoNode;
        auto [entry, added] = ids.try_emplace(item, static_cast<int>(items.size()));
        if (added) items.push_back(item);
        return entry->second;
    }
    HTREEITEM ItemOf(int node) const { return node == kNoNode ? nullptr : items[static_cast<std::size_t>(node)]; }

    int Parent(int node) const override { return Node(TreeView_GetParent(tree, ItemOf(node))); }
    std::vector<int> Children(int node) const override {
        std::vector<int> children;
        HTREEITEM child = node == kNoNode ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, ItemOf(node));
        for (; child; child = TreeView_GetNextSibling(tree, child)) children.push_back(Node(child));
        return children;
    }
    int State(int node) const override {
        return static_cast<int>(TreeView_GetItemState(tree, ItemOf(node), TVIS_STATEIMAGEMASK) / INDEXTOSTATEIMAGEMASK(1));
    }
    void SetState(int node, int state) override {
        TreeView_SetItemState(tree, ItemOf(node), INDEXTOSTATEIMAGEMASK(state), TVIS_STATEIMAGEMASK);
    }
    std::string Text(int node) const {
        char buffer[1024] = {};  // a folder name is at most MAX_PATH; a root text is a path that could be listed
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = ItemOf(node);
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || !item.pszText) return {};
        return item.pszText;
    }
    NodeText Texts() const {
        return [this](int node) { return Text(node); };
    }

private:
    HWND tree;
    mutable std::vector<HTREEITEM> items;
    mutable std::unordered_map<HTREEITEM, int> ids;
};

// Every folder row asks for its expand button only when the tree draws it (a folder of 20,000
// sub-folders cannot afford a look into each of them at once), and keeps the answer.
HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const std::string& text, int image, int selectedImage,
                     int state) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.state = INDEXTOSTATEIMAGEMASK(state);
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.cChildren = I_CHILDRENCALLBACK;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void SetExpandButton(HWND tree, HTREEITEM item, bool shown) {
    TVITEMA data{};
    data.mask = TVIF_CHILDREN;
    data.hItem = item;
    data.cChildren = shown ? 1 : 0;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
}

std::vector<HTREEITEM> ChildItems(HWND tree, HTREEITEM parent) {
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child; child = TreeView_GetNextSibling(tree, child))
        children.push_back(child);
    return children;
}

// Calls onFolder with the name of each folder in path, in the file system's order, until it returns false.
void ForEachSubfolder(const std::string& path, const std::function<bool(const char* name)>& onFolder) {
    std::string pattern = JoinPath(path, "*.*");
    // Beyond MAX_PATH the A functions fail on most systems and succeed on some: fail everywhere.
    if (pattern.size() >= MAX_PATH) return;
    WIN32_FIND_DATAA entry{};
    UniqueFind find(FindFirstFileA(pattern.c_str(), &entry));
    if (!find) return;  // missing, vanished or unreadable: no subfolders
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
        if (!onFolder(entry.cFileName)) return;
    } while (FindNextFileA(find.Get(), &entry));
}

// Wait cursor and no redrawing while a folder is read.
class BusyTree {
public:
    explicit BusyTree(HWND tree) : tree(tree), cursor(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {
        SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    }
    ~BusyTree() {
        SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(tree, nullptr, TRUE);
        SetCursor(cursor);
    }
    BusyTree(const BusyTree&) = delete;
    BusyTree& operator=(const BusyTree&) = delete;

private:
    HWND tree;
    HCURSOR cursor;
};

}  // namespace

bool HasSubfolders(const std::string& path) {
    bool found = false;
    ForEachSubfolder(path, [&](const char*) {
        found = true;
        return false;
    });
    return found;
}

FolderPage::FolderPage() : WizardPage(IDD_FOLDER_PAGE, kAnchors) {}

// The tree's subclass calls back into this object: the window goes first.
FolderPage::~FolderPage() { DestroyNow(); }

HWND FolderPage::Tree() const { return Item(IDC_FOLDER_TREE); }

bool FolderPage::OnInit() {
    HWND tree = Tree();
    // A plain subclass: under Wine a SetWindowSubclass one costs every message to the tree a trip
    // to the window server, which makes listing a large folder a hundred times slower.
    SetWindowLongPtrA(tree, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    treeProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TreeProc)));
    folderImages = LoadScreenImageList(IDB_FOLDER_IMAGES, IDB_FOLDER_IMAGES_2X, kFolderImageWidth);
    checkImages = LoadScreenImageList(IDB_CHECK_STATES, IDB_CHECK_STATES_2X, kCheckImageWidth);
    TreeView_SetImageList(tree, folderImages.Get(), TVSIL_NORMAL);
    TreeView_SetImageList(tree, checkImages.Get(), TVSIL_STATE);
    FillDrives();
    SetUpPage();
    OnSelectAll();
    return false;
}

void FolderPage::FillDrives() {
    lastError.clear();
    std::optional<std::vector<std::string>> roots = FixedDriveRoots();
    if (!roots) {
        TreeView_DeleteAllItems(Tree());
        lastError = "Error Getting Logical DriveStrings!";
        return;
    }
    FillRoots(*roots);
}

void FolderPage::FillRoots(const std::vector<std::string>& roots) {
    HWND tree = Tree();
    TreeView_DeleteAllItems(tree);
    for (const std::string& root : roots) {
        std::string text = root;
        while (!text.empty() && text.back() == '\\') text.pop_back();
        InsertItem(tree, TVI_ROOT, text, kDriveImage, kDriveImage, kUnchecked);
    }
}

std::vector<std::string> FolderPage::CheckedFolders() const {
    TreeNodes nodes(Tree());
    return ::CheckedFolders(nodes, nodes.Texts());
}

bool FolderPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<FolderPage> routes[] = {
        {IDC_FOLDER_SELECT_ALL, &FolderPage::OnSelectAll},
        {IDC_FOLDER_DEFAULT, &FolderPage::OnSelectAll},  // nothing of this page is stored: the default is all
        {IDC_FOLDER_REMOVE_ALL, &FolderPage::OnRemoveAll},
    };
    return Route(*this, routes, id, code);
}

void FolderPage::OnSelectAll() {
    TreeNodes nodes(Tree());
    ApplyCheckToRoots(nodes, kChecked);
}

void FolderPage::OnRemoveAll() {
    TreeNodes nodes(Tree());
    ApplyCheckToRoots(nodes, kUnchecked);
}

bool FolderPage::OnNotify(NMHDR& header, LRESULT& result) {
    static constexpr NotifyRoute<FolderPage> routes[] = {
        {IDC_FOLDER_TREE, NM_CLICK, &FolderPage::OnTreeClick},
        {IDC_FOLDER_TREE, TVN_GETDISPINFOA, &FolderPage::OnTreeDisplayInfo},
        {IDC_FOLDER_TREE, TVN_ITEMEXPANDINGA, &FolderPage::OnTreeExpanding},
        {IDC_FOLDER_TREE, TVN_ITEMEXPANDEDA, &FolderPage::OnTreeExpanded},
    };
    return Route(*this, routes, header, result);
}

// After the press the subclass saw: a click on a check mark is done with.
LRESULT FolderPage::OnTreeClick(NMHDR& /*header*/) { return (lastHitFlags & TVHT_ONITEMSTATEICON) ? TRUE : FALSE; }

// The tree draws an item: whether it gets an expand button.
LRESULT FolderPage::OnTreeDisplayInfo(NMHDR& header) {
    auto& info = reinterpret_cast<NMTVDISPINFOA&>(header);
    if (!(info.item.mask & TVIF_CHILDREN)) return 0;
    TreeNodes nodes(Tree());
    info.item.cChildren = HasSubfolders(ItemPath(nodes, nodes.Node(info.item.hItem), nodes.Texts())) ? 1 : 0;
    info.item.mask |= TVIF_DI_SETITEM;  // asked once
    return 0;
}

// The sub-folders go in before the item opens: rows added under an open item cost the tree a pass
// over all its rows each.
LRESULT FolderPage::OnTreeExpanding(NMHDR& header) {
    const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
    if ((change.action & (TVE_COLLAPSE | TVE_EXPAND)) != TVE_EXPAND) return FALSE;
    HTREEITEM item = change.itemNew.hItem;
    TreeNodes nodes(Tree());
    ListFolder(item, ItemPath(nodes, nodes.Node(item), nodes.Texts()));
    if (!TreeView_GetChild(Tree(), item)) SetExpandButton(Tree(), item, false);  // none after all, or unreadable
    return FALSE;
}

LRESULT FolderPage::OnTreeExpanded(NMHDR& header) {
    const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
    if ((change.action & (TVE_COLLAPSE | TVE_EXPAND)) == TVE_COLLAPSE) OnCollapsed(change.itemNew.hItem);
    return 0;
}

void FolderPage::OnCollapsed(HTREEITEM item) {
    // The states below are lost: on the next expansion the children come back as the item is, or
    // unchecked under a partly checked item. The item was opened once, so the tree would not tell
    // about the next opening by a program: it forgets that, and keeps its button.
    HWND tree = Tree();
    for (HTREEITEM child : ChildItems(tree, item)) TreeView_DeleteItem(tree, child);
    TreeView_SetItemState(tree, item, 0, TVIS_EXPANDEDONCE);
    SetExpandButton(tree, item, true);
}

void FolderPage::ListFolder(HTREEITEM item, const std::string& path) {
    HWND tree = Tree();
    BusyTree busy(tree);
    for (HTREEITEM child : ChildItems(tree, item)) TreeView_DeleteItem(tree, child);
    // Under a checked item the new rows are checked as they go in, as checking the item would leave
    // them: a state changed afterwards costs the tree a pass over all its rows.
    TreeNodes nodes(tree);
    int state = nodes.State(nodes.Node(item)) == kChecked ? kChecked : kUnchecked;
    ForEachSubfolder(path, [&](const char* name) {
        InsertItem(tree, item, name, kClosedFolderImage, kOpenFolderImage, state);
        return true;
    });
}

void FolderPage::Toggle(HTREEITEM item) {
    TreeNodes nodes(Tree());
    int node = nodes.Node(item);
    int state = nodes.State(node);
    if (state == kNoMark) return;
    ApplyCheck(nodes, node, ToggledState(state));
}

LRESULT CALLBACK FolderPage::TreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FolderPage*>(GetWindowLongPtrA(tree, GWLP_USERDATA));
    if (!self || !self->treeProc) return DefWindowProcA(tree, message, wParam, lParam);
    switch (message) {
    case WM_LBUTTONDOWN: {
        TVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        HTREEITEM item = TreeView_HitTest(tree, &hit);
        self->lastHitFlags = hit.flags;
        if (item && (hit.flags & TVHT_ONITEMSTATEICON)) RunGuarded(GetAncestor(tree, GA_ROOT), [&] { self->Toggle(item); });
        break;  // the tree still selects the item
    }
    case WM_KEYDOWN:
        if (wParam != VK_SPACE) break;
        if (HTREEITEM selected = TreeView_GetSelection(tree))
            RunGuarded(GetAncestor(tree, GA_ROOT), [&] { self->Toggle(selected); });
        return 0;
    case WM_CHAR:
        if (wParam == ' ') return 0;  // Space is ours: no incremental search on it either
        break;
    case WM_NCDESTROY: {
        WNDPROC original = self->treeProc;
        SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        return CallWindowProcA(original, tree, message, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcA(self->treeProc, tree, message, wParam, lParam);
}
