#include "base/file_list.h"

#include <windows.h>

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "base/program_paths.h"
#include "base/version_info.h"
#include "base/win_handles.h"

namespace {

constexpr std::uint64_t kMaxListBytes = 256ull << 20;
constexpr int kMaxDepth = 64;
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kDaysFrom1601To1970 = 134'774;
constexpr char32_t kReplacement = 0xFFFD;

// One UTF-8 sequence at text[at]: its code point and length, or length 0 when it is not one
// (an overlong form, a surrogate, past U+10FFFF, cut short).
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) return {0, 0};
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return {0, 0};
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, 0};
    return {code, length};
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendEscape(std::string& out, unsigned unit) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04x", unit);
    out += text;
}

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t at = 0; at < text.size();) {
        auto [code, length] = DecodeUtf8(text, at);
        at += length ? length : 1;
        if (!length) code = kReplacement;
        switch (code) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (code >= 0x20 && code < 0x7F) {
                out += static_cast<char>(code);
            } else if (code < 0x10000) {
                AppendEscape(out, code);
            } else {
                AppendEscape(out, 0xD800 + ((code - 0x10000) >> 10));
                AppendEscape(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
            }
        }
    }
    out += '"';
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = DecodeUtf8(text, at).second;
        if (length) out.append(text.substr(at, length));
        else AppendUtf8(out, kReplacement);
        at += length ? length : 1;
    }
    return out;
}

bool StartsFormula(std::string_view text) {
    return !text.empty() && std::string_view("=+-@\t\r'").find(text.front()) != std::string_view::npos;
}

void AppendCsvField(std::string& out, std::string_view raw, bool guard) {
    std::string text = ValidUtf8(raw);
    if (guard && StartsFormula(text)) text.insert(0, 1, '\'');
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// Hinnant's civil calendar on days since 1970-01-01.
void CivilFromDays(std::int64_t z, std::int64_t& year, unsigned& month, unsigned& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2);
}

std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool Digits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A whole number of bytes: digits only, within 64 bits.
std::optional<std::uint64_t> ParseSize(std::string_view text) {
    std::uint64_t value = 0;
    if (!Digits(text)) return std::nullopt;
    auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string_view WithoutBom(std::string_view text) {
    return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
}

// Builds the plan row by row and words a refusal with its place in the text.
class PlanBuilder {
public:
    explicit PlanBuilder(std::string_view text) : text(text) {}

    bool Fail(std::size_t at, const std::string& what) {
        if (message.empty()) {
            std::size_t line = 1, lineStart = 0;
            for (std::size_t i = 0; i < at && i < text.size(); ++i)
                if (text[i] == '\n') ++line, lineStart = i + 1;
            message = "line " + std::to_string(line) + ", column " + std::to_string(at - lineStart + 1) + ": " + what;
        }
        return false;
    }
    // A size or write time that is there must be readable; one that is not leaves the row unstamped.
    bool Add(std::size_t at, std::string path, std::string reason, std::optional<std::string_view> size,
             std::optional<std::string_view> writeTime) {
        if (!IsAbsolutePath(path)) return Fail(at, "the path is not a full path");
        std::optional<std::uint64_t> bytes, ticks;
        if (size && !(bytes = ParseSize(*size))) return Fail(at, "the size is not a whole number of bytes");
        if (writeTime && !(ticks = ParseWriteTime(*writeTime)))
            return Fail(at, "the write time is not a UTC time such as 2026-12-08T02:15:26.1234567Z");
        std::optional<FileStamp> seen;
        if (bytes && ticks) seen = FileStamp{*bytes, *ticks};
        if (!files.emplace(std::move(path), CheckedFile{std::move(reason), seen}).second)
            return Fail(at, "the path is listed twice");
        return true;
    }

    std::string_view text;
    CleanFiles files;
    std::string message;
};

class JsonReader {
public:
    explicit JsonReader(PlanBuilder& plan) : plan(plan), text(plan.text) {}

    bool Read() {
        at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
        SkipSpace();
        if (!Take('{')) return Fail("the list is not a JSON object");
        bool sawFiles = false;
        if (!Members(1, [&](const std::string& name) {
                if (name != "files") return SkipValue(2);
                if (std::exchange(sawFiles, true)) return Fail("\"files\" appears twice");
                return Files();
            }))
            return false;
        SkipSpace();
        if (at != text.size()) return Fail("text after the end of the list");
        return sawFiles || Fail("no \"files\" list");
    }

private:
    bool Fail(const std::string& what) { return plan.Fail(at, what); }
    void SkipSpace() {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) ++at;
    }
    bool Take(char c) {
        if (at >= text.size() || text[at] != c) return false;
        ++at;
        return true;
    }
    bool Peek(char c) {
        SkipSpace();
        return at < text.size() && text[at] == c;
    }

    // The members of an object whose '{' was taken: member(name) reads each value.
    template <class Member>
    bool Members(int depth, Member member) {
        if (depth > kMaxDepth) return Fail("nested too deeply");
        if (Peek('}')) return Take('}');
        do {
            std::string name;
            SkipSpace();
            if (!String(name)) return false;
            SkipSpace();
            if (!Take(':')) return Fail("':' expected");
            SkipSpace();
            if (!member(name)) return false;
            SkipSpace();
        } while (Take(','));
        return Take('}') || Fail("',' or '}' expected");
    }
    template <class Element>
    bool Elements(int depth, Element element) {
        if (depth > kMaxDepth) return Fail("nested too deeply");
        if (Peek(']')) return Take(']');
        do {
            SkipSpace();
            if (!element()) return false;
            SkipSpace();
        } while (Take(','));
        return Take(']') || Fail("',' or ']' expected");
    }

    bool SkipValue(int depth) {
        if (at >= text.size()) return Fail("a value expected");
        std::string ignored;
        switch (text[at]) {
        case '{': ++at; return Members(depth, [&](const std::string&) { return SkipValue(depth + 1); });
        case '[': ++at; return Elements(depth, [&] { return SkipValue(depth + 1); });
        case '"': return String(ignored);
        case 't': return Word("true");
        case 'f': return Word("false");
        case 'n': return Word("null");
        default: return Number().has_value();
        }
    }
    bool Word(std::string_view word) {
        if (text.substr(at, word.size()) != word) return Fail("a value expected");
        at += word.size();
        return true;
    }
    bool Null() {
        if (text.substr(at, 4) != "null") return false;
        at += 4;
        return true;
    }

    std::optional<std::string_view> Number() {
        const std::size_t start = at;
        const auto digits = [&] {
            const std::size_t first = at;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
            return at > first;
        };
        Take('-');
        if (Take('0')) {
        } else if (!digits()) {
            Fail("a value expected");
            return std::nullopt;
        }
        if (Take('.') && !digits()) {
            Fail("digits expected after the decimal point");
            return std::nullopt;
        }
        if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
            ++at;
            if (!Take('+')) Take('-');
            if (!digits()) {
                Fail("digits expected in the exponent");
                return std::nullopt;
            }
        }
        return text.substr(start, at - start);
    }

    unsigned Hex4() {
        unsigned unit = 0;
        for (int i = 0; i < 4; ++i, ++at) {
            const char c = at < text.size() ? text[at] : '\0';
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return 0x110000;
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        return unit;
    }

    // The text was checked as UTF-8 before; here only JSON's own rules.
    bool String(std::string& out) {
        if (!Take('"')) return Fail("'\"' expected");
        while (true) {
            if (at >= text.size()) return Fail("the text ends inside a string");
            const char c = text[at];
            if (c == '"') break;
            if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character inside a string");
            if (c != '\\') {
                out += c;
                ++at;
                continue;
            }
            const std::size_t escape = at++;
            const char kind = at < text.size() ? text[at++] : '\0';
            static constexpr std::string_view kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
            if (kind != 'u') {
                const std::size_t index = kFrom.find(kind);
                if (kind == '\0' || index == std::string_view::npos) return plan.Fail(escape, "an invalid escape");
                out += kTo[index];
                continue;
            }
            char32_t code = Hex4();
            if (code >= 0xDC00 && code <= 0xDFFF) return plan.Fail(escape, "a lone surrogate");
            if (code >= 0xD800 && code <= 0xDBFF) {
                const unsigned low = text.substr(at, 2) == "\\u" ? (at += 2, Hex4()) : 0;
                if (low < 0xDC00 || low > 0xDFFF) return plan.Fail(escape, "a lone surrogate");
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            if (code > 0x10FFFF) return plan.Fail(escape, "an invalid escape");
            if (code == 0) return plan.Fail(escape, "a NUL character");
            AppendUtf8(out, code);
        }
        ++at;
        return true;
    }

    bool Files() {
        if (!Take('[')) return Fail("\"files\" is not a list");
        return Elements(3, [&] { return Entry(); });
    }

    bool Entry() {
        const std::size_t start = at;
        if (!Take('{')) return Fail("a file entry is not an object");
        std::optional<std::string> path, reason, writeTime;
        std::optional<std::string_view> size;
        bool seen[4] = {};
        const auto textOrNull = [&](std::optional<std::string>& field) {
            if (Null()) return true;
            field.emplace();
            return String(*field);
        };
        const bool read = Members(4, [&](const std::string& name) {
            static constexpr std::string_view kNames[] = {"path", "size", "writeTime", "reason"};
            std::size_t known = 0;
            while (known < 4 && kNames[known] != name) ++known;
            if (known == 4) return SkipValue(5);
            if (std::exchange(seen[known], true)) return Fail("\"" + name + "\" appears twice in one entry");
            if (known == 0) return textOrNull(path);
            if (known == 2) return textOrNull(writeTime);
            if (known == 3) return textOrNull(reason);
            return Null() || (size = Number()).has_value();
        });
        if (!read) return false;
        if (!path) return plan.Fail(start, "an entry without a path");
        return plan.Add(start, std::move(*path), reason.value_or(""), size,
                        writeTime ? std::optional<std::string_view>(*writeTime) : std::nullopt);
    }

    PlanBuilder& plan;
    std::string_view text;
    std::size_t at = 0;
};

class CsvReader {
public:
    explicit CsvReader(PlanBuilder& plan) : plan(plan), text(WithoutBom(plan.text)), offset(plan.text.size() - text.size()) {}

    bool Read() {
        std::vector<std::string> header;
        std::size_t start = 0;
        do {
            start = at;
            if (at >= text.size()) return Fail(start, "no header line");
            if (!Record(header)) return false;
        } while (Blank(header));
        static constexpr std::string_view kNames[] = {"path", "size", "writeTime", "reason"};
        std::size_t columns[4] = {kNone, kNone, kNone, kNone};
        for (std::size_t i = 0; i < header.size(); ++i)
            for (std::size_t known = 0; known < 4; ++known) {
                if (!SameName(header[i], kNames[known])) continue;
                if (columns[known] != kNone) return Fail(start, "the column " + header[i] + " appears twice");
                columns[known] = i;
            }
        if (columns[0] == kNone) return Fail(start, "no path column");
        std::vector<std::string> fields;
        while (at < text.size()) {
            start = at;
            if (!Record(fields)) return false;
            if (Blank(fields)) continue;
            if (fields.size() != header.size())
                return Fail(start, std::to_string(fields.size()) + " fields where the header has " +
                                       std::to_string(header.size()));
            const auto field = [&](std::size_t known) -> std::optional<std::string_view> {
                if (columns[known] == kNone || fields[columns[known]].empty()) return std::nullopt;
                return fields[columns[known]];
            };
            std::string reason = columns[3] == kNone ? std::string() : fields[columns[3]];
            if (reason.starts_with('\'')) reason.erase(0, 1);  // the writer's guard against formulas
            if (!plan.Add(offset + start, fields[columns[0]], std::move(reason), field(1), field(2))) return false;
        }
        return true;
    }

private:
    static constexpr std::size_t kNone = SIZE_MAX;

    bool Fail(std::size_t where, const std::string& what) { return plan.Fail(offset + where, what); }
    static bool Blank(const std::vector<std::string>& fields) { return fields.size() == 1 && fields[0].empty(); }
    static bool SameName(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
        return true;
    }

    // One record and its line end.
    bool Record(std::vector<std::string>& fields) {
        fields.assign(1, std::string());
        while (true) {
            std::string& field = fields.back();
            if (at < text.size() && text[at] == '"') {
                const std::size_t open = at++;
                while (true) {
                    if (at >= text.size()) return Fail(open, "a quoted field is not closed");
                    if (text[at] == '"' && !(at + 1 < text.size() && text[at + 1] == '"')) break;
                    if (text[at] == '"') ++at;
                    field += text[at++];
                }
                ++at;
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
                    if (text[at] == '"') return Fail(at, "a quote inside a field that is not quoted");
                    field += text[at++];
                }
            }
            if (at >= text.size()) return true;
            if (text[at] == ',') {
                ++at;
                fields.emplace_back();
                continue;
            }
            if (text.substr(at, 2) == "\r\n") at += 2;
            else if (text[at] == '\n') ++at;
            else return Fail(at, text[at] == '\r' ? "a carriage return without a line feed" : "text after a closing quote");
            return true;
        }
    }

    PlanBuilder& plan;
    std::string_view text;
    std::size_t offset;  // of text in the whole, past a BOM
    std::size_t at = 0;
};

}  // namespace

std::optional<FileListFormat> FileListFormatOf(std::string_view path) {
    const std::size_t dot = path.find_last_of(".\\/");
    if (dot == std::string_view::npos || path[dot] != '.') return std::nullopt;
    std::string extension(path.substr(dot + 1));
    for (char& c : extension) c = static_cast<char>(c | 0x20);
    if (extension == "json") return FileListFormat::Json;
    if (extension == "csv") return FileListFormat::Csv;
    return std::nullopt;
}

std::string WriteTimeText(std::uint64_t ticks) {
    const std::uint64_t seconds = ticks / kTicksPerSecond;
    std::int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(static_cast<std::int64_t>(seconds / 86400) - kDaysFrom1601To1970, year, month, day);
    if (year > 9999) return {};
    const unsigned second = static_cast<unsigned>(seconds % 86400);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02u:%02u:%02u.%07uZ", static_cast<int>(year), month, day,
                  second / 3600, second / 60 % 60, second % 60, static_cast<unsigned>(ticks % kTicksPerSecond));
    return text;
}

std::optional<std::uint64_t> ParseWriteTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS, then an optional fraction, then Z.
    static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd";
    if (text.size() < kShape.size() + 1 || text.back() != 'Z') return std::nullopt;
    for (std::size_t i = 0; i < kShape.size(); ++i)
        if (kShape[i] == 'd' ? !(text[i] >= '0' && text[i] <= '9') : text[i] != kShape[i]) return std::nullopt;
    const auto number = [&](std::size_t from, std::size_t length) {
        unsigned value = 0;
        for (std::size_t i = from; i < from + length; ++i) value = value * 10 + static_cast<unsigned>(text[i] - '0');
        return value;
    };
    const unsigned year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const unsigned hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    std::string_view fraction = text.substr(kShape.size(), text.size() - kShape.size() - 1);
    if (!fraction.empty()) {
        if (fraction.front() != '.' || fraction.size() < 2 || fraction.size() > 8 || !Digits(fraction.substr(1)))
            return std::nullopt;
        fraction.remove_prefix(1);
    }
    static constexpr unsigned kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > kMonthDays[month - 1] ||
        (month == 2 && day == 29 && !leap) || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    std::uint64_t ticks = 0;
    for (std::size_t i = 0; i < 7; ++i) ticks = ticks * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    const auto days = static_cast<std::uint64_t>(DaysFromCivil(year, month, day) + kDaysFrom1601To1970);
    return (days * 86400 + hour * 3600 + minute * 60 + second) * kTicksPerSecond + ticks;
}

std::string FileListJson(const std::vector<FileListEntry>& files, const FileListSummary& summary) {
    std::string out = "{\"tool\":\"Tidyhold\",\"version\":";
    AppendJsonString(out, ReadVersionString(ProgramFilePath(), "ProductVersion"));
    out += ",\"summary\":{";
    for (const auto& [name, value] : summary) {
        if (out.back() != '{') out += ',';
        AppendJsonString(out, name);
        out += ':';
        if (const auto* number = std::get_if<std::uint64_t>(&value)) out += std::to_string(*number);
        else AppendJsonString(out, std::get<std::string>(value));
    }
    out += "},\"files\":[";
    for (const FileListEntry& file : files) {
        out += out.back() == '[' ? "\r\n" : ",\r\n";
        out += "{\"path\":";
        AppendJsonString(out, file.path);
        out += ",\"size\":" + std::to_string(file.size) + ",\"writeTime\":";
        const std::string time = file.writeTime ? WriteTimeText(*file.writeTime) : std::string();
        if (time.empty()) out += "null";
        else AppendJsonString(out, time);
        out += ",\"reason\":";
        AppendJsonString(out, file.reason);
        out += ",\"result\":";
        AppendJsonString(out, file.result);
        out += '}';
    }
    out += "\r\n]}\r\n";
    return out;
}

std::string FileListCsv(const std::vector<FileListEntry>& files) {
    std::string out = "\xEF\xBB\xBFpath,size,writeTime,reason,result\r\n";
    for (const FileListEntry& file : files) {
        AppendCsvField(out, file.path, false);  // a full path starts with a letter or a backslash
        out += ',' + std::to_string(file.size) + ',';
        if (file.writeTime) out += WriteTimeText(*file.writeTime);
        out += ',';
        AppendCsvField(out, file.reason, true);
        out += ',';
        AppendCsvField(out, file.result, true);
        out += "\r\n";
    }
    return out;
}

bool WriteFileList(const std::string& path, const std::vector<FileListEntry>& files, const FileListSummary& summary) {
    const std::optional<FileListFormat> format = FileListFormatOf(path);
    if (!format) return false;
    const std::string content = *format == FileListFormat::Json ? FileListJson(files, summary) : FileListCsv(files);
    const std::wstring target = ExtendedPath(path);
    // A short name of its own in the same folder, so the move is a rename on one volume.
    const std::wstring temporary = target.substr(0, target.find_last_of(L'\\') + 1) + L"~tidyhold-" +
                                   std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(GetTickCount64()) + L".tmp";
    UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bool written = true;
    for (std::size_t done = 0; written && done < content.size();) {
        DWORD wrote = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
        written = WriteFile(file.Get(), content.data() + done, chunk, &wrote, nullptr) && wrote == chunk;
        done += wrote;
    }
    written = written && FlushFileBuffers(file.Get());
    file.Reset();
    if (written && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

std::optional<CleanFiles> ParseFileList(std::string_view text, FileListFormat format, std::string& error) {
    PlanBuilder plan(text);
    // One check of the whole encoding first, so the readers handle only their own syntax.
    for (std::size_t at = 0; at < text.size() && plan.message.empty();) {
        const std::size_t length = DecodeUtf8(text, at).second;
        if (length == 0) plan.Fail(at, "the text is not UTF-8");
        else if (text[at] == '\0') plan.Fail(at, "a NUL character");
        at += length ? length : 1;
    }
    const bool read = plan.message.empty() &&
                      (format == FileListFormat::Json ? JsonReader(plan).Read() : CsvReader(plan).Read());
    if (!read) {
        error = plan.message;
        return std::nullopt;
    }
    return std::move(plan.files);
}

std::optional<CleanFiles> ReadFileList(const std::string& path, std::string& error) {
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size)) {
        error = "the list cannot be opened";
        return std::nullopt;
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxListBytes) {
        error = "the list is larger than 256 MB";
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    for (std::size_t done = 0; done < text.size();) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), text.data() + done, static_cast<DWORD>(text.size() - done), &read, nullptr) || read == 0) {
            error = "the list cannot be read";
            return std::nullopt;
        }
        done += read;
    }
    std::optional<FileListFormat> format = FileListFormatOf(path);
    if (!format) {
        const std::string_view content = WithoutBom(text);
        const std::size_t first = content.find_first_not_of(" \t\r\n");
        format = first != std::string_view::npos && content[first] == '{' ? FileListFormat::Json : FileListFormat::Csv;
    }
    return ParseFileList(text, *format, error);
}
