// printf-style formatting of texts that come from outside (language file): every conversion is
// checked against the argument it would consume, so no text can crash, overread or overflow.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

using FormatArg = std::variant<long long, double, std::string>;

// Conversions take the arguments in order. An integer or a double fits d i u o x X c and
// f F e E g G a A (converted between the two as printf would print them); a string fits s.
// A conversion that does not fit its argument prints the argument in its plain form; one with no
// argument left, or that printf must never see (%n, %p, a * width), is copied as written.
// Widths and precisions are capped at 1024.
std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args);
