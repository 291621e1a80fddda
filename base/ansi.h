// Text in the process code page (UTF-8 through the manifest) and its UTF-16 form for COM and XML.
#pragma once
#include <string>
#include <string_view>

std::wstring ToWide(std::string_view text);
std::string FromWide(std::wstring_view text);

// Lower case of every letter through the system's mapping; the result may be longer or shorter
// than text, so offsets into one do not carry over to the other.
std::string ToLowerAnsi(std::string_view text);

// Byte-wise, case-sensitive order in which a double-byte character of the code page compares
// as one unit. With UTF-8 every lead byte sorts above ASCII, so this equals plain byte order there.
int CompareAnsi(std::string_view a, std::string_view b);

struct AnsiLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return CompareAnsi(a, b) < 0; }
};
