#include "base/file_names.h"

#include <array>

namespace {

// Bytes no Windows name holds. The A functions also put '?' for a character the code page lacks.
constexpr auto kForbiddenByte = [] {
    std::array<bool, 256> forbidden{};
    for (int c = 0; c < 0x20; ++c) forbidden[c] = true;
    for (char c : std::string_view("<>:\"/\\|?*")) forbidden[static_cast<unsigned char>(c)] = true;
    return forbidden;
}();

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$, alone or before an extension.
bool IsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    if (base.size() < 3 || base.size() > 7) return false;
    char upper[8] = {};
    for (size_t i = 0; i < base.size(); ++i)
        upper[i] = base[i] >= 'a' && base[i] <= 'z' ? static_cast<char>(base[i] - 'a' + 'A') : base[i];
    std::string_view word(upper, base.size());
    if (word == "CON" || word == "PRN" || word == "AUX" || word == "NUL" || word == "CONIN$" || word == "CONOUT$")
        return true;
    return word.size() == 4 && (word.starts_with("COM") || word.starts_with("LPT")) && word[3] >= '1' &&
           word[3] <= '9';
}

}  // namespace

NameKind ClassifyName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return NameKind::Unholdable;
    unsigned char any = 0;
    for (char c : name) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (kForbiddenByte[byte]) return NameKind::Unholdable;
        any |= byte;
    }
    if (name.back() == '.' || name.back() == ' ') return NameKind::Unholdable;
    if (std::string_view("CcPpAaNnLl").find(name[0]) != std::string_view::npos && IsDeviceName(name))
        return NameKind::Unholdable;
    if (any < 0x80) return NameKind::Ascii;
    return name.find("\xEF\xBF\xBD") == std::string_view::npos ? NameKind::Other : NameKind::Unholdable;
}

bool WindowsCanHoldName(std::string_view name) { return ClassifyName(name) != NameKind::Unholdable; }
