// The log viewer's open with many records: log_benchmark.exe [--records N] [--rounds N], run beside
// JotbookLog.dll. Writes a month file of N records (10,000) into a fresh temporary folder, then times
// reading them and the viewer from ShowViewer until its list is filled.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/com_ptr.h"
#include "base/log_book.h"
#include "base/program_paths.h"
#include "components/log/record_store.h"
#include "components/log/viewer_ids.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point opened;
int listed = 0;

void CALLBACK CloseViewer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    opened = Clock::now();
    HWND viewer = FindWindowA("#32770", "Log");
    listed = viewer ? ListView_GetItemCount(GetDlgItem(viewer, IDC_LOG_LIST)) : -1;
    if (viewer) PostMessageA(viewer, WM_COMMAND, IDCANCEL, 0);
}

double Milliseconds(Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

}  // namespace

int main(int argc, char** argv) {
    int records = 10000, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--records")) records = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--rounds")) rounds = std::atoi(argv[i + 1]);
    }
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "tidyhold-log-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string contents;
    for (int i = 0; i < records; ++i) {
        std::string text = "Moving files to the Recycle Bin:\r\n\r\n";
        for (int f = 0; f < 5; ++f)
            text += "Remove C:\\Users\\ann\\Downloads\\file-" + std::to_string(i) + "-" + std::to_string(f) + ".tmp\r\n\r\n";
        contents += EncodeRecord(LogRecord{{2024, 5, 1, 14, 3, i % 60}, {2024, 5, 1, 12, 3, i % 60}, "Information",
                                           "Disk Cleaning", i % 2 ? "Delete" : "Backup", "Tidyhold", text});
    }
    std::string file = folder + "\\" + MonthFileName({2024, 5, 1, 0, 0, 0});
    HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(out, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(out);
    std::printf("%d records, %.1f MB\n", records, contents.size() / 1048576.0);

    std::wstring wideFolder(folder.begin(), folder.end());
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
    UniqueBstr bstrFolder(folder);
    book->SetFolder(bstrFolder.Get());
    for (int round = 1; round <= rounds; ++round) {
        auto start = Clock::now();
        size_t read = ReadRecords(wideFolder).size();
        auto parsed = Clock::now();
        SetTimer(nullptr, 0, 1, CloseViewer);  // fires once the viewer's modal loop runs
        auto shown = Clock::now();
        book->ShowViewer(0, nullptr);
        std::printf("round %d: read %zu records in %.0f ms; viewer listed %d in %.0f ms\n", round, read,
                    Milliseconds(parsed - start), listed, Milliseconds(opened - shown));
    }
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
