// TidyholdCmd's work: the wizard's scan and cleaning jobs run without a window, a message box or a
// question, with a report file and an exit code.
#pragma once
#include <atomic>
#include <functional>
#include <string>

#include "app/command_line.h"

struct CommandOutput {
    std::function<void(const std::string&)> line;   // stdout: progress and the summary
    std::function<void(const std::string&)> error;  // stderr: real errors only
    bool progress = false;                          // progress lines wanted (a console, no --quiet)
    const std::atomic<bool>* stop = nullptr;        // Ctrl+C, a closed console, a logoff
};

// The summary, always the last line out, is kept below this many characters.
constexpr std::size_t kSummaryLimit = 2000;

int RunCommand(const CommandOptions& options, const CommandOutput& output);
