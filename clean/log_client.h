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
    void ShowViewer();

private:
    ComPtr<ILogBook> book;
};

// The results page's button and the Tools menu's log viewer item.
void OpenLogViewer();
