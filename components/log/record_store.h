// The record store: one UTF-8 text file per month, appended under a file lock, read whole.
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct LogTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool operator==(const LogTime&) const = default;
};

// Texts are UTF-8 and may hold any character, line breaks included.
struct LogRecord {
    LogTime local, utc;
    std::string type, category, action, source, text;
    bool operator==(const LogRecord&) const = default;
};

// One record as it is written: CRLF lines from "@record ..." to "@end".
std::string EncodeRecord(const LogRecord& record);
// The whole records of a file's contents, in file order; a torn or damaged record is passed over.
std::vector<LogRecord> ParseRecords(std::string_view contents);
// "2024-05.log", after the record's local month.
std::string MonthFileName(const LogTime& local);
// "2024-05-01 14:03:22"
std::string FormatTime(const LogTime& time);

// A record stamped with the current local and UTC time.
LogRecord StampedRecord(std::string type, std::string category, std::string action, std::string source,
                        std::string text);
// Folders may be longer than MAX_PATH.
// Makes the folder when missing, then appends the record in one write, flushed before it returns.
// Safe against other threads and processes appending to the same folder.
bool AppendRecord(const std::wstring& folder, const LogRecord& record);
// Every record of the folder's month files, oldest file first and in append order within a file.
std::vector<LogRecord> ReadRecords(const std::wstring& folder);
