#include "base/registry.h"

#include <algorithm>

#include "base/ansi.h"
#include "base/win_handles.h"

namespace {
// The size a query reports for a string is in bytes of the stored UTF-16 text; the 8-bit copy can
// be longer (three UTF-8 bytes for two), and the value can grow between the two calls: ask again.
constexpr int kReadAttempts = 4;
constexpr DWORD kLongestName = 16383;  // the registry's limit on a value name, in characters
}  // namespace

std::string ReadValueText(HKEY root, const std::string& key, const std::string& valueName) {
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, opened.Put()) != ERROR_SUCCESS) return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(opened.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        std::string buffer(static_cast<size_t>(size) + size / 2 + 2, '\0');
        DWORD read = static_cast<DWORD>(buffer.size() - 1);  // the last byte stays NUL: data may come unterminated
        LSTATUS status = RegQueryValueExA(opened.Get(), valueName.c_str(), nullptr, &type,
                                          reinterpret_cast<BYTE*>(buffer.data()), &read);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
            return std::string(buffer.c_str());
        }
        if (status != ERROR_MORE_DATA) return {};
        size = std::max<DWORD>(read, size * 2);
    }
    return {};
}

std::vector<std::string> ReadValueNames(HKEY root, const std::string& key) {
    std::vector<std::string> names;
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, opened.Put()) != ERROR_SUCCESS) return names;
    std::wstring name(kLongestName + 1, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(opened.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        // The A functions would read or delete another value for a name they cannot spell: one
        // holding a NUL ends at it, a lone surrogate turns into another character.
        std::wstring_view wide(name.data(), length);
        std::string text = FromWide(wide);
        if (wide.find(L'\0') == std::wstring_view::npos && ToWide(text) == wide) names.push_back(std::move(text));
    }
    return names;
}
