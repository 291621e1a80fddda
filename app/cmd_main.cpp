// TidyholdCmd.exe: the console program beside the wizard, for scheduled tasks and fleet tools.
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/command_run.h"
#include "base/ansi.h"
#include "base/com_ptr.h"
#include "base/failure.h"
#include "base/program_paths.h"
#include "ui/language_table.h"

namespace {

std::atomic<bool> stopRequested{false};

// Ctrl+C, Ctrl+Break, a closed console, a logoff or shutdown: the run ends between two files,
// its records written.
BOOL WINAPI OnConsoleEvent(DWORD) {
    stopRequested = true;
    return TRUE;
}

// A console gets the text as UTF-16; a pipe or file gets UTF-8 bytes with CRLF line ends.
void Write(DWORD which, const std::string& text) {
    HANDLE out = GetStdHandle(which);
    if (!out || out == INVALID_HANDLE_VALUE) return;
    std::string lines;
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    lines += "\r\n";
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring wide = ToWide(lines);
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    }
}

std::vector<std::string> Arguments() {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; list && i < count; ++i) args.push_back(FromWide(list[i]));
    LocalFree(list);
    return args;
}

}  // namespace

int main() {
    // No box for a drive without media, a crash or a missing file: nobody may be there to answer.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    FailureReporter() = [](HWND, const std::string& what) { Write(STD_ERROR_HANDLE, "TidyholdCmd: " + what); };
    const ParsedCommand parsed = ParseCommandLine(Arguments());
    if (!parsed.options) {
        Write(STD_ERROR_HANDLE, "TidyholdCmd: " + parsed.error + " (TidyholdCmd --help lists the options)");
        return kExitUsage;
    }
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;

    int code = kExitCannotRun;
    RunGuarded(nullptr, [&] {
        ComApartment com;
        Language().SetFile(ProgramFolder() + "\\Tidyhold.language");
        CommandOutput output;
        output.line = [](const std::string& text) { Write(STD_OUTPUT_HANDLE, text); };
        output.error = [](const std::string& text) { Write(STD_ERROR_HANDLE, "TidyholdCmd: " + text); };
        output.progress = console && !parsed.options->quiet;
        output.stop = &stopRequested;
        code = RunCommand(*parsed.options, output);
    });
    return code;
}
