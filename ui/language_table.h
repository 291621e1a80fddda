// Every visible text is a key looked up in the language file beside the program; a key without
// a text shows as itself. Nothing is cached: each lookup reads the file through the INI reader.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

class LanguageTable {
public:
    void SetFile(std::string path);
    const std::string& File() const { return path; }

    std::string Lookup(std::string_view key, bool expand = false) const;
    static void ExpandEscapes(std::string& text);
    void TranslateWindow(HWND window) const;
    void TranslateMenu(HMENU menu) const;

private:
    std::string path;
    std::string readerPath;  // what the INI reader is given: path, or its short name when path is long
};

// The process-wide table; start-up gives it the file.
LanguageTable& Language();
