#include "base/failure.h"

#include <exception>

namespace {
void PlainMessageBox(HWND owner, const std::string& what) {
    MessageBoxA(owner, what.c_str(), nullptr, MB_OK | MB_ICONERROR);
}
}  // namespace

FailureHandler& FailureReporter() {
    static FailureHandler handler = &PlainMessageBox;
    return handler;
}

void ReportFailure(HWND owner, const std::string& what) {
    try {
        FailureReporter()(owner, what);
    } catch (...) {
        PlainMessageBox(owner, what);  // the translated box itself failed (out of memory)
    }
}

std::string CurrentExceptionText() {
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "unknown exception";
    }
}
