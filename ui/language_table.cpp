#include "ui/language_table.h"

#include <vector>

#include "base/ansi.h"
#include "base/program_paths.h"
#include "ui/dialog.h"

namespace {

constexpr DWORD kValueBuffer = 65535;  // at most 65534 characters of text

std::string_view TrimBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

void TranslateOne(const LanguageTable& table, HWND window) {
    std::string text = table.Lookup(WindowText(window));
    LanguageTable::ExpandEscapes(text);
    if (!text.empty()) SetWindowTextA(window, text.c_str());
}

// The INI reader takes no path of MAX_PATH characters or more, with the long-path prefix or
// without: such a file is read by its short name, where its volume keeps short names.
std::string ReadablePath(const std::string& path) {
    if (ToWide(path).size() < MAX_PATH) return path;
    std::wstring extended = ExtendedPath(path);
    DWORD length = GetShortPathNameW(extended.c_str(), nullptr, 0);
    if (length == 0) return path;
    std::wstring shortPath(length, L'\0');
    length = GetShortPathNameW(extended.c_str(), shortPath.data(), length);
    shortPath.resize(length);
    if (shortPath.starts_with(L"\\\\?\\UNC\\")) shortPath = L"\\\\" + shortPath.substr(8);
    else if (shortPath.starts_with(L"\\\\?\\")) shortPath.erase(0, 4);
    return FromWide(shortPath);
}

}  // namespace

void LanguageTable::SetFile(std::string file) {
    path = std::move(file);
    readerPath = path.empty() ? path : ReadablePath(path);  // once: lookups come by the thousand
}

std::string LanguageTable::Lookup(std::string_view key, bool expand) const {
    // The reader ignores blanks around the name asked for ("_SkipReadOnlyFiles " finds
    // _SkipReadOnlyFiles); trimming here as well keeps a blank-only text from becoming an empty
    // name. An empty path must not reach the reader, which would read win.ini instead.
    std::string name(TrimBlanks(key));
    if (path.empty() || name.empty()) return std::string(key);
    std::vector<char> buffer(kValueBuffer, '\0');
    DWORD length = GetPrivateProfileStringA("String", name.c_str(), "", buffer.data(), kValueBuffer,
                                            readerPath.c_str());
    if (length == 0) return std::string(key);
    std::string value(buffer.data(), length);
    if (expand) ExpandEscapes(value);
    return value;
}

void LanguageTable::ExpandEscapes(std::string& text) {
    auto replace = [&text](std::string_view from, char to) {
        std::string out;
        out.reserve(text.size());
        for (size_t i = 0; i < text.size();) {
            if (text.compare(i, from.size(), from) == 0) {
                out += to;
                i += from.size();
            } else {
                out += text[i++];
            }
        }
        text.swap(out);
    };
    replace("\\r", '\r');
    replace("\\n", '\n');
}

void LanguageTable::TranslateWindow(HWND window) const {
    if (!IsWindow(window)) return;
    TranslateOne(*this, window);
    EnumChildWindows(
        window,
        [](HWND child, LPARAM table) -> BOOL {
            TranslateOne(*reinterpret_cast<const LanguageTable*>(table), child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
}

void LanguageTable::TranslateMenu(HMENU menu) const {
    if (!IsMenu(menu)) return;
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (HMENU sub = GetSubMenu(menu, position)) TranslateMenu(sub);
        int length = GetMenuStringA(menu, position, nullptr, 0, MF_BYPOSITION);
        if (length <= 0) continue;  // separators have no text
        std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
        GetMenuStringA(menu, position, buffer.data(), length + 1, MF_BYPOSITION);
        std::string text = Lookup(buffer.data());
        if (text.empty()) continue;
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING;
        info.dwTypeData = text.data();
        SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    }
}

LanguageTable& Language() {
    static LanguageTable table;
    return table;
}
