// Exceptions stop where they would cross a window procedure or a thread's entry; there they
// become a failure the user sees.
#pragma once
#include <windows.h>

#include <string>

using FailureHandler = void (*)(HWND owner, const std::string& what);

// Start-up puts the translated message box here; until then a plain one shows the text.
FailureHandler& FailureReporter();
void ReportFailure(HWND owner, const std::string& what);

// Inside a catch block: what the exception in flight says.
std::string CurrentExceptionText();

// Runs body; an exception from it is reported with owner and ends the call. False when one was.
template <class Body>
bool RunGuarded(HWND owner, Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        ReportFailure(owner, CurrentExceptionText());
        return false;
    }
}
