// Every text of every page and dialog, in each shipped language, fits the control that shows it,
// at whatever DPI the display has; every control lies inside its window, clear of its neighbours;
// and no two controls of one window share an access key. ctest runs these at 96, 144 and 192 DPI.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "app/main_wizard.h"
#include "app/wizard_navigation.h"
#include "base/ansi.h"
#include "base/com_ptr.h"
#include "base/text_format.h"
#include "clean/rescue_dialog.h"
#include "clean/results_page.h"
#include "clean/typed_urls_dialog.h"
#include "res/resource.h"
#include "scan/more_info_dialog.h"
#include "scan/progress_popup.h"
#include "settings/junk_file_dialog.h"
#include "tests/support/log_component.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"
#include "ui/language_table.h"
#include "ui/screen_scale.h"

namespace {

std::string ClassOf(HWND control) {
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    return name;
}

// How the control draws its text: the room it leaves beside it and whether it wraps. Controls
// that show no language text (lists, edits, pictures, lines) give nothing to measure.
struct TextBox {
    bool measured = false;
    bool wraps = false;
    bool prefix = true;
    int inset = 0;  // taken from the width: a check glyph, or a push button's frame on both sides
};

TextBox BoxOf(HWND control) {
    LONG style = GetWindowLongA(control, GWL_STYLE);
    int dpi = 96;
    if (HDC dc = GetDC(control)) {
        dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(control, dc);
    }
    TextBox box;
    std::string kind = ClassOf(control);
    if (_stricmp(kind.c_str(), "Button") == 0) {
        LONG type = style & BS_TYPEMASK;
        box.measured = type != BS_GROUPBOX && type != BS_OWNERDRAW;
        box.wraps = (style & BS_MULTILINE) != 0;
        bool pushed = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
        box.inset = pushed ? MulDiv(8, dpi, 96) : MulDiv(18, dpi, 96);  // frame and focus, or glyph and gap
    } else if (_stricmp(kind.c_str(), "Static") == 0) {
        LONG type = style & SS_TYPEMASK;
        box.measured = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP ||
                       type == SS_SIMPLE;
        box.wraps = (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) && (style & SS_ELLIPSISMASK) == 0;
        box.prefix = (style & SS_NOPREFIX) == 0;
    }
    return box;
}

// The size the text needs in the control's font, against the control's client area.
void ExpectFits(HWND control, const std::string& text) {
    TextBox box = BoxOf(control);
    if (!box.measured || text.empty()) return;
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    int width = client.right - box.inset;
    RECT need{0, 0, width, 0};
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (box.wraps ? DT_WORDBREAK : DT_SINGLELINE) |
                 (box.prefix ? 0u : static_cast<UINT>(DT_NOPREFIX));
    std::wstring wide = ToWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &need, flags);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    EXPECT_LE(need.right, width) << "too wide by " << need.right - width << " px: " << text;
    EXPECT_LE(need.bottom, client.bottom) << "too high by " << need.bottom - client.bottom << " px: " << text;
}

bool Shown(HWND control) { return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

bool IsGroupBox(HWND control) {
    return _stricmp(ClassOf(control).c_str(), "Button") == 0 &&
           (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

RECT PlaceInParent(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// A shown control lies wholly inside its parent's client area and overlaps no shown sibling, but
// for a group box around both.
void ExpectPlaced(HWND control) {
    if (!Shown(control) || IsGroupBox(control)) return;
    HWND parent = GetParent(control);
    RECT place = PlaceInParent(control), client{};
    GetClientRect(parent, &client);
    EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= client.right && place.bottom <= client.bottom)
        << "control at " << place.left << "," << place.top << "-" << place.right << "," << place.bottom
        << " leaves its window's " << client.right << "x" << client.bottom;
    for (HWND sibling = GetWindow(control, GW_HWNDNEXT); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (!Shown(sibling) || IsGroupBox(sibling)) continue;
        RECT other = PlaceInParent(sibling), common{};
        EXPECT_FALSE(IntersectRect(&common, &place, &other))
            << "overlaps control " << GetDlgCtrlID(sibling) << " by " << common.right - common.left << "x"
            << common.bottom - common.top << " px";
    }
}

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// Every control's own text fits, and the access keys of these controls, which answer the same
// Alt presses, are unique.
void ExpectAllFit(const std::vector<HWND>& controls) {
    std::map<wchar_t, std::string> keys;
    for (HWND control : controls) {
        std::string text = WindowText(control);
        SCOPED_TRACE(GetDlgCtrlID(control));
        ExpectFits(control, text);
        ExpectPlaced(control);
        if (!BoxOf(control).prefix) continue;
        std::wstring wide = ToWide(text);
        for (size_t i = 0; i + 1 < wide.size(); ++i) {
            if (wide[i] != L'&') continue;
            if (wide[i + 1] != L'&') {
                auto [at, added] = keys.emplace(static_cast<wchar_t>(std::towlower(wide[i + 1])), text);
                EXPECT_TRUE(added) << "\"" << text << "\" and \"" << at->second << "\" share an access key";
                break;
            }
            ++i;
        }
    }
}

template <class Window>
void ExpectDialogFits(Window& dialog, HWND owner) {
    ASSERT_TRUE(dialog.CreateModeless(owner));
    ExpectAllFit(Children(dialog.Hwnd()));
    DestroyWindow(dialog.Hwnd());
}

std::string Lookup(const char* key) { return Language().Lookup(key); }

void ExpectWizardFits() {
    // The ctest entries for higher DPIs name the DPI they set up: a prefix that ignored it would
    // pass them at 96.
    if (const char* expected = std::getenv("TIDYHOLD_TEST_DPI")) {
        ASSERT_EQ(ScreenDpi(), std::atoi(expected));
    }
    MainWizard wizard;
    ASSERT_TRUE(wizard.CreateModeless(nullptr));
    Dialog* pages[] = {&wizard.welcomePage,   &wizard.folderPage, &wizard.junkFilesPage,    &wizard.optionsPage,
                       &wizard.skipFoldersPage, &wizard.scanPage, &wizard.reportPage,       &wizard.cleanOptionsPage,
                       &wizard.cleaningPage,  &wizard.resultsPage};
    for (int index = kWelcomePage; index <= kResultsPage; ++index) {
        SCOPED_TRACE("page " + std::to_string(index));
        wizard.ShowPage(index);
        wizard.UpdateButtons(index);
        std::vector<HWND> controls = Children(pages[index]->Hwnd());
        for (int id : {IDC_WIZARD_HELP, IDC_WIZARD_BACK, IDC_WIZARD_NEXT, IDC_WIZARD_CANCEL})
            controls.push_back(GetDlgItem(wizard.Hwnd(), id));
        ExpectAllFit(controls);
    }

    // Texts the pages set as they run, with counts as large as a real run gives.
    CleaningOutcome outcome;
    outcome.ran = outcome.stopped = outcome.logFailed = true;
    outcome.freedBytes = 98765432100ull;
    outcome.counts.fill(1234);
    outcome.counts[static_cast<std::size_t>(Fate::Removed)] = 123456;
    outcome.setFolder = "C:\\Users\\Administrator\\Documents\\Tidyhold Backup\\2026-12-31_23-59-59";
    struct Shown {
        HWND page;
        int id;
        std::string text;
    };
    HWND scan = wizard.scanPage.Hwnd(), cleaning = wizard.cleaningPage.Hwnd();
    const Shown shown[] = {
        {scan, IDC_SCAN_STATUS, Lookup("_StateStringSearchCompleted")},
        {scan, IDC_SCAN_STATUS, Lookup("_StateStringSearchStopped")},
        {scan, IDC_SCAN_COUNT, FormatText(Lookup("_StateFindItem"), {1234567LL})},
        {wizard.reportPage.Hwnd(), IDC_REPORT_TOTAL,
         FormatText(Lookup("_ReportPageStateTotalSize"), {1234567LL, 4194303999.99, 4095999.99})},
        {cleaning, IDC_CLEANING_STATE, Lookup("_CleaningPageStatePermanentlyDelete")},
        {cleaning, IDC_CLEANING_STATE, Lookup("_CleaningPageStateMoveToRecycleBin")},
        {cleaning, IDC_CLEANING_STATE, Lookup("_CleaningPageStateBackup")},
        {cleaning, IDC_CLEANING_STATE, Lookup("_CleaningPageStateComplete")},
        {cleaning, IDC_CLEANING_STATE, Lookup("_CleaningPageStateStopped")},
        {cleaning, IDC_CLEANING_STATE, FormatText(Lookup("_CleaningPageStateCompleteKept"), {123456LL})},
        {wizard.resultsPage.Hwnd(), IDC_RESULTS_SUMMARY, OutcomeLine(outcome)},
    };
    for (const Shown& text : shown) {
        SCOPED_TRACE(GetDlgCtrlID(GetDlgItem(text.page, text.id)));
        ExpectFits(GetDlgItem(text.page, text.id), text.text);
    }

    // The dialogs, over the wizard as its menu opens them.
    TempFolder folder;
    ScriptedMessageBoxes boxes;
    AboutDialog about;
    ExpectDialogFits(about, wizard.Hwnd());
    JunkFileDialog mask("_ModifyJunkFileDialogCaption", "*.tmp", "Temporary file");
    ExpectDialogFits(mask, wizard.Hwnd());
    MoreInfoDialog details(std::string(TIDYHOLD_VERSION_SAMPLE));
    ExpectDialogFits(details, wizard.Hwnd());
    TypedUrlsDialog addresses(HKEY_CURRENT_USER, "Software\\Tidyhold text fit: no such key");
    ExpectDialogFits(addresses, wizard.Hwnd());
    RescueDialog rescue(folder.Path(), nullptr);
    ASSERT_TRUE(rescue.CreateModeless(wizard.Hwnd()));
    ExpectAllFit(Children(rescue.Hwnd()));
    for (const char* key : {"_RescueDialogStateCopyBackupFiles", "_RescueDialogStateInitBackupFileList",
                            "_RescueDialogStateRemoveBackupFiles", "_RescueDialogStateRestoreComplete"})
        ExpectFits(GetDlgItem(rescue.Hwnd(), IDC_RESCUE_STATE), Lookup(key));
    ExpectFits(GetDlgItem(rescue.Hwnd(), IDC_RESCUE_STATE),
               FormatText(Lookup("_RescueDialogStateRestoreKept"), {123456LL}));
    DestroyWindow(rescue.Hwnd());
    ProgressPopup popup;
    ASSERT_TRUE(popup.Open(wizard.Hwnd(), 10));
    ExpectAllFit(Children(popup.Hwnd()));
    DestroyWindow(popup.Hwnd());
    // The log viewer, hosted with the same language file.
    LogComponentModule dll;
    ComPtr<IClassFactory> factory;
    ComPtr<ILogBook> book;
    ASSERT_EQ(dll.GetClassObject(CLSID_JotbookLog, IID_IClassFactory, factory.PutVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ILogBook, book.PutVoid()), S_OK);
    UniqueBstr logFolder(folder.Path());
    book->SetFolder(logFolder.Get());
    dll.SetLanguageFile(Language().File());
    NextDialog viewer([](HWND dialog) {
        ExpectAllFit(Children(dialog));
        Click(dialog, IDCANCEL);
    });
    book->ShowViewer(0, nullptr);
    EXPECT_TRUE(viewer.Ran());
    dll.SetLanguageFile("");

    DestroyWindow(wizard.Hwnd());
    PumpMessages();
}

}  // namespace

TEST(TextFitTest, EveryEnglishTextFits) {
    ScopedLanguage english(ShippedLanguageFile());
    ExpectWizardFits();
}

TEST(TextFitTest, EveryGermanTextFits) {
    ScopedLanguage german(HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/Tidyhold.de.language"));
    ExpectWizardFits();
}
