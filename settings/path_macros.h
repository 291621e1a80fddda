// The backup directory's stored form: four folders written as macros.
#pragma once
#include <string>
#include <string_view>

struct MacroFolders {
    std::string program;  // %ModulePath%
    std::string windows;  // %WindowsDirectory%
    std::string system;   // %SystemDirectory%
    std::string temp;     // %TempDirectory%
};

class PathMacros {
public:
    // The folders as the system reports them now, without a trailing backslash.
    static MacroFolders Current();

    static std::string Expand(std::string_view text) { return Expand(text, Current()); }
    static std::string Collapse(std::string_view text) { return Collapse(text, Current()); }

    // Exact, case-sensitive replacements in the fixed order program, Windows, system, temporary.
    // Collapse works on plain substrings, so C:\Tools\Sweep2 collapses to %ModulePath%2 when the
    // program lives in C:\Tools\Sweep; Expand restores it. A folder the system did not report is
    // left out rather than replacing every empty substring.
    static std::string Expand(std::string_view text, const MacroFolders& folders);
    static std::string Collapse(std::string_view text, const MacroFolders& folders);
};
