// printf-style formatting of texts that come from outside (language file): every conversion is
// checked against the argument it would consume, so no text can crash, overread or overflow.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

using FormatArg = std::variant<long long, double, std::string>;

// Conversions take the arguments in order, or, once any conversion names its argument as POSIX
// printf does (%2$s, %1$02d), each takes the one it names, as often as it is named, so a
// translation can put them in its own order. An integer or a double fits d i u o x X c and
// f F e E g G a A (converted between the two as printf would print them); a string fits s.
// A conversion that does not fit its argument prints the argument in its plain form. One that
// printf must never see (%n, %p, a * width), one with no argument left, and in a format that
// names arguments one that names none, 0 or one past the last, are copied as written.
// Widths and precisions are capped at 1024.
std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args);

// A count with its thousands grouped by commas: "1,234,567".
std::string GroupedCount(std::uint64_t count);
// A size in the largest unit of 1024 it fills: "512 B", "1.50 KB", "2.10 GB", up to TB.
std::string SizeInUnit(std::uint64_t bytes);
