#include "ui/shell_open.h"

#include <shellapi.h>

#include "base/ansi.h"

namespace {
constexpr INT_PTR kLastShellError = 32;  // ShellExecute's results up to this one are failures
}

ShellOpenFunction& ShellOpenHandler() {
    static ShellOpenFunction handler = [](HWND owner, const std::string& file, const std::string& parameters) {
        std::wstring wideFile = ToWide(file);
        std::wstring wideParameters = ToWide(parameters);
        HINSTANCE result = ShellExecuteW(owner, L"open", wideFile.c_str(),
                                         parameters.empty() ? nullptr : wideParameters.c_str(), nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(result) > kLastShellError;
    };
    return handler;
}

bool ShellOpen(HWND owner, const std::string& file, const std::string& parameters) {
    return ShellOpenHandler()(owner, file, parameters);
}
