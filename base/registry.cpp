#include "base/registry.h"

#include "base/win_handles.h"

namespace {
constexpr DWORD kLongestText = 255;  // longer values and names are not read
}

std::string ReadValueText(HKEY root, const std::string& key, const std::string& valueName) {
    UniqueKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, opened.Put()) != ERROR_SUCCESS) return {};
    char buffer[kLongestText + 1] = {};
    DWORD size = kLongestText;
    if (RegQueryValueExA(opened.Get(), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return {};
    return std::string(buffer);
}

std::vector<std::string> ReadValueNames(HKEY root, const std::string& key) {
    std::vector<std::string> names;
    UniqueKey opened;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE, nullptr, opened.Put(), nullptr) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[kLongestText + 1] = {};
        DWORD length = kLongestText;
        if (RegEnumValueA(opened.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}
