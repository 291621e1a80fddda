#include "scan/report_rows.h"

#include <cstdio>
#include <cstdlib>

#include "base/ansi.h"

namespace {

double NumberIn(std::string_view text) {
    std::string copy(text);  // strtod needs the terminating zero
    return std::strtod(copy.c_str(), nullptr);
}

}  // namespace

const std::string& ReportRow::Column(int column) const {
    static const std::string none;
    switch (column) {
    case 0: return path;
    case 1: return sizeText;
    case 2: return reason;
    default: return none;
    }
}

ReportRow MakeReportRow(std::string path, std::string reason, std::optional<std::uint64_t> size) {
    ReportRow row;
    row.path = std::move(path);
    row.size = size.value_or(0);
    row.sizeText = KilobyteText(row.size);
    row.reason = std::move(reason);
    return row;
}

ReportRow MakeReportRow(std::string path, std::string reason, std::optional<FileStamp> seen) {
    ReportRow row = MakeReportRow(std::move(path), std::move(reason),
                                  seen ? std::optional<std::uint64_t>(seen->size) : std::nullopt);
    row.seen = seen;
    return row;
}

std::string KilobyteText(std::uint64_t bytes) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.2lf", static_cast<double>(bytes) / 1024.0);
    return text;
}

namespace {

// Bytes add up exactly; only the result becomes a double.
ReportTotal MakeTotal(long long count, std::uint64_t bytes) {
    ReportTotal total;
    total.count = count;
    total.kilobytes = static_cast<double>(bytes) / 1024.0;
    total.megabytes = total.kilobytes / 1024.0;
    return total;
}

std::uint64_t ByteSum(const std::vector<ReportRow>& rows) {
    std::uint64_t bytes = 0;
    for (const ReportRow& row : rows) bytes += row.size;
    return bytes;
}

}  // namespace

ReportTotal TotalOf(const std::vector<ReportRow>& rows) {
    return MakeTotal(static_cast<long long>(rows.size()), ByteSum(rows));
}

void CheckedTotal::Reset(const std::vector<ReportRow>& model, bool checked) {
    rows = &model;
    allBytes = ByteSum(model);
    SetAll(checked);
}

void CheckedTotal::SetAll(bool checked) {
    size_t size = rows ? rows->size() : 0;
    states.assign(size, checked);
    count = checked ? static_cast<long long>(size) : 0;
    bytes = checked ? allBytes : 0;
}

void CheckedTotal::Change(size_t index, bool checked) {
    if (index >= states.size() || states[index] == checked) return;
    states[index] = checked;
    std::uint64_t size = (*rows)[index].size;
    count += checked ? 1 : -1;
    bytes = checked ? bytes + size : bytes - size;
}

ReportTotal CheckedTotal::Total() const { return MakeTotal(count, bytes); }

int CompareCells(int kind, std::string_view first, std::string_view second, bool descending) {
    int cmp = 0;
    if (kind == kSortText) {
        int order = CompareAnsi(second, first);
        cmp = (order > 0) - (order < 0);
    } else if (kind == kSortNumber) {
        double a = NumberIn(first);
        double b = NumberIn(second);
        cmp = (b > a) - (b < a);
    }
    return descending ? cmp : -cmp;
}
