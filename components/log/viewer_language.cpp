#include "components/log/viewer_language.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace {

constexpr DWORD kValueBuffer = 65535;  // at most 65534 characters of text, as the program reads
constexpr size_t kLongestPath = 32767;

std::wstring namedFile;

std::wstring HostProgramFile() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() > kLongestPath) return {};
        path.resize(path.size() * 2);
    }
}

// The INI reader takes no path of MAX_PATH characters or more, with the long-path prefix or
// without: such a file is read by its short name, where its volume keeps short names.
std::wstring ReadablePath(const std::wstring& path) {
    if (path.size() < MAX_PATH) return path;
    std::wstring extended = path;
    if (!path.starts_with(L"\\\\?\\"))
        extended = path.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + path.substr(2) : L"\\\\?\\" + path;
    DWORD length = GetShortPathNameW(extended.c_str(), nullptr, 0);
    if (length == 0) return path;
    std::wstring shortPath(length, L'\0');
    shortPath.resize(GetShortPathNameW(extended.c_str(), shortPath.data(), length));
    if (shortPath.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + shortPath.substr(8);
    if (shortPath.starts_with(L"\\\\?\\")) return shortPath.substr(4);
    return shortPath;
}

// The program's escapes: \r, then \n, each replaced in one pass over the text.
void ExpandEscapes(std::wstring& text) {
    for (auto [from, to] : {std::pair{std::wstring_view(L"\\r"), L'\r'}, std::pair{std::wstring_view(L"\\n"), L'\n'}}) {
        std::wstring out;
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
    }
}

}  // namespace

std::wstring LanguageFileOf(const std::wstring& programFile) {
    size_t cut = programFile.find_last_of(L"\\:");
    std::wstring name = cut == std::wstring::npos ? programFile : programFile.substr(cut + 1);
    name = name.substr(0, name.rfind(L'.'));
    if (cut == std::wstring::npos) return name + L".language";
    // C:Tool.exe gives C:\Tool.language, as the program names its own.
    return programFile.substr(0, programFile[cut] == L':' ? cut + 1 : cut) + L"\\" + name + L".language";
}

void SetViewerLanguageFile(std::wstring file) { namedFile = std::move(file); }

ViewerLanguage::ViewerLanguage() {
    std::wstring file = namedFile;
    if (file.empty()) {
        std::wstring program = HostProgramFile();
        if (!program.empty()) file = LanguageFileOf(program);
    }
    // An empty path must not reach the reader, which would read win.ini instead.
    if (!file.empty()) readerPath = ReadablePath(file);
}

std::wstring ViewerLanguage::Text(const wchar_t* key, const wchar_t* english) const {
    if (readerPath.empty()) return english;
    std::vector<wchar_t> buffer(kValueBuffer, L'\0');
    DWORD length = GetPrivateProfileStringW(L"String", key, L"", buffer.data(), kValueBuffer, readerPath.c_str());
    if (length == 0) return english;
    std::wstring text(buffer.data(), length);
    ExpandEscapes(text);
    return text;
}
