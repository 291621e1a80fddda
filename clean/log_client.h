// The log component ("Jotbook.Log"): records of every cleaning pass, and its viewer.
// Without the component every call is skipped and the caller goes on.
#pragma once
#include <objbase.h>

#include <string>

#include "base/com_ptr.h"
#include "base/log_book.h"

// ProgramFolder + "\Log\Data", unless tests put the records elsewhere.
std::string LogFolderPath();
void SetLogFolderPath(std::string folder);  // empty: back to the program folder

class LogClient {
public:
    // Creates the component and points it at LogFolderPath().
    LogClient();
    explicit operator bool() const { return static_cast<bool>(book); }

    void AddRecord(const std::string& type, const std::string& category, const std::string& action,
                   const std::string& source, const std::string& text);
    // One pass's record: type, category and source are the program's, the action a language key.
    void AddPassRecord(const char* actionKey, const std::string& text);
    void ShowViewer();

private:
    ComPtr<ILogBook> book;
};

// A pass's record text: the header, then one line per file, each followed by a blank line.
class PassText {
public:
    explicit PassText(const char* headerKey);
    void Add(const std::string& line) { (text += line) += "\r\n\r\n"; }
    const std::string& Text() const { return text; }

private:
    std::string text;
};

// The results page's button and the Tools menu's log viewer item.
void OpenLogViewer();
