#include "settings/check_tree.h"

namespace {

void AddCheckedBelow(const CheckNodes& tree, const NodeText& text, int parent, const std::string& base,
                     std::vector<std::string>& folders) {
    for (int child : tree.Children(parent)) {
        int state = tree.State(child);
        if (state == kChecked) {
            folders.push_back(base + "\\" + text(child));
        } else if (state == kPartlyChecked) {
            AddCheckedBelow(tree, text, child, base + "\\" + text(child), folders);
        }
    }
}

}  // namespace

void ApplyCheck(CheckNodes& tree, int node, int state) {
    tree.SetState(node, state);

    // The first child takes the state even without a mark: only placeholders lack one and a placeholder
    // is an only child, so every node below ends up with the state.
    std::vector<int> pending{node};
    while (!pending.empty()) {
        int current = pending.back();
        pending.pop_back();
        std::vector<int> children = tree.Children(current);
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (i == 0 || tree.State(children[i]) != kNoMark) tree.SetState(children[i], state);
            pending.push_back(children[i]);
        }
    }

    for (int child = node;;) {
        int parent = tree.Parent(child);
        if (parent == CheckNodes::kNoNode) return;
        for (int sibling : tree.Children(parent)) {
            int other = tree.State(sibling);
            if (sibling == child || other == kNoMark || other == state) continue;
            // Siblings differ: the parent and everything above are partly checked, whatever they were.
            for (int up = parent; up != CheckNodes::kNoNode; up = tree.Parent(up))
                if (tree.State(up) != kNoMark) tree.SetState(up, kPartlyChecked);
            return;
        }
        tree.SetState(parent, state);
        child = parent;
    }
}

void ApplyCheckToRoots(CheckNodes& tree, int state) {
    for (int root : tree.Children(CheckNodes::kNoNode)) ApplyCheck(tree, root, state);
}

std::vector<std::string> CheckedFolders(const CheckNodes& tree, const NodeText& text) {
    std::vector<std::string> folders;
    for (int root : tree.Children(CheckNodes::kNoNode)) {
        int state = tree.State(root);
        if (state == kChecked) {
            folders.push_back(text(root) + "\\");
        } else if (state == kPartlyChecked) {
            AddCheckedBelow(tree, text, root, text(root), folders);
        }
    }
    return folders;
}

std::string ItemPath(const CheckNodes& tree, int node, const NodeText& text) {
    std::vector<std::string> parts;
    for (; node != CheckNodes::kNoNode; node = tree.Parent(node)) parts.push_back(text(node));
    std::string path;
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
        std::string name = *part;
        while (!name.empty() && name.back() == '\\') name.pop_back();
        if (!path.empty()) path += '\\';
        path += name;
    }
    return path;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}
