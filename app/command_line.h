// TidyholdCmd's arguments: the command, its options, and the exit codes a fleet engine reads.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clean/cleaning_job.h"

enum ExitCode : int {
    kExitDone = 0,           // nothing to clean is success too
    kExitOverThreshold = 1,  // scan --detect-over: more junk than the threshold
    kExitUsage = 2,
    kExitFilesKept = 3,      // done, but some files are still there (changed, in use, copy failed...)
    kExitCannotRun = 4,      // no usable configuration, no folder, no report written
    kExitBusy = 5,           // another cleaning or restore runs on this computer
};

enum class Command { Scan, Clean, Help };

struct CommandOptions {
    Command command = Command::Help;
    std::string config;                // empty: config.xml beside the program
    std::vector<std::string> folders;  // empty: every fixed drive
    std::string report;                // .json or .csv; empty: none
    std::string plan;                  // clean exactly these files; empty: scan first
    std::optional<bool> backup;        // unset: as config.xml says
    std::string backupDirectory;       // with backup: overrides config.xml's
    std::optional<Removal> removal;    // unset: as config.xml says
    std::optional<std::uint64_t> detectOver;
    bool quiet = false;
};

struct ParsedCommand {
    std::optional<CommandOptions> options;
    std::string error;  // why the arguments were refused
};

// args without the program's own name.
ParsedCommand ParseCommandLine(const std::vector<std::string>& args);
// "500MB", "1.5 GB", "2048" (bytes), "64k": units of 1024, an optional B, any case.
std::optional<std::uint64_t> ParseSize(std::string_view text);
extern const char kCommandHelp[];
