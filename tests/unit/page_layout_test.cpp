#include <gtest/gtest.h>

#include "app/wizard_navigation.h"
#include "ui/page_layout.h"

TEST(PageLayout, AnchorsMoveAndGrowByTheSizeChange) {
    const RECT start{10, 20, 110, 70};
    struct Case {
        unsigned flags;
        RECT expected;
    };
    const Case cases[] = {
        {0, {10, 20, 110, 70}},
        {Anchor::GrowX, {10, 20, 140, 70}},
        {Anchor::GrowX | Anchor::GrowY, {10, 20, 140, 80}},
        {Anchor::MoveY, {10, 30, 110, 80}},
        {Anchor::MoveX | Anchor::MoveY, {40, 30, 140, 80}},
        {Anchor::GrowX | Anchor::MoveY, {10, 30, 140, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        RECT r = AnchoredRect(start, c.flags, 30, 10);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}

TEST(PageLayout, ShrinkingBelowTheStartSizeNeverInvertsAControl) {
    RECT r = AnchoredRect({10, 20, 110, 70}, Anchor::GrowX | Anchor::GrowY, -500, -500);
    EXPECT_EQ(r.right, r.left);
    EXPECT_EQ(r.bottom, r.top);
}

TEST(WizardNavigation, ButtonRowOfEveryPage) {
    struct Case {
        int index;
        bool back, next, final;
    };
    const Case cases[] = {
        {0, false, true, false}, {1, true, true, false},  {2, true, true, false},   {3, true, true, false},
        {4, true, true, false},  {5, false, false, false}, {6, true, true, false}, {7, true, true, false},
        {8, false, false, false}, {9, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        auto row = ButtonsFor(c.index);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->backEnabled, c.back);
        EXPECT_EQ(row->nextEnabled, c.next);
        EXPECT_EQ(row->final, c.final);
    }
    EXPECT_FALSE(ButtonsFor(-1));
    EXPECT_FALSE(ButtonsFor(10));
}

TEST(WizardNavigation, NextTargetOfEveryPage) {
    struct Case {
        int index;
        bool foundAny, anyChecked;
        int expected;
    };
    const Case cases[] = {
        {0, false, false, 1}, {1, false, false, 2}, {2, false, false, 3}, {3, false, false, 4},
        {4, false, false, 5}, {4, true, true, 5},  // the scan starts whatever the last one found
        {5, true, false, 6},   {5, false, true, 9},  // nothing found: straight to the results
        {6, true, true, 7},    {6, true, false, 9},  // nothing left checked: no cleaning
        {7, true, true, 8},   {8, true, true, 9},   {9, true, true, 9},  {9, false, false, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << (c.foundAny ? " found" : "") << (c.anyChecked ? " checked" : ""));
        EXPECT_EQ(NextFrom(c.index, c.foundAny, c.anyChecked), c.expected);
    }
    EXPECT_EQ(NextFrom(10, true, true), 10);
}

TEST(WizardNavigation, OnlyARemovalForGoodWithoutACopyAsksAndOnlyAwayFromACheckedReport) {
    CleanFiles files = {{"C:\\a.tmp", {"", FileStamp{2254857830ULL, 1}}}, {"C:\\b.tmp", {"", std::nullopt}}};
    EXPECT_TRUE(AsksBeforeCleaning(false, false, files));
    EXPECT_FALSE(AsksBeforeCleaning(false, true, files) || AsksBeforeCleaning(true, false, files));
    EXPECT_FALSE(AsksBeforeCleaning(false, false, {}));
    for (int i = 0; i < 1232; ++i) files["D:\\" + std::to_string(i)] = {"", FileStamp{0, 0}};
    EXPECT_EQ(DeleteForGoodQuestion("%2$s, %1$s files", files), "2.10 GB, 1,234 files");  // a translation's order
    for (int index = kWelcomePage; index < kPageCount; ++index)
        EXPECT_EQ(AsksBeforeClosing(index, true), index == kReportPage || index == kCleanOptionsPage) << index;
    EXPECT_FALSE(AsksBeforeClosing(kReportPage, false));
}
