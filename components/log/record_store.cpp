#include "components/log/record_store.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>

namespace {

// The fields in the order a record holds them; a field's lines are joined with CRLF.
constexpr std::string_view kFieldNames[] = {"type", "category", "action", "source", "text"};
constexpr std::string_view kEnd = "@end";

constexpr std::string LogRecord::*kFields[] = {&LogRecord::type, &LogRecord::category, &LogRecord::action,
                                               &LogRecord::source, &LogRecord::text};

// One line per CRLF-separated piece: "name|piece" as it stands, or "name\piece" with the lone CR
// and LF and the backslash escaped. An empty value writes no line at all.
void AppendField(std::string& out, std::string_view name, std::string_view value) {
    if (value.empty()) return;
    size_t start = 0;
    for (;;) {
        size_t end = value.find("\r\n", start);
        std::string_view piece = value.substr(start, end == std::string_view::npos ? end : end - start);
        bool plain = piece.find_first_of("\r\n") == std::string_view::npos;
        out += name;
        out += plain ? '|' : '\\';
        if (plain) {
            out += piece;
        } else {
            for (char c : piece) {
                if (c == '\\') out += "\\\\";
                else if (c == '\r') out += "\\r";
                else if (c == '\n') out += "\\n";
                else out += c;
            }
        }
        out += "\r\n";
        if (end == std::string_view::npos) return;
        start = end + 2;
    }
}

bool Unescape(std::string_view piece, std::string& out) {
    for (size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] != '\\') {
            out += piece[i];
            continue;
        }
        if (++i == piece.size()) return false;
        if (piece[i] == '\\') out += '\\';
        else if (piece[i] == 'r') out += '\r';
        else if (piece[i] == 'n') out += '\n';
        else return false;
    }
    return true;
}

bool ParseHeader(std::string_view line, LogRecord& record) {
    constexpr std::string_view start = "@record ";
    if (!line.starts_with(start) || line.size() > 64) return false;
    std::string copy(line.substr(start.size()));
    LogTime& l = record.local;
    LogTime& u = record.utc;
    char close = 0;
    int read = std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d (UTC %4d-%2d-%2d %2d:%2d:%2d%c", &l.year, &l.month,
                           &l.day, &l.hour, &l.minute, &l.second, &u.year, &u.month, &u.day, &u.hour, &u.minute,
                           &u.second, &close);
    return read == 13 && close == ')' && copy.back() == ')';
}

}  // namespace

std::string FormatTime(const LogTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::string MonthFileName(const LogTime& local) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d-%02d.log", local.year, local.month);
    return name;
}

std::string EncodeRecord(const LogRecord& record) {
    std::string out = "@record " + FormatTime(record.local) + " (UTC " + FormatTime(record.utc) + ")\r\n";
    for (size_t i = 0; i < std::size(kFieldNames); ++i) AppendField(out, kFieldNames[i], record.*kFields[i]);
    out += kEnd;
    out += "\r\n";
    return out;
}

std::vector<LogRecord> ParseRecords(std::string_view contents) {
    std::vector<LogRecord> records;
    LogRecord current;
    bool inside = false;
    size_t field = 0;         // the field the last line went to; fields come in order
    size_t linesInField = 0;
    size_t start = 0;
    for (;;) {
        size_t end = contents.find("\r\n", start);
        if (end == std::string_view::npos) break;  // a last line with no CRLF is torn
        std::string_view line = contents.substr(start, end - start);
        start = end + 2;
        if (line.starts_with('@')) {
            if (inside && line == kEnd) {
                records.push_back(std::move(current));
                inside = false;
                continue;
            }
            current = LogRecord();
            inside = ParseHeader(line, current);  // a header before @end drops the record it cuts short
            field = 0;
            linesInField = 0;
            continue;
        }
        if (!inside) continue;  // the rest of a damaged record
        size_t mark = line.find_first_of("|\\");
        size_t index = std::size(kFieldNames);
        if (mark != std::string_view::npos)
            index = std::find(std::begin(kFieldNames), std::end(kFieldNames), line.substr(0, mark)) -
                    std::begin(kFieldNames);
        if (index == std::size(kFieldNames) || index < field) {
            inside = false;
            continue;
        }
        if (index != field) linesInField = 0;
        field = index;
        std::string& value = current.*kFields[index];
        if (linesInField++ > 0) value += "\r\n";
        std::string_view piece = line.substr(mark + 1);
        if (line[mark] == '|') value += piece;
        else if (!Unescape(piece, value)) inside = false;
    }
    return records;
}

LogRecord StampedRecord(std::string type, std::string category, std::string action, std::string source,
                        std::string text) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    SYSTEMTIME utc{}, local{};
    FileTimeToSystemTime(&now, &utc);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
    auto convert = [](const SYSTEMTIME& s) {
        return LogTime{s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute, s.wSecond};
    };
    return LogRecord{convert(local), convert(utc), std::move(type), std::move(category), std::move(action),
                     std::move(source), std::move(text)};
}

namespace {

// Past MAX_PATH the wide file functions want the \\?\ form, which takes backslashes only.
std::wstring Extended(std::wstring path) {
    if (path.size() < 200 || path.starts_with(L"\\\\?\\")) return path;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;  // relative: left to the current folder, as short paths are
}

struct FileCloser {
    HANDLE handle;
    ~FileCloser() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

bool MakeFolders(const std::wstring& folder) {
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t cut = folder.find_last_of(L"\\/");
    if (cut != std::wstring::npos && cut > 0 && folder[cut - 1] != L':' && folder[cut - 1] != L'\\' &&
        !MakeFolders(folder.substr(0, cut)))
        return false;
    // Another writer may have made it in between.
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Whether the next record starts on a line of its own: a crash or a full disk may have left half a line.
bool EndsOnLineBreak(HANDLE file, LONGLONG size) {
    if (size == 0) return true;
    if (size < 2) return false;
    char tail[2] = {};
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(size - 2);
    at.OffsetHigh = static_cast<DWORD>((size - 2) >> 32);
    DWORD read = 0;
    return ReadFile(file, tail, 2, &read, &at) && read == 2 && tail[0] == '\r' && tail[1] == '\n';
}

// The name an open handle really reaches: through a link, the target's. Under Wine a host link to
// a file looks like a plain file, and only this tells. GetFinalPathNameByHandleW would give it too,
// but Wine 8's fails past MAX_PATH whatever the buffer; the object name it is made from does not.
std::wstring FinalPath(HANDLE handle) {
    std::vector<char> buffer(sizeof(OBJECT_NAME_INFORMATION) + 0x10000);
    ULONG length = 0;
    if (NtQueryObject(handle, ObjectNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length) < 0)
        return {};
    const UNICODE_STRING& name = reinterpret_cast<const OBJECT_NAME_INFORMATION*>(buffer.data())->Name;
    return std::wstring(name.Buffer, name.Length / sizeof(wchar_t));
}

// The folder's final name with a backslash at its end; empty when the folder is a link. The check
// follows the open: a folder swapped for a link just before it shows here, or later in the path of
// the file opened in it.
std::wstring OwnFolderPath(const std::wstring& folder) {
    FileCloser opened{CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    std::wstring path = opened.handle == INVALID_HANDLE_VALUE ? L"" : FinalPath(opened.handle);
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {};
    return path.back() == L'\\' ? path : path + L'\\';
}

// A plain file with no other name, reached at the path meant and not through a link to elsewhere.
bool IsPlainFileAt(HANDLE file, const std::wstring& meant) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(file, &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
           info.nNumberOfLinks == 1 &&
           CompareStringOrdinal(meant.c_str(), -1, FinalPath(file).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Never OPEN_ALWAYS: through a link to a missing file it would make that file wherever the link
// points. CREATE_NEW takes no name that exists, a dangling link included; between the two calls
// another writer may make the file.
HANDLE OpenMonthFile(const std::wstring& path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (DWORD disposition : {OPEN_EXISTING, CREATE_NEW}) {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
            DWORD error = GetLastError();
            if (file != INVALID_HANDLE_VALUE || (error != ERROR_FILE_NOT_FOUND && error != ERROR_FILE_EXISTS))
                return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool IsMonthFileName(std::wstring_view name) {
    if (name.size() != 11 || name[4] != L'-' || name.substr(7) != L".log") return false;
    for (size_t i : {0, 1, 2, 3, 5, 6})
        if (name[i] < L'0' || name[i] > L'9') return false;
    return true;
}

}  // namespace

bool AppendRecord(const std::wstring& given, const LogRecord& record) {
    std::wstring folder = Extended(given);
    if (folder.empty() || !MakeFolders(folder)) return false;
    // Records go only into plain files of the folder itself, never through a link to elsewhere.
    std::wstring own = OwnFolderPath(folder);
    if (own.empty()) {
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return false;
    }
    std::wstring name = Widen(MonthFileName(record.local));
    FileCloser file{OpenMonthFile(folder + L"\\" + name)};
    if (file.handle == INVALID_HANDLE_VALUE) return false;
    if (!IsPlainFileAt(file.handle, own + name)) {
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return false;
    }
    // Writers lock one byte far past any real end, so readers never meet a locked range.
    OVERLAPPED lockAt{};
    lockAt.OffsetHigh = 0x40000000;
    if (!LockFileEx(file.handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockAt)) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file.handle, &size);
    std::string bytes = EncodeRecord(record);
    if (ok && !EndsOnLineBreak(file.handle, size.QuadPart)) bytes.insert(0, "\r\n");
    DWORD written = 0;
    LARGE_INTEGER zero{};
    ok = ok && SetFilePointerEx(file.handle, zero, nullptr, FILE_END) &&
         WriteFile(file.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && FlushFileBuffers(file.handle);
    DWORD error = GetLastError();
    UnlockFileEx(file.handle, 0, 1, 0, &lockAt);
    SetLastError(ok ? ERROR_SUCCESS : (error ? error : ERROR_WRITE_FAULT));
    return ok;
}

std::vector<LogRecord> ReadRecords(const std::wstring& given) {
    std::wstring folder = Extended(given);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((folder + L"\\*-*.log").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return {};  // no folder yet: nothing recorded
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsMonthFileName(entry.cFileName))
            names.push_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());

    std::vector<LogRecord> records;
    for (const auto& name : names) {
        FileCloser file{CreateFileW((folder + L"\\" + name).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)};
        LARGE_INTEGER size{};
        if (file.handle == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.handle, &size) ||
            size.QuadPart > 0x7FFFFFFF)
            continue;  // unreadable or absurd: the other months still show
        std::string contents(static_cast<size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (!ReadFile(file.handle, contents.data(), static_cast<DWORD>(contents.size()), &read, nullptr)) continue;
        contents.resize(read);
        auto month = ParseRecords(contents);
        records.insert(records.end(), std::make_move_iterator(month.begin()), std::make_move_iterator(month.end()));
    }
    return records;
}
