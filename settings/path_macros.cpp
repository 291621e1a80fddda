#include "settings/path_macros.h"

#include <windows.h>

#include "base/program_paths.h"

namespace {

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    if (from.empty()) return text;
    std::string out;
    size_t start = 0;
    for (size_t found; (found = text.find(from, start)) != std::string::npos; start = found + from.size()) {
        out.append(text, start, found - start);
        out.append(to);
    }
    out.append(text, start, std::string::npos);
    return out;
}

template <class Query>
std::string SystemFolder(Query query) {
    char buffer[MAX_PATH + 1] = {};
    UINT length = query(buffer, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return {};
    std::string folder(buffer, length);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

}  // namespace

MacroFolders PathMacros::Current() {
    return {
        ProgramFolder(),
        SystemFolder([](char* b, UINT n) { return GetWindowsDirectoryA(b, n); }),
        SystemFolder([](char* b, UINT n) { return GetSystemDirectoryA(b, n); }),
        SystemFolder([](char* b, UINT n) { return static_cast<UINT>(GetTempPathA(n, b)); }),
    };
}

std::string PathMacros::Expand(std::string_view text, const MacroFolders& folders) {
    std::string out(text);
    out = ReplaceAll(out, "%ModulePath%", folders.program);
    out = ReplaceAll(out, "%WindowsDirectory%", folders.windows);
    out = ReplaceAll(out, "%SystemDirectory%", folders.system);
    out = ReplaceAll(out, "%TempDirectory%", folders.temp);
    return out;
}

std::string PathMacros::Collapse(std::string_view text, const MacroFolders& folders) {
    std::string out(text);
    out = ReplaceAll(out, folders.program, "%ModulePath%");
    out = ReplaceAll(out, folders.windows, "%WindowsDirectory%");
    out = ReplaceAll(out, folders.system, "%SystemDirectory%");
    out = ReplaceAll(out, folders.temp, "%TempDirectory%");
    return out;
}
