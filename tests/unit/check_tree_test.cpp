#include "settings/check_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class VectorNodes : public CheckNodes {
public:
    int Add(int parent, std::string text, int state = kUnchecked) {
        nodes.push_back({parent, std::move(text), state});
        return static_cast<int>(nodes.size()) - 1;
    }
    int Parent(int node) const override { return nodes.at(node).parent; }
    std::vector<int> Children(int node) const override {
        std::vector<int> children;
        for (int i = 0; i < static_cast<int>(nodes.size()); ++i)
            if (nodes[i].parent == node) children.push_back(i);
        return children;
    }
    int State(int node) const override { return nodes.at(node).state; }
    void SetState(int node, int state) override { nodes.at(node).state = state; }
    std::vector<int> States(std::initializer_list<int> list) const {
        std::vector<int> states;
        for (int node : list) states.push_back(State(node));
        return states;
    }
    NodeText Texts() const {
        return [this](int node) { return nodes.at(node).text; };
    }
    std::vector<std::string> Checked() const { return CheckedFolders(*this, Texts()); }

private:
    struct Node {
        int parent;
        std::string text;
        int state;
    };
    std::vector<Node> nodes;
};

using Strings = std::vector<std::string>;
using States = std::vector<int>;

class CheckTreeTest : public testing::Test {
protected:
    VectorNodes tree;
    int c = tree.Add(-1, "C:"), windows = tree.Add(c, "WINDOWS"), system32 = tree.Add(windows, "system32"),
        drivers = tree.Add(system32, "drivers"), temp = tree.Add(windows, "Temp"), users = tree.Add(c, "Users");
    int d = tree.Add(-1, "D:"), data = tree.Add(d, "Data"), placeholder = tree.Add(data, "", kNoMark);
};

TEST_F(CheckTreeTest, CheckingADriveReachesEveryNodeBelowPlaceholdersToo) {
    for (int state : {kChecked, kUnchecked}) {
        SCOPED_TRACE(state);
        ApplyCheckToRoots(tree, state);
        for (int node = c; node <= placeholder; ++node) EXPECT_EQ(tree.State(node), state) << node;
        EXPECT_EQ(tree.Checked(), state == kChecked ? (Strings{"C:\\", "D:\\"}) : Strings{});
    }
}

TEST_F(CheckTreeTest, UncheckingOneFolderOfACheckedDriveListsTheOthersByFullPath) {
    ApplyCheckToRoots(tree, kChecked);
    ApplyCheck(tree, drivers, kUnchecked);
    // system32 has no other child: it follows drivers; everything above is partly checked.
    EXPECT_EQ(tree.States({drivers, system32, windows, c, temp, users, d}),
              (States{kUnchecked, kUnchecked, kPartlyChecked, kPartlyChecked, kChecked, kChecked, kChecked}));
    EXPECT_EQ(tree.Checked(), (Strings{"C:\\WINDOWS\\Temp", "C:\\Users", "D:\\"}));

    // As after collapsing and expanding WINDOWS again: partly checked with nothing checked below.
    tree.SetState(temp, kUnchecked);
    EXPECT_EQ(tree.Checked(), (Strings{"C:\\Users", "D:\\"}));
}

TEST_F(CheckTreeTest, CheckingTheLastUncheckedSiblingChecksTheParentsUpToTheDrive) {
    struct Step {
        int node;
        States above;  // system32, WINDOWS, C:
    } steps[] = {
        {drivers, {kChecked, kPartlyChecked, kPartlyChecked}},
        {temp, {kChecked, kChecked, kPartlyChecked}},
        {users, {kChecked, kChecked, kChecked}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.node);
        ApplyCheck(tree, step.node, ToggledState(tree.State(step.node)));
        EXPECT_EQ(tree.States({system32, windows, c}), step.above);
    }
    EXPECT_EQ(tree.State(d), kUnchecked);  // another drive is no sibling
    EXPECT_EQ(tree.Checked(), (Strings{"C:\\"}));
}

TEST_F(CheckTreeTest, TogglingAPartlyCheckedFolderChecksItAndNothingBelowIsListedApart) {
    ApplyCheck(tree, drivers, kChecked);
    ASSERT_EQ(tree.State(windows), kPartlyChecked);
    ApplyCheck(tree, windows, ToggledState(tree.State(windows)));
    EXPECT_EQ(tree.States({windows, temp, drivers, c}), (States{kChecked, kChecked, kChecked, kPartlyChecked}));
    EXPECT_EQ(tree.Checked(), (Strings{"C:\\WINDOWS"}));

    ApplyCheck(tree, windows, ToggledState(tree.State(windows)));
    EXPECT_EQ(tree.States({windows, drivers, c}), (States{kUnchecked, kUnchecked, kUnchecked}));
    EXPECT_TRUE(tree.Checked().empty());
}

TEST(CheckPathsTest, RootsAsDrivesOrFullPathsJoinWithOneBackslash) {
    VectorNodes tree;
    int c = tree.Add(-1, "C:"), system32 = tree.Add(tree.Add(c, "WINDOWS"), "system32");
    int kept = tree.Add(-1, "D:\\"), data = tree.Add(kept, "Data");
    int scratch = tree.Add(-1, "C:\\Temp\\scratch"), deep = tree.Add(tree.Add(scratch, "b"), "deep");
    struct Case {
        int node;
        const char* path;
    } cases[] = {{c, "C:"}, {system32, "C:\\WINDOWS\\system32"}, {kept, "D:"}, {data, "D:\\Data"},
                 {scratch, "C:\\Temp\\scratch"}, {deep, "C:\\Temp\\scratch\\b\\deep"}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.path);
        EXPECT_EQ(ItemPath(tree, entry.node, tree.Texts()), entry.path);
    }
    ApplyCheck(tree, scratch, kChecked);
    EXPECT_EQ(tree.Checked(), (Strings{"C:\\Temp\\scratch\\"}));

    EXPECT_EQ(JoinPath("C:\\", "*.*"), "C:\\*.*");
    EXPECT_EQ(JoinPath("C:", "*.*"), "C:\\*.*");
}

}  // namespace
