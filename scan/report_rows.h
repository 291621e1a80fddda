// The report's rows as data: sizes and their shown text, the total, and the column sort's order.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_proof.h"

struct ReportRow {
    std::string path;
    std::uint64_t size = 0;  // bytes; 0 when the size could not be read
    std::string sizeText;    // KB with two decimals, as the size column shows it
    std::string reason;
    std::optional<FileStamp> seen;  // what the removal will prove unchanged

    // The text of a list column: 0 path, 1 size, 2 reason; any other column is empty.
    const std::string& Column(int column) const;
};

// A file that could not be read (vanished since the scan) counts as empty.
ReportRow MakeReportRow(std::string path, std::string reason, std::optional<std::uint64_t> size);
ReportRow MakeReportRow(std::string path, std::string reason, std::optional<FileStamp> seen);
std::string KilobyteText(std::uint64_t bytes);

// The total line's arguments, in the order the language text takes them.
struct ReportTotal {
    long long count = 0;
    double kilobytes = 0;
    double megabytes = 0;
};
ReportTotal TotalOf(const std::vector<ReportRow>& rows);

// The checked rows' running count and byte sum, kept beside the rows (same index) so that one check
// change costs O(1) and a select all or clear all one pass over the model, never over the list.
class CheckedTotal {
public:
    // Every row of the model takes one state; the previous model is forgotten.
    void Reset(const std::vector<ReportRow>& rows, bool checked);
    void SetAll(bool checked);
    // One row's new state; a repeated or unknown row changes nothing.
    void Change(size_t index, bool checked);
    bool IsChecked(size_t index) const { return index < states.size() && states[index]; }
    long long Count() const { return count; }
    ReportTotal Total() const;

private:
    const std::vector<ReportRow>* rows = nullptr;
    std::vector<bool> states;
    std::uint64_t allBytes = 0;
    std::uint64_t bytes = 0;
    long long count = 0;
};

// A column's sort kind, kept as its header item's data.
enum SortKind : int { kSortText = 0, kSortNumber = 1 };

// The list sort's comparison of two cells of one column. Descending puts the larger first;
// numbers are read from the shown text, so "10.00" is above "9.50". An unknown kind keeps rows equal.
int CompareCells(int kind, std::string_view first, std::string_view second, bool descending);
