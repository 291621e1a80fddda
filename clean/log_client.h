// The log component ("Jotbook.Log"): records of every cleaning pass, and its viewer.
// Without the component every call is skipped and the caller goes on.
#pragma once
#include <objbase.h>

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "base/com_ptr.h"
#include "base/log_book.h"

// ProgramFolder + "\Log\Data", unless tests put the records elsewhere.
std::string LogFolderPath();
void SetLogFolderPath(std::string folder);  // empty: back to the program folder

// Where a job's pass records go.
class LogSink {
public:
    virtual ~LogSink() = default;
    // False: nothing is recorded (no log component).
    virtual bool Present() const = 0;
    // One pass's record, the action a language key. False when it could not be written.
    virtual bool AddPassRecord(const char* actionKey, const std::string& text) = 0;
};

class LogClient : public LogSink {
public:
    // Creates the component and points it at LogFolderPath(). The records name source, or the
    // language file's program name.
    explicit LogClient(std::string source = {});
    explicit operator bool() const { return static_cast<bool>(book); }
    bool Present() const override { return static_cast<bool>(book); }

    // False when the record could not be written (or there is no component).
    bool AddRecord(const std::string& type, const std::string& category, const std::string& action,
                   const std::string& source, const std::string& text);
    // Type and category are the program's, the action a language key.
    bool AddPassRecord(const char* actionKey, const std::string& text) override;
    void ShowViewer();

private:
    ComPtr<ILogBook> book;
    std::string source;
};

// A pass's record text: the header, then one line per file, each followed by a blank line.
class PassText {
public:
    explicit PassText(const char* headerKey);
    // A file's line. The record names every file: where the language text places no path (a
    // translation that dropped it, or a key shown as itself), the path follows the text.
    void Add(const std::string& line, std::string_view path);
    const std::string& Text() const { return text; }

private:
    std::string text;
};

// A long pass's record, written in parts, so that a process killed or a session ended mid-pass
// loses at most the part under way: a part goes every kPartFiles files or kPartMilliseconds, each
// headed with its number; a pass that fits in one part is one record as it always was.
class PassRecord {
public:
    using Writer = std::function<bool(const char* actionKey, const std::string& text)>;
    static constexpr std::size_t kPartFiles = 2000;
    static constexpr DWORD kPartMilliseconds = 5000;

    PassRecord(const char* headerKey, const char* actionKey, Writer write);
    void Add(const std::string& line, std::string_view path);
    // Writes what is left. False when any part could not be written.
    bool Finish();

private:
    void WritePart();

    const char* headerKey;
    std::string header;
    const char* actionKey;
    Writer write;
    PassText part;
    std::size_t files = 0;
    int parts = 0;
    DWORD partStarted;
    bool failed = false;
};

// The results page's button and the Tools menu's log viewer item.
void OpenLogViewer();
// Whether the component is registered, so that the viewer can open.
bool LogComponentRegistered();
