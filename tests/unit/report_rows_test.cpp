#include <gtest/gtest.h>

#include "scan/report_rows.h"

TEST(ReportRows, SizesShowInKilobytesWithTwoDecimalsAtFullWidth) {
    struct Case {
        std::optional<std::uint64_t> bytes;
        const char* shown;
    };
    const Case cases[] = {
        {1536, "1.50"},
        {0, "0.00"},
        {std::nullopt, "0.00"},                  // vanished since the scan
        {1023, "1.00"},                          // rounded, not cut
        {4294967295ULL, "4194304.00"},           // the largest 32-bit size, rounded
        {4294967296ULL, "4194304.00"},           // 4 GiB: nothing of it fits in 32 bits
        {3 * 4294967296ULL, "12582912.00"},
        {4294967296ULL + 1536, "4194305.50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        ReportRow row = MakeReportRow("C:\\a", "why", c.bytes);
        EXPECT_EQ(row.sizeText, c.shown);
        EXPECT_EQ(row.size, c.bytes.value_or(0));
    }
}

TEST(ReportRows, TotalCountsEveryRowAndAddsTheBytesExactly) {
    std::vector<ReportRow> rows = {MakeReportRow("a", "", 1536), MakeReportRow("b", "", 0)};
    ReportTotal total = TotalOf(rows);
    EXPECT_EQ(total.count, 2);
    EXPECT_DOUBLE_EQ(total.kilobytes, 1.5);
    EXPECT_DOUBLE_EQ(total.megabytes, 1.5 / 1024);

    rows.push_back(MakeReportRow("c", "", 4294967296ULL));
    rows.push_back(MakeReportRow("d", "", std::optional<std::uint64_t>()));
    total = TotalOf(rows);
    EXPECT_EQ(total.count, 4);
    EXPECT_DOUBLE_EQ(total.kilobytes, 4194305.5);
    EXPECT_DOUBLE_EQ(total.megabytes, 4194305.5 / 1024);
}

TEST(ReportRows, CheckedTotalFollowsEachChangeOnceAndBulkChangesInOnePass) {
    std::vector<ReportRow> rows = {MakeReportRow("a", "", 1536), MakeReportRow("b", "", 4294967296ULL),
                                   MakeReportRow("c", "", std::optional<std::uint64_t>())};
    CheckedTotal checked;
    EXPECT_EQ(checked.Total().count, 0);
    checked.Change(0, true);  // before any model: nothing to count
    EXPECT_EQ(checked.Count(), 0);

    checked.Reset(rows, true);
    EXPECT_EQ(checked.Count(), 3);
    EXPECT_DOUBLE_EQ(checked.Total().kilobytes, 4194305.5);

    checked.Change(1, false);
    checked.Change(1, false);  // the list repeats a state: counted once
    checked.Change(7, false);  // a row the model does not hold
    checked.Change(static_cast<size_t>(-1), false);
    EXPECT_EQ(checked.Count(), 2);
    EXPECT_DOUBLE_EQ(checked.Total().kilobytes, 1.5);
    EXPECT_FALSE(checked.IsChecked(1));
    EXPECT_TRUE(checked.IsChecked(2));

    checked.Change(0, false);
    checked.Change(2, false);
    EXPECT_EQ(checked.Count(), 0);
    EXPECT_DOUBLE_EQ(checked.Total().kilobytes, 0);  // no byte left over or wrapped below zero
    checked.Change(1, true);
    EXPECT_DOUBLE_EQ(checked.Total().megabytes, 4096);

    checked.SetAll(true);
    checked.Change(2, false);  // a row of no size still counts as a file
    EXPECT_EQ(checked.Count(), 2);
    EXPECT_DOUBLE_EQ(checked.Total().kilobytes, 4194305.5);
    checked.SetAll(false);
    EXPECT_EQ(checked.Count(), 0);
    EXPECT_DOUBLE_EQ(checked.Total().kilobytes, 0);

    rows.pop_back();
    checked.Reset(rows, false);  // a new model forgets the old states
    checked.Change(2, true);
    EXPECT_EQ(checked.Count(), 0);
}

TEST(ReportRows, CompareOrdersNumbersAsNumbersAndTextsByteWise) {
    // Negative: first stays above second; positive: second goes above first.
    struct Case {
        int kind;
        const char* first;
        const char* second;
        int ascending;
    };
    const Case cases[] = {
        {kSortNumber, "9.50", "10.00", -1},     // 9.50 comes first ascending, though "1" < "9"
        {kSortNumber, "10.00", "9.50", 1},
        {kSortNumber, "4194304.00", "0.00", 1},
        {kSortNumber, "1.50", "1.50", 0},
        {kSortNumber, "0.00", "", 0},           // no number reads as zero
        {kSortText, "B", "a", -1},              // byte order: upper case first
        {kSortText, "a", "B", 1},
        {kSortText, "C:\\a\\b", "C:\\a", 1},    // a prefix comes first
        {kSortText, "10.00", "9.50", -1},       // the size column read as text would differ
        {7, "1", "2", 0},                       // an unknown kind leaves rows as they are
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " vs " + c.second + ", kind " + std::to_string(c.kind));
        EXPECT_EQ(CompareCells(c.kind, c.first, c.second, false), c.ascending);
        EXPECT_EQ(CompareCells(c.kind, c.first, c.second, true), -c.ascending);
    }
}
