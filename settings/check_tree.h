// Three-state check marks of the folder tree, written against a small node interface so the rules run
// the same over the tree view and, in tests, over a vector.
#pragma once
#include <functional>
#include <string>
#include <vector>

// A node's state is its state image index in the tree view.
enum CheckState : int { kNoMark = 0, kUnchecked = 1, kPartlyChecked = 2, kChecked = 3 };  // kNoMark: placeholders

struct CheckNodes {
    static constexpr int kNoNode = -1;
    virtual ~CheckNodes() = default;
    virtual int Parent(int node) const = 0;  // kNoNode at a root (a drive)
    virtual std::vector<int> Children(int node) const = 0;  // Children(kNoNode): the roots, in order
    virtual int State(int node) const = 0;
    virtual void SetState(int node, int state) = 0;
};

using NodeText = std::function<std::string(int node)>;

// state is kUnchecked or kChecked: every node below takes it, then the ancestors follow.
void ApplyCheck(CheckNodes& tree, int node, int state);
void ApplyCheckToRoots(CheckNodes& tree, int state);

// A click or Space: a checked item becomes unchecked, an unchecked or partly checked one checked.
inline int ToggledState(int state) { return state == kChecked ? kUnchecked : kChecked; }

// The top-most checked items in tree order: a checked root as its text + "\", anything deeper by its
// full path; nothing below a checked item.
std::vector<std::string> CheckedFolders(const CheckNodes& tree, const NodeText& text);

// Texts from the root down, joined with "\" (C:\WINDOWS\system32; C: for a drive).
std::string ItemPath(const CheckNodes& tree, int node, const NodeText& text);

// folder + "\" + name, without doubling the backslash after a root like C:\.
std::string JoinPath(const std::string& folder, const std::string& name);
