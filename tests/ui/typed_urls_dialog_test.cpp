#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "clean/typed_urls_dialog.h"
#include "res/resource.h"
#include "tests/support/scratch_key.h"
#include "tests/support/ui_driver.h"
#include "ui/list_view.h"

namespace {

class TypedUrlsTest : public testing::Test {
protected:
    void TearDown() override {
        if (dialog.Hwnd()) DestroyWindow(dialog.Hwnd());
    }
    void Open(int values) {
        for (int i = 1; i <= values; ++i) key.Set("url" + std::to_string(i), std::string(1, char('a' + i - 1)) + ".example");
        ASSERT_TRUE(dialog.CreateModeless(nullptr));
    }
    HWND List() const { return dialog.Item(IDC_TYPED_URLS_LIST); }
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (int row = 0; row < RowCount(List()); ++row) texts.push_back(RowText(List(), row, 0));
        return texts;
    }
    int CheckedCount() const {
        int checked = 0;
        for (int row = 0; row < RowCount(List()); ++row) checked += RowChecked(List(), row) ? 1 : 0;
        return checked;
    }

    ScratchKey key{"typed-urls"};
    TypedUrlsDialog dialog{key.Root(), key.Path()};
};

}  // namespace

TEST_F(TypedUrlsTest, ClearDeletesOnlyTheCheckedValues) {
    Open(3);
    ASSERT_EQ(Shown(), (std::vector<std::string>{"a.example", "b.example", "c.example"}));
    EXPECT_EQ(CheckedCount(), 0);
    SetRowChecked(List(), 1, true);
    Click(dialog.Hwnd(), IDC_TYPED_URLS_CLEAR);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"a.example", "c.example"}));
    EXPECT_EQ(CheckedCount(), 0);
    EXPECT_TRUE(key.Has("url1"));
    EXPECT_FALSE(key.Has("url2"));
    EXPECT_TRUE(key.Has("url3"));
    EXPECT_TRUE(IsWindow(dialog.Hwnd()));  // the dialog stays open
}

TEST_F(TypedUrlsTest, ClearWithNothingCheckedDeletesNothingAndShowsTheRegistryAsItIsNow) {
    Open(2);
    key.Set("url9", "late.example");  // typed in the browser while the dialog was open
    Click(dialog.Hwnd(), IDC_TYPED_URLS_CLEAR);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"a.example", "b.example", "late.example"}));
    EXPECT_TRUE(key.Has("url1") && key.Has("url2") && key.Has("url9"));
}

TEST_F(TypedUrlsTest, CheckAllThenClearEmptiesTheKeyButLeavesIt) {
    Open(4);
    Click(dialog.Hwnd(), IDC_TYPED_URLS_CHECK_ALL);
    Click(dialog.Hwnd(), IDC_TYPED_URLS_UNCHECK_ALL);
    EXPECT_EQ(CheckedCount(), 0);
    Click(dialog.Hwnd(), IDC_TYPED_URLS_CHECK_ALL);
    EXPECT_EQ(CheckedCount(), 4);
    Click(dialog.Hwnd(), IDC_TYPED_URLS_CLEAR);
    EXPECT_EQ(RowCount(List()), 0);
    EXPECT_TRUE(key.Exists() && !key.Has("url1") && !key.Has("url4"));
}

TEST_F(TypedUrlsTest, SelectionAfterClearStaysAtItsPlaceOrMovesToTheLastRow) {
    struct Case {
        int rows, selected;
        std::vector<int> checked;
        int rowsAfter, selectedAfter;
    };
    const Case cases[] = {
        {5, 4, {3, 4}, 3, 2},     // the selected row went: the new last row
        {3, 2, {0, 1, 2}, 0, -1}, // nothing left to select
        {5, 1, {0}, 4, 1},        // the place is kept, now another address
        {3, -1, {1}, 2, -1},      // nothing was selected
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, row " << c.selected << " selected");
        key.Remove();
        Open(c.rows);
        if (c.selected >= 0) SelectRow(List(), c.selected);
        for (int row : c.checked) SetRowChecked(List(), row, true);
        Click(dialog.Hwnd(), IDC_TYPED_URLS_CLEAR);
        EXPECT_EQ(RowCount(List()), c.rowsAfter);
        EXPECT_EQ(SelectedRow(List()), c.selectedAfter);
        DestroyWindow(dialog.Hwnd());
    }
}

TEST_F(TypedUrlsTest, LongAddressesAndNamesAreShownWholeAndCleared) {
    std::string address = "https://example.org/search?q=" + std::string(300, 'x');
    std::string name = "c" + std::string(400, 'n');  // in name order: Wine lists values that way
    key.Set("a", "short.example");
    key.Set("b", address);
    key.Set(name, "named.example");
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    ASSERT_EQ(Shown(), (std::vector<std::string>{"short.example", address, "named.example"}));
    SetRowChecked(List(), 1, true);
    SetRowChecked(List(), 2, true);
    Click(dialog.Hwnd(), IDC_TYPED_URLS_CLEAR);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"short.example"}));
    EXPECT_FALSE(key.Has("b"));
    EXPECT_FALSE(key.Has(name));
}

TEST_F(TypedUrlsTest, AMissingKeyIsAnEmptyListAndIsNotCreated) {
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    EXPECT_EQ(RowCount(List()), 0);
    Click(dialog.Hwnd(), IDC_TYPED_URLS_CHECK_ALL);
    Click(dialog.Hwnd(), IDC_TYPED_URLS_CLEAR);
    EXPECT_EQ(RowCount(List()), 0);
    EXPECT_FALSE(key.Exists());
}
