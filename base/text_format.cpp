#include "base/text_format.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>
#include <vector>

namespace {

constexpr int kMaxWidth = 1024;

struct Conversion {
    bool numbered = false;  // written with an argument number, %n$
    long long position = 0; // that number
    std::string flags;
    int width = -1;
    int precision = -1;
    char type = 0;
    bool valid = true;
    size_t end = 0;  // index just past the conversion in the format
};

long long ReadNumber(std::string_view text, size_t& i, long long cap = kMaxWidth) {
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = std::min<long long>(value * 10 + (text[i] - '0'), cap);
        ++i;
    }
    return value;
}

// Parses the conversion that starts at format[start] == '%'.
Conversion Parse(std::string_view format, size_t start) {
    Conversion c;
    size_t i = start + 1;
    size_t digits = i;
    // Capped past any argument count, so a huge number cannot wrap round to a real argument.
    long long position = ReadNumber(format, digits, INT_MAX);
    if (digits > i && digits < format.size() && format[digits] == '$') {
        c.numbered = true;
        c.position = position;
        i = digits + 1;
    }
    while (i < format.size() && std::string_view("-+ #0").find(format[i]) != std::string_view::npos)
        c.flags += format[i++];
    if (i < format.size() && format[i] == '*') {
        c.valid = false;
        ++i;
    } else {
        size_t before = i;
        int width = static_cast<int>(ReadNumber(format, i));
        if (i > before) c.width = width;
    }
    if (i < format.size() && format[i] == '.') {
        ++i;
        if (i < format.size() && format[i] == '*') {
            c.valid = false;
            ++i;
        } else {
            c.precision = static_cast<int>(ReadNumber(format, i));
        }
    }
    // Length modifiers say nothing here: the argument's own type decides how it is passed.
    while (i < format.size()) {
        if (std::string_view("hlLqjzt").find(format[i]) != std::string_view::npos) {
            ++i;
        } else if (format.substr(i, 3) == "I64" || format.substr(i, 3) == "I32") {
            i += 3;
        } else if (format[i] == 'I') {
            ++i;
        } else {
            break;
        }
    }
    if (i < format.size()) {
        c.type = format[i++];
    } else {
        c.valid = false;
    }
    c.end = i;
    return c;
}

bool IsIntegerType(char t) { return std::string_view("diuoxXc").find(t) != std::string_view::npos; }
bool IsFloatType(char t) { return std::string_view("fFeEgGaA").find(t) != std::string_view::npos; }

std::string Directive(const Conversion& c, std::string_view length) {
    std::string directive = "%" + c.flags;
    if (c.width >= 0) directive += std::to_string(c.width);
    if (c.precision >= 0) directive += "." + std::to_string(c.precision);
    directive += length;
    directive += c.type;
    return directive;
}

template <class T>
std::string Print(const std::string& directive, T value) {
    int length = std::snprintf(nullptr, 0, directive.c_str(), value);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), directive.c_str(), value);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

std::string Plain(const FormatArg& arg) {
    if (const auto* i = std::get_if<long long>(&arg)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&arg)) return Print("%g", *d);
    return std::get<std::string>(arg);
}

std::string Convert(const Conversion& c, const FormatArg& arg) {
    if (IsIntegerType(c.type)) {
        long long value = 0;
        if (const auto* i = std::get_if<long long>(&arg)) {
            value = *i;
        } else if (const auto* d = std::get_if<double>(&arg)) {
            // Out-of-range doubles do not convert to an integer: print them as they are.
            if (!(*d > -9.2e18 && *d < 9.2e18)) return Plain(arg);
            value = static_cast<long long>(*d);
        } else {
            return Plain(arg);
        }
        if (c.type == 'c') return value == 0 ? std::string() : Print(Directive(c, ""), static_cast<int>(value));
        return Print(Directive(c, "ll"), value);
    }
    if (IsFloatType(c.type)) {
        if (const auto* d = std::get_if<double>(&arg)) return Print(Directive(c, ""), *d);
        if (const auto* i = std::get_if<long long>(&arg)) return Print(Directive(c, ""), static_cast<double>(*i));
        return Plain(arg);
    }
    if (c.type == 's') {
        if (const auto* s = std::get_if<std::string>(&arg)) return Print(Directive(c, ""), s->c_str());
        return Plain(arg);
    }
    return {};
}

// Calls onText with each run of plain text (%% already made one %) and onConversion with each
// conversion and the text it was written as.
template <class OnText, class OnConversion>
void Walk(std::string_view format, OnText onText, OnConversion onConversion) {
    size_t i = 0;
    while (i < format.size()) {
        size_t percent = format.find('%', i);
        if (percent == std::string_view::npos) {
            onText(format.substr(i));
            return;
        }
        onText(format.substr(i, percent - i));
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            onText("%");
            i = percent + 2;
            continue;
        }
        Conversion c = Parse(format, percent);
        onConversion(c, format.substr(percent, c.end - percent));
        i = c.end;
    }
}

}  // namespace

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args) {
    bool numbered = false;
    Walk(format, [](std::string_view) {}, [&](const Conversion& c, std::string_view) { numbered |= c.numbered; });

    std::string out;
    const FormatArg* next = args.begin();
    Walk(format, [&](std::string_view text) { out.append(text); },
         [&](const Conversion& c, std::string_view written) {
             bool known = IsIntegerType(c.type) || IsFloatType(c.type) || c.type == 's';
             const FormatArg* arg = nullptr;
             if (c.valid && known) {
                 if (!numbered) {
                     if (next != args.end()) arg = next++;
                 } else if (c.numbered && c.position >= 1 && c.position <= static_cast<long long>(args.size())) {
                     arg = args.begin() + (c.position - 1);
                 }
             }
             if (arg) out += Convert(c, *arg);
             else out.append(written);
         });
    return out;
}

std::string GroupedCount(std::uint64_t count) {
    std::string digits = std::to_string(count);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

std::string SizeInUnit(std::uint64_t bytes) {
    static constexpr const char* units[] = {"B", "KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    size_t unit = 0;
    // 1023.995 would print as 1024.00 of this unit: it is 1.00 of the next.
    while (unit + 1 < std::size(units) && value >= 1023.995) {
        value /= 1024.0;
        ++unit;
    }
    if (unit == 0) return std::to_string(bytes) + " B";
    return FormatText("%.2f ", {value}) + units[unit];
}
