#include "clean/log_client.h"

#include "base/program_paths.h"
#include "base/text_format.h"
#include "ui/language_table.h"

namespace {
// The interface the viewer is handed by the caller: {B196B28D-BAB4-101A-B69C-00AA00341D07}.
const IID kViewerOwnerInterface = {0xB196B28D, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

std::string& LogFolderOverride() {
    static std::string folder;
    return folder;
}
}  // namespace

std::string LogFolderPath() {
    const std::string& folder = LogFolderOverride();
    return folder.empty() ? ProgramFolder() + "\\Log\\Data" : folder;
}

void SetLogFolderPath(std::string folder) { LogFolderOverride() = std::move(folder); }

LogClient::LogClient(std::string source) : source(std::move(source)) {
    CLSID component{};
    if (FAILED(CLSIDFromProgID(kJotbookLogProgId, &component))) return;
    if (FAILED(CoCreateInstance(component, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_ILogBook,
                                book.PutVoid()))) {
        book.Reset();
        return;
    }
    UniqueBstr folder(LogFolderPath());
    book->SetFolder(folder.Get());
}

bool LogClient::AddRecord(const std::string& type, const std::string& category, const std::string& action,
                          const std::string& source, const std::string& text) {
    if (!book) return false;
    UniqueBstr t(type), c(category), a(action), s(source), x(text);
    return SUCCEEDED(book->AddRecord(t.Get(), c.Get(), a.Get(), s.Get(), x.Get()));
}

bool LogClient::AddPassRecord(const char* actionKey, const std::string& text) {
    if (!book) return false;
    const LanguageTable& language = Language();
    return AddRecord(language.Lookup("_LogType"), language.Lookup("_LogCategory"), language.Lookup(actionKey),
                     source.empty() ? language.Lookup("_LogSource") : source, text);
}

PassText::PassText(const char* headerKey) : text(Language().Lookup(headerKey) + "\r\n\r\n") {}

void PassText::Add(const std::string& line, std::string_view path) {
    text += line;
    if (line.find(path) == std::string::npos) (text += ' ') += path;
    text += "\r\n\r\n";
}

PassRecord::PassRecord(const char* headerKey, const char* actionKey, Writer write)
    : headerKey(headerKey),
      header(Language().Lookup(headerKey)),
      actionKey(actionKey),
      write(std::move(write)),
      part(headerKey),
      partStarted(GetTickCount()) {}

void PassRecord::Add(const std::string& line, std::string_view path) {
    part.Add(line, path);
    if (++files >= kPartFiles || GetTickCount() - partStarted >= kPartMilliseconds) WritePart();
}

void PassRecord::WritePart() {
    std::string text = part.Text();
    text.replace(0, header.size(), FormatText(Language().Lookup("_LogPartHeader"), {header, static_cast<long long>(++parts)}));
    if (!write(actionKey, text)) failed = true;
    part = PassText(headerKey);
    files = 0;
    partStarted = GetTickCount();
}

bool PassRecord::Finish() {
    if (parts == 0) {
        if (!write(actionKey, part.Text())) failed = true;
    } else if (files != 0) {
        WritePart();
    }
    return !failed;
}

void LogClient::ShowViewer() {
    if (!book) return;
    ComPtr<IUnknown> owner;
    if (FAILED(book->QueryInterface(kViewerOwnerInterface, owner.PutVoid()))) owner.Reset();
    book->ShowViewer(0, owner.Get());
}

bool LogComponentRegistered() {
    CLSID component{};
    return SUCCEEDED(CLSIDFromProgID(kJotbookLogProgId, &component));
}

void OpenLogViewer() {
    LogClient log;
    log.ShowViewer();
}
