#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <functional>

#include "base/com_ptr.h"
#include "components/log/viewer_ids.h"
#include "tests/support/log_component.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"

namespace {

class LogViewerTest : public testing::Test {
protected:
    void SetUp() override {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(dll.GetClassObject(CLSID_JotbookLog, IID_IClassFactory, factory.PutVoid()), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_ILogBook, book.PutVoid()), S_OK);
        UniqueBstr path(folder / "Log\\Data");
        ASSERT_EQ(book->SetFolder(path.Get()), S_OK);
    }
    void Add(const std::string& type, const std::string& action, const std::string& text) {
        UniqueBstr t(type), c("Tidyhold"), a(action), s("Tidyhold"), x(text);
        ASSERT_EQ(book->AddRecord(t.Get(), c.Get(), a.Get(), s.Get(), x.Get()), S_OK);
    }
    // Opens the viewer as the program does (the book's own page as owner) and runs the action inside
    // its modal loop; the action must close it.
    void WithViewer(std::function<void(HWND)> action) {
        NextDialog next(std::move(action));
        ComPtr<IUnknown> self;
        ASSERT_EQ(book->QueryInterface(IID_IPropertyPage, self.PutVoid()), S_OK);
        EXPECT_EQ(book->ShowViewer(0, self.Get()), S_OK);
        EXPECT_TRUE(next.Ran());
    }

    TempFolder folder;
    LogComponentModule dll;
    ComPtr<ILogBook> book;
};

std::string Cell(HWND list, int item, int column) {
    char text[512] = {};
    ListView_GetItemText(list, item, column, text, sizeof(text));
    return text;
}

std::vector<std::string> Column(HWND dialog, int column) {
    HWND list = GetDlgItem(dialog, IDC_LOG_LIST);
    std::vector<std::string> cells;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) cells.push_back(Cell(list, i, column));
    return cells;
}

// The text pane's lines, joined as the record holds them.
std::string ShownText(HWND dialog) {
    HWND lines = GetDlgItem(dialog, IDC_LOG_TEXT);
    std::string text;
    for (int i = 0; i < ListView_GetItemCount(lines); ++i) text += (i ? "\r\n" : "") + Cell(lines, i, 0);
    return text;
}

std::string Heading(HWND dialog, int column) {
    char text[64] = {};
    LVCOLUMNA info{};
    info.mask = LVCF_TEXT;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    ListView_GetColumn(GetDlgItem(dialog, IDC_LOG_LIST), column, &info);
    return text;
}

void Search(HWND dialog, const std::string& text) { SetDlgItemTextA(dialog, IDC_LOG_SEARCH, text.c_str()); }

void Select(HWND dialog, int item) {
    HWND list = GetDlgItem(dialog, IDC_LOG_LIST);
    ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

}  // namespace

TEST_F(LogViewerTest, ListsNewestFirstWithTheSelectedRecordsText) {
    Add("Cleaning", "Backup", "Backup files\r\n\r\nC:\\a.tmp");
    Add("Cleaning", "Delete", "Delete files\r\n\r\nC:\\b.tmp");
    Add("Rescue", "Restore", "Restore files");
    WithViewer([](HWND dialog) {
        EXPECT_EQ(Column(dialog, 3), (std::vector<std::string>{"Restore", "Delete", "Backup"}));
        EXPECT_EQ(Column(dialog, 1), (std::vector<std::string>{"Rescue", "Cleaning", "Cleaning"}));
        std::string time = Cell(GetDlgItem(dialog, IDC_LOG_LIST), 0, 0);
        EXPECT_EQ(time.size(), 19u) << time;  // 2024-05-01 14:03:22
        EXPECT_EQ(ShownText(dialog), "Restore files");
        Select(dialog, 2);
        EXPECT_EQ(ShownText(dialog), "Backup files\r\n\r\nC:\\a.tmp");
        Click(dialog, IDCANCEL);
    });
}

TEST_F(LogViewerTest, SearchFiltersByAnyTextIgnoringCase) {
    Add("Cleaning", "Backup", "C:\\Users\\ann\\report.tmp");
    Add("Cleaning", "Delete", "\xE3\x82\xB4\xE3\x83\x9F\xE7\xAE\xB1 C:\\old.bak");
    Add("Rescue", "Restore", "Restore files");
    WithViewer([](HWND dialog) {
        struct Case {
            const char* search;
            std::vector<std::string> actions;
        } cases[] = {
            {"", {"Restore", "Delete", "Backup"}},
            {"REPORT.tmp", {"Backup"}},                   // the text, any case
            {"rescue", {"Restore"}},                      // the type
            {"\xE3\x82\xB4\xE3\x83\x9F", {"Delete"}},     // Japanese in the text
            {"cleaning", {"Delete", "Backup"}},
            {"nothing like it", {}},
            {"tidyhold", {"Restore", "Delete", "Backup"}},  // category and source
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.search);
            Search(dialog, c.search);
            EXPECT_EQ(Column(dialog, 3), c.actions);
            std::string shown = ShownText(dialog);
            if (c.actions.empty()) EXPECT_EQ(shown, "");
            else EXPECT_FALSE(shown.empty());  // the first match is selected and shown
        }
        PostMessageA(GetDlgItem(dialog, IDC_LOG_LIST), WM_KEYDOWN, VK_ESCAPE, 0);  // Escape closes
    });
}

TEST_F(LogViewerTest, RefreshShowsRecordsAddedWhileOpenAndKeepsTheSearch) {
    Add("Cleaning", "Delete", "first");
    WithViewer([this](HWND dialog) {
        Search(dialog, "Restore");
        EXPECT_TRUE(Column(dialog, 3).empty());
        Add("Rescue", "Restore", "second");
        Add("Rescue", "Restore", "third");
        Click(dialog, IDC_LOG_REFRESH);
        EXPECT_EQ(Column(dialog, 3), (std::vector<std::string>{"Restore", "Restore"}));
        EXPECT_EQ(ShownText(dialog), "third");
        Search(dialog, "");
        EXPECT_EQ(Column(dialog, 3).size(), 3u);
        Click(dialog, IDCANCEL);
    });
}

TEST_F(LogViewerTest, EnterInTheSearchBoxMovesOnToTheList) {
    Add("Cleaning", "Delete", "first");
    WithViewer([](HWND dialog) {
        SetFocus(GetDlgItem(dialog, IDC_LOG_SEARCH));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_LOG_LIST));
        EXPECT_TRUE(IsWindow(dialog));  // Enter does not close
        Click(dialog, IDCANCEL);
    });
}

TEST_F(LogViewerTest, IsModalOverTheCallersActiveWindow) {
    HWND caller = CreateWindowExA(0, "STATIC", "caller", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    SetActiveWindow(caller);
    ASSERT_EQ(GetActiveWindow(), caller);
    bool ownerDisabled = false;
    HWND owner = nullptr;
    WithViewer([&](HWND dialog) {
        owner = GetWindow(dialog, GW_OWNER);
        ownerDisabled = !IsWindowEnabled(caller);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(owner, caller);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(caller));
    DestroyWindow(caller);
}

TEST_F(LogViewerTest, OpensOnAMissingFolderWithNothingListed) {
    UniqueBstr missing(folder / "never\\made");
    ASSERT_EQ(book->SetFolder(missing.Get()), S_OK);
    WithViewer([](HWND dialog) {
        EXPECT_TRUE(Column(dialog, 0).empty());
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(GetFileAttributesA((folder / "never").c_str()), INVALID_FILE_ATTRIBUTES);  // the viewer only reads
}

// A record of a big cleaning: each of its lines is in the text pane, and the search shows the first
// line that holds the text, however deep.
TEST_F(LogViewerTest, AHugeRecordShowsEveryLineAndTheSearchFindsOneDeepInIt) {
    const int files = 150000;
    std::string text = "Removing files:";
    for (int i = 0; i < files; ++i) text += "\r\nRemove C:\\junk\\file-" + std::to_string(i) + ".tmp";
    text += "\r\n" + std::string(400, 'x') + "\nend";  // longer than a list view paints; a lone LF
    Add("Cleaning", "Delete", text);
    WithViewer([&](HWND dialog) {
        HWND lines = GetDlgItem(dialog, IDC_LOG_TEXT);
        EXPECT_EQ(ListView_GetItemCount(lines), files + 3);
        EXPECT_EQ(Cell(lines, 1, 0), "Remove C:\\junk\\file-0.tmp");
        EXPECT_EQ(Cell(lines, files, 0), "Remove C:\\junk\\file-149999.tmp");
        EXPECT_EQ(Cell(lines, files + 1, 0), std::string(400, 'x'));
        EXPECT_EQ(Cell(lines, files + 2, 0), "end");
        Search(dialog, "FILE-123456.TMP");
        int found = ListView_GetNextItem(lines, -1, LVNI_SELECTED);
        EXPECT_EQ(found, 123457);
        int top = ListView_GetTopIndex(lines);
        EXPECT_TRUE(top <= found && found < top + ListView_GetCountPerPage(lines)) << top;
        Click(dialog, IDCANCEL);
    });
}

// Its own texts come from the language file of the program that hosts it, English where that has none.
TEST_F(LogViewerTest, ShowsItsTextsInTheHostsLanguage) {
    WriteFile(folder / "partial.language", "[String]\r\n_LogViewerCaption=Protokoll\\r\\nbuch\r\n");
    struct Case {
        std::string file;
        const char *caption, *close, *heading;
    } cases[] = {
        {HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/Tidyhold.de.language"), "Protokoll",
         "Schlie\xC3\x9F" "en", "Quelle"},
        {folder / "partial.language", "Protokoll\r\nbuch", "Close", "Source"},  // escapes; English for the rest
        {folder / "missing.language", "Log", "Close", "Source"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        dll.SetLanguageFile(c.file);
        WithViewer([&](HWND dialog) {
            EXPECT_EQ(Text(dialog), c.caption);
            EXPECT_EQ(Text(GetDlgItem(dialog, IDCANCEL)), c.close);
            EXPECT_EQ(Heading(dialog, 4), c.heading);
            Click(dialog, IDCANCEL);
        });
    }
    dll.SetLanguageFile("");
}
