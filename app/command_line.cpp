#include "app/command_line.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "base/file_list.h"

const char kCommandHelp[] =
    "TidyholdCmd - finds and cleans junk files without a window, for scheduled tasks and fleet tools.\n"
    "\n"
    "  TidyholdCmd scan  [options]   list what a cleaning would remove; nothing is changed\n"
    "  TidyholdCmd clean [options]   scan, then clean what was found\n"
    "  TidyholdCmd clean --plan FILE clean exactly the files of a reviewed list (.json or .csv)\n"
    "\n"
    "Options:\n"
    "  --config PATH      settings file (default: config.xml beside the program)\n"
    "  --folder PATH      folder to search; repeatable (default: every fixed drive)\n"
    "  --report FILE      write the files and what became of them, as .json or .csv (UTF-8)\n"
    "  --backup DIR       copy each file into a dated backup set in DIR before it goes\n"
    "  --no-backup        no backup copies\n"
    "  --recycle          move the files to the recycle bin; a file the bin refuses is kept\n"
    "  --permanent        delete the files for good\n"
    "  --detect-over SIZE scan only: exit 1 when the junk found is larger (e.g. 500MB, 2GB)\n"
    "  --quiet            no progress lines, only the summary\n"
    "  --help             this text\n"
    "\n"
    "Exit codes: 0 done, 1 junk above --detect-over, 2 usage error, 3 done but some files kept,\n"
    "4 could not run, 5 another cleaning or restore is running on this computer.\n";

namespace {

bool TakesValue(std::string_view option) {
    return option == "--config" || option == "--folder" || option == "--report" || option == "--plan" ||
           option == "--backup" || option == "--detect-over";
}

}  // namespace

std::optional<std::uint64_t> ParseSize(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    std::size_t digits = 0;
    bool point = false;
    auto numeric = [&](char c) { return std::isdigit(static_cast<unsigned char>(c)) || (!point && c == '.'); };
    while (digits < text.size() && numeric(text[digits])) {
        point = point || text[digits] == '.';
        ++digits;
    }
    if (digits == 0 || digits > 32 || text.substr(0, digits) == ".") return std::nullopt;
    const double number = std::strtod(std::string(text.substr(0, digits)).c_str(), nullptr);
    std::string unit;
    for (char c : text.substr(digits))
        if (!blank(c)) unit += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!unit.empty() && unit.back() == 'b') unit.pop_back();
    static constexpr const char* kUnits[] = {"", "k", "m", "g", "t"};
    for (int power = 0; power < 5; ++power) {
        if (unit != kUnits[power]) continue;
        const double bytes = std::floor(number * std::pow(1024.0, power));
        if (!(bytes < 18446744073709551616.0)) return std::nullopt;
        return static_cast<std::uint64_t>(bytes);
    }
    return std::nullopt;
}

ParsedCommand ParseCommandLine(const std::vector<std::string>& args) {
    ParsedCommand parsed;
    auto refuse = [&](std::string why) {
        parsed.options.reset();
        parsed.error = std::move(why);
        return parsed;
    };
    CommandOptions options;
    if (args.empty()) return refuse("no command: use scan or clean (--help says more)");
    std::size_t first = 1;
    if (args[0] == "scan")
        options.command = Command::Scan;
    else if (args[0] == "clean")
        options.command = Command::Clean;
    else if (args[0] == "--help" || args[0] == "-h" || args[0] == "/?" || args[0] == "help")
        return {CommandOptions{}, {}};
    else
        return refuse("unknown command '" + args[0] + "': use scan or clean");
    bool backupSeen = false, removalSeen = false;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h" || option == "/?") return {CommandOptions{}, {}};
        std::string value;
        if (TakesValue(option)) {
            if (i + 1 >= args.size() || args[i + 1].empty()) return refuse(option + " needs a value");
            value = args[++i];
        }
        if (option == "--config") {
            options.config = value;
        } else if (option == "--folder") {
            options.folders.push_back(value);
        } else if (option == "--report") {
            options.report = value;
        } else if (option == "--plan") {
            options.plan = value;
        } else if (option == "--backup" || option == "--no-backup") {
            if (backupSeen) return refuse("--backup and --no-backup: give one, once");
            backupSeen = true;
            options.backup = option == "--backup";
            options.backupDirectory = value;
        } else if (option == "--recycle" || option == "--permanent") {
            if (removalSeen) return refuse("--recycle and --permanent: give one, once");
            removalSeen = true;
            options.removal = option == "--recycle" ? Removal::RecycleBin : Removal::Permanent;
        } else if (option == "--detect-over") {
            options.detectOver = ParseSize(value);
            if (!options.detectOver) return refuse("--detect-over takes a size such as 500MB, not '" + value + "'");
        } else if (option == "--quiet") {
            options.quiet = true;
        } else {
            return refuse("unknown option '" + option + "'");
        }
    }
    if (options.command == Command::Scan && (!options.plan.empty() || backupSeen || removalSeen))
        return refuse("scan changes nothing: --plan, --backup, --no-backup, --recycle and --permanent are for clean");
    if (options.command == Command::Clean && options.detectOver) return refuse("--detect-over is for scan");
    if (!options.report.empty() && !FileListFormatOf(options.report))
        return refuse("--report takes a file ending in .json or .csv");
    if (!options.plan.empty() && !options.folders.empty())
        return refuse("--plan names the files itself: leave out --folder");
    parsed.options = std::move(options);
    return parsed;
}
