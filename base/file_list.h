// A report's list of files as UTF-8 JSON or CSV: written for people and for the tools that collect
// reports, and read back as the plan of a cleaning. Field names and result codes are never translated.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "base/file_proof.h"

struct FileListEntry {
    std::string path;
    std::uint64_t size = 0;
    std::optional<std::uint64_t> writeTime;  // FILETIME ticks, UTC; nothing when unknown
    std::string reason;                      // as the report shows it
    std::string result;                      // a code such as "found", "removed", "kept-changed"; may be empty
};

// The JSON's "summary" members in the caller's order, each a text or an unsigned number. CSV has none.
using FileListSummary = std::vector<std::pair<std::string, std::variant<std::string, std::uint64_t>>>;

enum class FileListFormat { Json, Csv };
// By the extension (.json, .csv, in any case); nothing for any other.
std::optional<FileListFormat> FileListFormatOf(std::string_view path);

// JSON in ASCII alone: every other character, and U+FFFD for each byte that is not UTF-8, as a
// \u escape, so a reader that guesses another code page still reads the paths right.
std::string FileListJson(const std::vector<FileListEntry>& files, const FileListSummary& summary);
// RFC 4180 with CRLF after a UTF-8 BOM; bytes that are not UTF-8 become U+FFFD. A reason or result
// that a spreadsheet would take for a formula (= + - @ tab CR first) gets an apostrophe before it,
// as does one that starts with an apostrophe, so the reader takes exactly one away again.
std::string FileListCsv(const std::vector<FileListEntry>& files);

// Writes the list beside path, then moves it over path: a half-written list never stands under its
// name. False on failure, and for an extension other than .json and .csv.
bool WriteFileList(const std::string& path, const std::vector<FileListEntry>& files,
                   const FileListSummary& summary = {});

// ISO 8601 in UTC with seven fractional digits, "2026-12-08T02:15:26.1234567Z": exact both ways.
// Empty past the year 9999. Reading takes one to seven fractional digits, or none.
std::string WriteTimeText(std::uint64_t ticks);
std::optional<std::uint64_t> ParseWriteTime(std::string_view text);

// A list as a cleaning's plan. A row without a size or write time gets no stamp, so the cleaning
// keeps that file. Anything else amiss (syntax, encoding, a NUL, a value of the wrong kind, a path
// that is not a full path, a path twice) refuses the whole list, and error says where.
std::optional<CleanFiles> ParseFileList(std::string_view text, FileListFormat format, std::string& error);
// The format by the extension, else by the content; at most 256 MB.
std::optional<CleanFiles> ReadFileList(const std::string& path, std::string& error);
