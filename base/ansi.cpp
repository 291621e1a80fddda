#include "base/ansi.h"

#include <windows.h>

std::wstring ToWide(std::string_view text) {
    if (text.empty()) return {};
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string FromWide(std::wstring_view text) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length,
                        nullptr, nullptr);
    return narrow;
}

// Through UTF-16: a letter whose lower case takes more or fewer bytes in the code page (U+023A is two
// bytes in UTF-8, its lower case three) changes the length, where CharLowerBuffA would cut it off.
// CharLowerBuffW maps I to i in every language, as the ASCII fast paths of the callers do.
std::string ToLowerAnsi(std::string_view text) {
    std::wstring wide = ToWide(text);
    if (wide.empty()) return std::string(text);
    CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return FromWide(wide);
}

int CompareAnsi(std::string_view a, std::string_view b) {
    size_t i = 0;
    while (i < a.size() && i < b.size()) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        // No code page has a lead byte below 0x80: ASCII skips the lookup.
        bool leadA = ca >= 0x80 && IsDBCSLeadByte(ca) && i + 1 < a.size();
        bool leadB = cb >= 0x80 && IsDBCSLeadByte(cb) && i + 1 < b.size();
        if (leadA && leadB) {
            unsigned wa = (ca << 8) | static_cast<unsigned char>(a[i + 1]);
            unsigned wb = (cb << 8) | static_cast<unsigned char>(b[i + 1]);
            if (wa != wb) return wa < wb ? -1 : 1;
            i += 2;
            continue;
        }
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}
