// The viewer's texts come from the language file of the program that hosts the component, read by
// the program's own rules (Tool.exe reads Tool.language beside it, section [String]); English is
// built in for a missing file, key or text.
#pragma once
#include <string>

// C:\Tools\my.tool.exe gives C:\Tools\my.tool.language.
std::wstring LanguageFileOf(const std::wstring& programFile);
// A host whose file lies elsewhere, or a test, names it here; empty goes back to the host program's.
void SetViewerLanguageFile(std::wstring file);

class ViewerLanguage {
public:
    ViewerLanguage();  // the file named now
    // The key's text with \r and \n expanded, as the program shows window texts.
    std::wstring Text(const wchar_t* key, const wchar_t* english) const;

private:
    std::wstring readerPath;  // the file as the INI reader takes it
};
