// Renders the wizard on each of its pages, and the dialogs, to BMP files for the documentation.
// page_shots.exe <output folder>: run beside Tidyhold.language and config.xml, on a real display.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "app/main_wizard.h"
#include "app/wizard_navigation.h"
#include "base/com_ptr.h"
#include "base/file_proof.h"
#include "base/log_book.h"
#include "base/program_paths.h"
#include "base/text_format.h"
#include "base/win_handles.h"
#include "clean/rescue_dialog.h"
#include "clean/typed_urls_dialog.h"
#include "components/log/viewer_ids.h"
#include "res/resource.h"
#include "scan/file_scanner.h"
#include "scan/more_info_dialog.h"
#include "ui/language_table.h"
#include "ui/list_view.h"
#include "ui/message_box.h"
#include "ui/screen_scale.h"
#include "ui/shell_open.h"

namespace {

void Settle(int milliseconds) {
    DWORD until = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (GetTickCount() < until) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

bool SaveWindow(HWND window, const std::string& file) {
    RECT rect{};
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    void* bits = nullptr;
    UniqueBitmap bitmap = CreateScreenPicture(width, height, info, bits);
    HGDIOBJ old = SelectObject(memory, bitmap.Get());
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    int stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
    header.bfSize = header.bfOffBits + static_cast<DWORD>(stride * height);
    FILE* out = fopen(file.c_str(), "wb");
    bool ok = out != nullptr;
    if (out) {
        fwrite(&header, sizeof(header), 1, out);
        fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
        fwrite(bits, static_cast<size_t>(stride) * static_cast<size_t>(height), 1, out);
        fclose(out);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

// Wine puts what was painted on the screen while the thread pumps: a picture taken without pumping
// may miss the last control painted.
bool Shoot(HWND window, const std::string& file) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    GdiFlush();
    Settle(400);
    std::printf("%s\n", file.c_str());
    return SaveWindow(window, file);
}

// A worker page caught as it runs: the worker waits at a point of its job while this thread pumps
// and paints as it does for a user, until the page shows what the picture needs.
class HeldWorker {
public:
    HeldWorker() : go(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~HeldWorker() { Release(); }
    HeldWorker(const HeldWorker&) = delete;
    HeldWorker& operator=(const HeldWorker&) = delete;
    void Hold() { WaitForSingleObject(go.Get(), 30000); }  // on the worker
    void Release() { SetEvent(go.Get()); }

    // Pumps until ready(), then takes the picture and lets the worker go; false when the run ended first.
    bool ShootWhen(HWND window, const std::string& file, const std::function<bool()>& ready,
                   const std::function<bool()>& running) {
        while (!ready()) {
            if (!running()) return false;
            Settle(20);
        }
        Settle(700);
        bool saved = Shoot(window, file);
        Release();
        return saved;
    }

private:
    UniqueHandle go;
};

void MakeFile(const std::string& path, DWORD size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFilePointer(file, static_cast<LONG>(size), nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

// A few everyday folders with junk among the keepers.
std::string MakeDemoTree() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string demo = std::string(temp) + "Tidyhold Demo";
    const char* folders[] = {"", "\\Documents", "\\Documents\\Reports", "\\Downloads", "\\Projects",
                             "\\Projects\\website", "\\Projects\\website\\build"};
    for (const char* folder : folders) CreateDirectoryA((demo + folder).c_str(), nullptr);
    struct File {
        const char* path;
        DWORD size;
    };
    const File files[] = {
        {"\\Documents\\~$Quarterly report.docx", 162},     {"\\Documents\\Quarterly report.docx", 48213},
        {"\\Documents\\Reports\\summary.tmp", 12288},     {"\\Documents\\Reports\\Thumbs.db", 22528},
        {"\\Documents\\Reports\\budget.xlsx", 30912},     {"\\Downloads\\setup_8F2A.tmp", 1843200},
        {"\\Downloads\\installer.exe", 5242880},           {"\\Downloads\\crash.dmp", 262144},
        {"\\Projects\\website\\index.html", 5120},       {"\\Projects\\website\\build\\cache.tmp", 786432},
        {"\\Projects\\website\\build\\FILE0001.CHK", 4096}, {"\\Projects\\notes.$$$", 2048},
    };
    for (const File& file : files) MakeFile(demo + file.path, file.size);
    // Enough ordinary files that the scan is still running when it is photographed.
    std::string modules = demo + "\\Projects\\website\\modules";
    CreateDirectoryA(modules.c_str(), nullptr);
    for (int package = 0; package < 150; ++package) {
        std::string folder = modules + "\\package" + std::to_string(package);
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int file = 0; file < 60; ++file) MakeFile(folder + "\\part" + std::to_string(file) + ".js", 1200);
    }
    return demo;
}

// The log viewer with a few records of a cleaning, from the component's DLL beside this exe.
std::string viewerShot;
void CALLBACK ShootViewer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND viewer = FindWindowA("#32770", Language().Lookup("_LogViewerCaption").c_str());
    if (!viewer) return;
    SetDlgItemTextA(viewer, IDC_LOG_SEARCH, "build.log");  // the first line that holds it is marked
    HWND list = GetDlgItem(viewer, IDC_LOG_LIST);
    ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    GdiFlush();
    Sleep(400);
    std::printf("%s\n", viewerShot.c_str());
    SaveWindow(viewer, viewerShot);
    PostMessageA(viewer, WM_COMMAND, IDCANCEL, 0);
}

bool ShootLogViewer(const std::string& file, const std::string& demo) {
    HMODULE dll = LoadLibraryA((ProgramFolder() + "\\JotbookLog.dll").c_str());
    if (!dll) return false;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    ComPtr<ILogBook> book;
    if (!get || FAILED(get(CLSID_JotbookLog, IID_IClassFactory, factory.PutVoid())) ||
        FAILED(factory->CreateInstance(nullptr, IID_ILogBook, book.PutVoid())))
        return false;
    UniqueBstr folder(demo + "\\Log\\Data");
    book->SetFolder(folder.Get());
    auto add = [&](const char* actionKey, const char* headerKey, const char* lineKey, std::vector<std::string> files) {
        std::string text = Language().Lookup(headerKey) + "\r\n\r\n";
        for (const auto& path : files) {
            text += FormatText(Language().Lookup(lineKey), {path, path + ".bak"}) + "\r\n\r\n";
        }
        UniqueBstr type(Language().Lookup("_LogType")), category(Language().Lookup("_LogCategory")),
            action(Language().Lookup(actionKey)), source(Language().Lookup("_LogSource")), body(text);
        book->AddRecord(type.Get(), category.Get(), action.Get(), source.Get(), body.Get());
    };
    std::vector<std::string> files = {demo + "\\Downloads\\setup.tmp", demo + "\\Projects\\build.log",
                                      demo + "\\Documents\\~report.doc"};
    add("_LogLogCategoryBackup", "_LogBackupFilesHeader", "_LogSaveFile", files);
    add("_LogLogCategoryDelete", "_LogRemoveToRecyclebinFilesHeader", "_LogDeleteFile", files);
    add("_LogLogCategoryRestore", "_LogRestoreFilesHeader", "_LogRestoreFile", {files[1]});
    viewerShot = file;
    SetTimer(nullptr, 0, 800, ShootViewer);
    book->ShowViewer(0, nullptr);
    return true;
}

// A dialog over the wizard, as its menu item opens it; `prepare` sets it up before the picture.
template <class Prepare>
bool ShootDialog(Dialog& dialog, HWND owner, const std::string& file, Prepare prepare) {
    if (!dialog.CreateModeless(owner)) return false;
    ShowWindow(dialog.Hwnd(), SW_SHOW);
    prepare(dialog.Hwnd());
    Settle(700);
    RedrawWindow(dialog.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Settle(1500);  // without messages after the redraw, Wine may not show a dialog's lower part yet
    GdiFlush();
    Sleep(400);
    std::printf("%s\n", file.c_str());
    bool saved = SaveWindow(dialog.Hwnd(), file);
    DestroyWindow(dialog.Hwnd());
    return saved;
}

// The typed addresses tool over a demonstration key with a few addresses, two of them checked.
bool ShootTypedUrls(const std::string& file, HWND owner) {
    const char* demoKey = "Software\\Tidyhold Demo";
    std::string path = std::string(demoKey) + "\\TypedUrls";
    const char* addresses[] = {"https://news.example.com/", "https://mail.example.org/inbox",
                               "https://shop.example.net/cart?item=42", "http://intranet/reports/2026",
                               "https://maps.example.com/?q=library", "https://weather.example.org/"};
    {
        UniqueKey key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(),
                            nullptr) != ERROR_SUCCESS)
            return false;
        int index = 0;
        for (const char* address : addresses)
            RegSetValueExA(key.Get(), ("url" + std::to_string(++index)).c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(address), static_cast<DWORD>(strlen(address) + 1));
    }
    TypedUrlsDialog dialog(HKEY_CURRENT_USER, path);
    bool shot = ShootDialog(dialog, owner, file, [](HWND window) {
        HWND list = GetDlgItem(window, IDC_TYPED_URLS_LIST);
        SetRowChecked(list, 1, true);
        SetRowChecked(list, 2, true);
        SelectRow(list, 2);
        SetFocus(list);
    });
    RegDeleteTreeA(HKEY_CURRENT_USER, demoKey);
    return shot;
}

// The About box with its first link visited, so both link colours show; the focus stays on its button.
bool ShootAbout(const std::string& file, HWND owner) {
    ShellOpenFunction saved = ShellOpenHandler();
    ShellOpenHandler() = [](HWND, const std::string&, const std::string&) { return true; };
    AboutDialog dialog;
    bool shot = ShootDialog(dialog, owner, file, [](HWND window) {
        SendMessageA(GetDlgItem(window, IDC_ABOUT_WEBSITE), WM_CHAR, ' ', 0);
    });
    ShellOpenHandler() = saved;
    return shot;
}

// The message box the wizard shows next, photographed from inside its loop and answered No.
std::string questionShot;
bool questionSaved = false;
void CALLBACK ShootQuestionBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND box = FindWindowA("#32770", Language().Lookup("_Tidyhold").c_str());
    if (!box) return;
    questionSaved = Shoot(box, questionShot);
    PostMessageA(box, WM_COMMAND, IDNO, 0);
}

bool ShootQuestion(const std::string& file, const std::function<void()>& ask) {
    MessageBoxFunction shown = MessageBoxHandler();
    MessageBoxHandler() = [&](HWND owner, const std::string& text, const std::string& caption, UINT style) {
        SetTimer(nullptr, 0, 800, ShootQuestionBox);
        return shown(owner, text, caption, style);
    };
    questionShot = file;
    questionSaved = false;
    ask();
    MessageBoxHandler() = shown;
    return questionSaved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: page_shots <output folder>\n");
        return 1;
    }
    std::string output = argv[1];
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    Language().SetFile(ProgramFolder() + "\\Tidyhold.language");

    const char* names[] = {"welcome", "folders", "junk-files", "options", "skip-folders",
                           "scanning", "report", "clean-options", "cleaning", "results"};
    MainWizard wizard;
    if (!wizard.CreateModeless(nullptr)) return 1;
    ShowWindow(wizard.Hwnd(), SW_SHOW);
    auto pageFile = [&](int page) {
        return output + "\\page-" + std::to_string(page) + "-" + names[page] + ".bmp";
    };
    auto shoot = [&](int page) { return Shoot(wizard.Hwnd(), pageFile(page)); };
    // The first drive opened, so the tree shows its folder images too.
    HWND tree = wizard.folderPage.Item(IDC_FOLDER_TREE);
    TreeView_Expand(tree, TreeView_GetRoot(tree), TVE_EXPAND);
    for (int page = kWelcomePage; page <= kSkipFoldersPage; ++page) {
        wizard.ShowPage(page);
        wizard.UpdateButtons(page);
        Settle(700);
        if (!shoot(page)) return 1;
    }

    // A scan of a small demonstration tree, caught while it runs, then its report.
    std::string demo = MakeDemoTree();
    std::vector<std::string> roots;
    for (const char* folder : {"Documents", "Downloads", "Projects"}) roots.push_back(demo + "\\" + folder);
    wizard.folderPage.FillRoots(roots);
    SendMessageA(wizard.folderPage.Item(IDC_FOLDER_SELECT_ALL), BM_CLICK, 0, 0);
    SetChecked(wizard.optionsPage.Hwnd(), IDC_OPT_FIND_TEMP, false);
    SetChecked(wizard.optionsPage.Hwnd(), IDC_OPT_FIND_IE_TEMP, false);
    HWND list = wizard.scanPage.Item(IDC_SCAN_LIST);
    std::string scanning = Language().Lookup("_stateScanning");
    {
        HeldWorker held;
        wizard.scanPage.beforeFolder = [&](std::size_t index, const std::atomic<bool>&) {
            if (index == 2) held.Hold();
        };
        SendMessageA(wizard.Hwnd(), WM_COMMAND, IDC_WIZARD_NEXT, 0);
        if (!held.ShootWhen(wizard.Hwnd(), pageFile(kScanPage),
                            [&] {
                                return RowText(list, 2, 1) == scanning &&
                                       !ItemText(wizard.scanPage.Hwnd(), IDC_SCAN_COUNT).empty();
                            },
                            [&] { return wizard.scanPage.IsRunning(); }))
            return 1;
        wizard.scanPage.beforeFolder = nullptr;
    }
    while (wizard.scanPage.IsRunning()) Settle(50);
    Settle(300);
    SendMessageA(wizard.Hwnd(), WM_COMMAND, IDC_WIZARD_NEXT, 0);
    Settle(700);
    if (!shoot(kReportPage)) return 1;
    if (!ShootQuestion(output + "\\question-close-report.bmp",
                       [&] { SendMessageA(wizard.Hwnd(), WM_CLOSE, 0, 0); }))
        return 1;

    // The details of an installer with two translations, over the report.
    std::string sample = demo + "\\Downloads\\Sample Setup.exe";
    CopyFileA((ProgramFolder() + "\\version_sample.exe").c_str(), sample.c_str(), FALSE);
    {
        MoreInfoDialog details(sample);
        HWND window = details.CreateModeless(wizard.Hwnd());
        if (!window) return 1;
        ShowWindow(window, SW_SHOW);
        Settle(700);
        if (!Shoot(window, output + "\\dialog-more-info.bmp")) return 1;
        DestroyWindow(window);
    }
    Settle(300);

    // The found junk cleaned for real, with a backup set inside the demonstration tree.
    SendMessageA(wizard.Hwnd(), WM_COMMAND, IDC_WIZARD_NEXT, 0);
    HWND options = wizard.cleanOptionsPage.Hwnd();
    SetChecked(options, IDC_CLEAN_PERMANENT, true);
    SetChecked(options, IDC_CLEAN_RECYCLE, false);
    SetChecked(options, IDC_CLEAN_BACKUP, false);
    if (!ShootQuestion(output + "\\question-delete-for-good.bmp",
                       [&] { SendMessageA(wizard.Hwnd(), WM_COMMAND, IDC_WIZARD_NEXT, 0); }))
        return 1;
    SetChecked(options, IDC_CLEAN_BACKUP, true);
    EnableWindow(GetDlgItem(options, IDC_CLEAN_BACKUP_DIR), TRUE);
    EnableWindow(GetDlgItem(options, IDC_CLEAN_BROWSE), TRUE);
    SetDlgItemTextA(options, IDC_CLEAN_BACKUP_DIR, (demo + "\\Backup").c_str());
    Settle(700);
    if (!shoot(kCleanOptionsPage)) return 1;

    // Caught once the backup pass has shown its progress. The demonstration's few files pass at
    // once, so the bar is set part of the way, as a real run of many files shows it.
    HWND bar = wizard.cleaningPage.Item(IDC_CLEANING_PROGRESS);
    {
        HeldWorker held;
        wizard.cleaningPage.beforeFile = [&](CleaningJob::Pass, std::size_t index, const std::atomic<bool>&) {
            if (index == 1) held.Hold();
        };
        SendMessageA(wizard.Hwnd(), WM_COMMAND, IDC_WIZARD_NEXT, 0);
        if (!held.ShootWhen(wizard.Hwnd(), pageFile(kCleaningPage),
                            [&] {
                                if (SendMessageA(bar, PBM_GETPOS, 0, 0) == 0) return false;
                                SendMessageA(bar, PBM_SETPOS, SendMessageA(bar, PBM_GETRANGE, FALSE, 0) * 2 / 5, 0);
                                return true;
                            },
                            [&] { return wizard.cleaningPage.IsRunning(); }))
            return 1;
        wizard.cleaningPage.beforeFile = nullptr;
    }
    while (wizard.cleaningPage.IsRunning()) Settle(50);
    Settle(300);
    SendMessageA(wizard.Hwnd(), WM_COMMAND, IDC_WIZARD_NEXT, 0);
    Settle(700);
    if (!shoot(kResultsPage)) return 1;
    {
        // The same page after a cleaning to the recycle bin that kept some files.
        CleaningOutcome recycled = wizard.cleaningPage.Outcome();
        recycled.recycled = true;
        recycled.setFolder.clear();
        recycled.counts[static_cast<std::size_t>(Fate::KeptInUse)] = 1;
        recycled.counts[static_cast<std::size_t>(Fate::KeptReadOnly)] = 2;
        wizard.resultsPage.ShowOutcome(recycled);
        Settle(300);
        if (!Shoot(wizard.Hwnd(), output + "\\page-9-results-recycle.bmp")) return 1;
        wizard.resultsPage.ShowOutcome(wizard.cleaningPage.Outcome());
    }
    SetActiveWindow(wizard.Hwnd());
    if (!ShootLogViewer(output + "\\log-viewer.bmp", demo)) return 1;

    // The rescue manager over the cleaning's set and two older ones, the newest selected.
    for (const char* older : {"\\Backup\\2024-11-02_09-15-42", "\\Backup\\2025-01-20_17-48-05"})
        CreateDirectoryA((demo + older).c_str(), nullptr);
    RescueDialog rescue(demo + "\\Backup", nullptr);
    if (!ShootDialog(rescue, wizard.Hwnd(), output + "\\dialog-rescue.bmp", [](HWND window) {
            HWND sets = GetDlgItem(window, IDC_RESCUE_LIST);
            SelectRow(sets, RowCount(sets) - 1);
            SetFocus(sets);
        }))
        return 1;
    if (!ShootTypedUrls(output + "\\dialog-typed-urls.bmp", wizard.Hwnd())) return 1;
    if (!ShootAbout(output + "\\dialog-about.bmp", wizard.Hwnd())) return 1;
    DestroyWindow(wizard.Hwnd());
    RemoveTree(demo);
    return 0;
}
