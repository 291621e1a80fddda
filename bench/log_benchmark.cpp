// The log viewer with many records and with one huge record, each against the bare reading of the
// same file in the same rounds: log_benchmark.exe [--records N] [--lines N] [--rounds N], run
// beside JotbookLog.dll.
//   Many records: a month file of N records (10,000), read and parsed, then the viewer from
//   ShowViewer until its list is filled.
//   One record: a cleaning's record of N lines (150,000: a header, then a line and a blank line per
//   file), read and parsed, then the viewer until it shows the record, then a search for a file
//   near its end until the viewer shows that line; the bare search is one find in the record's
//   text, lower-cased beforehand.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/com_ptr.h"
#include "base/log_book.h"
#include "base/program_paths.h"
#include "components/log/record_store.h"
#include "components/log/viewer_ids.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kTargetMs = 500;

double Milliseconds(Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

const char* Verdict(double ms) { return ms < kTargetMs ? "met" : "missed"; }

// What one opening of the viewer saw, filled in by the timer inside its modal loop.
struct Opening {
    std::wstring search;  // typed into the search box once the viewer shows, unless empty
    Clock::time_point shown, searched;
    int listed = -1, selectedLine = -1;
};
Opening* opening = nullptr;

HWND FindViewer() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            if (!GetDlgItem(window, IDC_LOG_LIST)) return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK Measure(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND viewer = FindViewer();
    if (!viewer) return;
    RedrawWindow(viewer, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);  // whatever paint is still due
    opening->shown = Clock::now();
    opening->listed = ListView_GetItemCount(GetDlgItem(viewer, IDC_LOG_LIST));
    if (!opening->search.empty()) {
        SetDlgItemTextW(viewer, IDC_LOG_SEARCH, opening->search.c_str());
        RedrawWindow(viewer, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        opening->searched = Clock::now();
        opening->selectedLine = ListView_GetNextItem(GetDlgItem(viewer, IDC_LOG_TEXT), -1, LVNI_SELECTED);
    }
    PostMessageW(viewer, WM_COMMAND, IDCANCEL, 0);
}

// From ShowViewer until the viewer shows (and, with a search, until it shows the match).
void Open(ILogBook& book, Opening& result, Clock::time_point& start) {
    opening = &result;
    SetTimer(nullptr, 0, 1, Measure);  // fires once the viewer's modal loop runs, after its paint
    start = Clock::now();
    book.ShowViewer(0, nullptr);
}

std::string MakeFolder(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string WriteMonth(const std::string& folder, const std::string& contents) {
    std::string file = folder + "\\" + MonthFileName({2024, 5, 1, 0, 0, 0});
    HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(out, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(out);
    return file;
}

void Remove(const std::string& folder, const std::string& file) {
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

std::string FilePath(int index) {
    return "C:\\Users\\ann\\AppData\\Local\\Temp\\build-" + std::to_string(index / 200) + "\\part-" +
           std::to_string(index) + ".tmp";
}

LogRecord Record(int second, const std::string& action, const std::string& text) {
    return LogRecord{{2024, 5, 1, 14, 3, second % 60}, {2024, 5, 1, 12, 3, second % 60}, "Information",
                     "Disk Cleaning", action, "Tidyhold", text};
}

void ManyRecords(ILogBook& book, int records, int rounds) {
    std::string folder = MakeFolder("tidyhold-log-bench-");
    std::string contents;
    for (int i = 0; i < records; ++i) {
        std::string text = "Moving files to the Recycle Bin:\r\n\r\n";
        for (int f = 0; f < 5; ++f) text += "Remove " + FilePath(i * 5 + f) + "\r\n\r\n";
        contents += EncodeRecord(Record(i, i % 2 ? "Delete" : "Backup", text));
    }
    std::string file = WriteMonth(folder, contents);
    std::printf("Many records: %d records, %.1f MB\n", records, contents.size() / 1048576.0);
    UniqueBstr path(folder);
    book.SetFolder(path.Get());
    std::wstring wideFolder(folder.begin(), folder.end());
    std::vector<double> bare, open;
    for (int round = 1; round <= rounds; ++round) {
        auto start = Clock::now();
        size_t read = ReadRecords(wideFolder).size();
        bare.push_back(Milliseconds(Clock::now() - start));
        Opening result;
        Open(book, result, start);
        open.push_back(Milliseconds(result.shown - start));
        std::printf("  round %d: bare read of %zu records %.0f ms; viewer listed %d in %.0f ms\n", round, read,
                    bare.back(), result.listed, open.back());
    }
    std::printf("  median: bare read %.0f ms, viewer open %.0f ms, ratio %.2f (target < %.0f ms: %s)\n",
                Median(bare), Median(open), Median(open) / Median(bare), kTargetMs, Verdict(Median(open)));
    Remove(folder, file);
}

void OneHugeRecord(ILogBook& book, int lines, int rounds) {
    std::string folder = MakeFolder("tidyhold-log-bench-huge-");
    const int files = std::max(1, (lines - 2) / 2);
    std::string text = "Moving files to the Recycle Bin:\r\n\r\n";
    for (int i = 0; i < files; ++i) text += "Remove " + FilePath(i) + "\r\n\r\n";
    std::string contents = EncodeRecord(Record(0, "Delete", "Backup of something else")) +
                           EncodeRecord(Record(1, "Delete", text));
    std::string file = WriteMonth(folder, contents);
    const int target = files * 9 / 10;  // its line: header, blank, then two lines per file
    const std::string needle = "PART-" + std::to_string(target) + ".TMP";
    std::printf("One record: %d lines, %.1f MB; search \"%s\" (line %d)\n", 2 + 2 * files,
                contents.size() / 1048576.0, needle.c_str(), 2 + 2 * target);
    UniqueBstr path(folder);
    book.SetFolder(path.Get());
    std::wstring wideFolder(folder.begin(), folder.end());
    std::wstring lowered(text.begin(), text.end()), wideNeedle(needle.begin(), needle.end());
    CharLowerBuffW(lowered.data(), static_cast<DWORD>(lowered.size()));
    std::wstring loweredNeedle = wideNeedle;
    CharLowerBuffW(loweredNeedle.data(), static_cast<DWORD>(loweredNeedle.size()));
    std::vector<double> bareRead, open, bareFind, search;
    for (int round = 1; round <= rounds; ++round) {
        auto start = Clock::now();
        size_t read = ReadRecords(wideFolder).size();
        bareRead.push_back(Milliseconds(Clock::now() - start));
        start = Clock::now();
        size_t at = lowered.find(loweredNeedle);
        bareFind.push_back(Milliseconds(Clock::now() - start));
        Opening result;
        result.search = wideNeedle;
        Open(book, result, start);
        open.push_back(Milliseconds(result.shown - start));
        search.push_back(Milliseconds(result.searched - result.shown));
        std::printf("  round %d: bare read of %zu records %.0f ms, viewer open %.0f ms; bare find %.1f ms (%s), "
                    "viewer search %.0f ms, line %d selected\n",
                    round, read, bareRead.back(), open.back(), bareFind.back(),
                    at == std::wstring::npos ? "missing" : "found", search.back(), result.selectedLine);
    }
    std::printf("  median: bare read %.0f ms, viewer open %.0f ms, ratio %.2f (target < %.0f ms: %s)\n",
                Median(bareRead), Median(open), Median(open) / Median(bareRead), kTargetMs, Verdict(Median(open)));
    std::printf("  median: bare find %.1f ms, viewer search %.0f ms (target < %.0f ms: %s)\n", Median(bareFind),
                Median(search), kTargetMs, Verdict(Median(search)));
    Remove(folder, file);
}

}  // namespace

int main(int argc, char** argv) {
    int records = 10000, lines = 150000, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--records")) records = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--lines")) lines = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--rounds")) rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    HMODULE dll = LoadLibraryA((ProgramFolder() + "\\JotbookLog.dll").c_str());
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = dll ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")))
                   : nullptr;
    ComPtr<IClassFactory> factory;
    ComPtr<ILogBook> book;
    if (!get || FAILED(get(CLSID_JotbookLog, IID_IClassFactory, factory.PutVoid())) ||
        FAILED(factory->CreateInstance(nullptr, IID_ILogBook, book.PutVoid()))) {
        std::fprintf(stderr, "JotbookLog.dll is not beside the benchmark\n");
        return 1;
    }
    if (records > 0) ManyRecords(*book.Get(), records, rounds);
    if (lines > 0) OneHugeRecord(*book.Get(), lines, rounds);
    return 0;
}
