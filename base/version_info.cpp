#include "base/version_info.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "base/program_paths.h"

std::string ReadVersionString(const std::string& file, const char* name) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0) return {};
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return {};
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return {};
    char query[128];
    std::snprintf(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    char* value = nullptr;
    if (!VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&value), &length) || !value || length == 0)
        return {};
    return std::string(value);
}

std::string ProductTitle() {
    std::string program = ProgramFilePath();
    return ReadVersionString(program, "ProductName") + " (" + ReadVersionString(program, "ProductVersion") + ")";
}
