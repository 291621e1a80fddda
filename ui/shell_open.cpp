#include "ui/shell_open.h"

#include <shellapi.h>

#include "base/ansi.h"

ShellOpenFunction& ShellOpenHandler() {
    static ShellOpenFunction handler = [](HWND owner, const std::string& file, const std::string& parameters) {
        std::wstring wideFile = ToWide(file);
        std::wstring wideParameters = ToWide(parameters);
        ShellExecuteW(owner, L"open", wideFile.c_str(), parameters.empty() ? nullptr : wideParameters.c_str(), nullptr,
                      SW_SHOWNORMAL);
    };
    return handler;
}

void ShellOpen(HWND owner, const std::string& file, const std::string& parameters) {
    ShellOpenHandler()(owner, file, parameters);
}
