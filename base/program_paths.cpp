#include "base/program_paths.h"

#include <windows.h>

#include <optional>

#include "base/ansi.h"

namespace {
constexpr size_t kLongestPath = 32767;  // the system's own limit, in characters
}

std::string ProgramFilePath() {
    // A UTF-8 path can pass 260 bytes well before 260 characters: grow instead of cutting it.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() > kLongestPath) return {};
        path.resize(path.size() * 2);
    }
}

std::string FolderOfPath(std::string_view path) {
    size_t cut = path.find_last_of("\\:");
    if (cut == std::string_view::npos) return std::string(path);
    if (path[cut] == ':') return std::string(path.substr(0, cut + 1));
    return std::string(path.substr(0, cut));
}

std::string BaseNameOfPath(std::string_view path) {
    size_t start = path.find_last_of("\\:");
    std::string_view name = start == std::string_view::npos ? path : path.substr(start + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return std::string(name);
}

std::string ProgramFolder() { return FolderOfPath(ProgramFilePath()); }

std::string ProgramBaseName() { return BaseNameOfPath(ProgramFilePath()); }

namespace {

// The system's full path: the current folder before a relative path, . and .. steps resolved.
std::optional<std::wstring> FullPathOf(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return std::nullopt;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length + 1);
    }
}

}  // namespace

std::string FullPath(std::string_view path) {
    const std::optional<std::wstring> full = FullPathOf(ToWide(path));
    return full ? FromWide(*full) : std::string(path);
}

std::wstring ExtendedPath(std::string_view path) {
    std::wstring wide = ToWide(path);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    if (wide.starts_with(L"\\\\?\\")) return wide;
    // The prefix turns off the system's clean-up of . and .. steps: let it run first.
    const std::optional<std::wstring> resolved = FullPathOf(wide);
    if (!resolved) return wide;
    const std::wstring& full = *resolved;
    if (full.starts_with(L"\\\\.\\")) return full;  // a device
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return full;
}

bool IsAbsolutePath(std::string_view path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
        char drive = path[0];
        return (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    }
    if (path.size() < 5 || !path.starts_with("\\\\")) return false;
    size_t server = path.find('\\', 2);
    return server != std::string_view::npos && server > 2 && server + 1 < path.size();
}
