#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "base/file_list.h"
#include "res/resource.h"
#include "scan/progress_popup.h"
#include "scan/report_page.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/ui_driver.h"
#include "ui/language_table.h"
#include "ui/list_view.h"

namespace {

std::vector<std::string> Column(HWND list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < RowCount(list); ++row) texts.push_back(RowText(list, row, column));
    return texts;
}

LPARAM ItemData(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ListView_GetItem(list, &item);
    return item.lParam;
}

// Top-level dialogs of this thread (pages are children): the popup while it lives.
int OpenDialogs() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            char name[16] = {};
            GetClassNameA(window, name, sizeof(name));
            if (std::string(name) == "#32770") ++*reinterpret_cast<int*>(data);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// Presses and releases the mouse on a column heading.
void ClickHeading(HWND list, int column) {
    HWND header = ListView_GetHeader(list);
    RECT rect{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&rect));
    LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(header, WM_LBUTTONUP, 0, point);
}

class ReportPageTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFile(folder / "a.bin", std::string(9728, 'a'));   // 9.50 KB
        WriteFile(folder / "b.bin", std::string(10240, 'b'));  // 10.00 KB
        WriteFile(folder / "c.bin", std::string(1536, 'c'));   // 1.50 KB
        WriteFile(folder / "empty.txt", "");
        ASSERT_TRUE(page.CreateModeless(settings.Host()));
    }
    HWND List() const { return GetDlgItem(page.Hwnd(), IDC_REPORT_LIST); }
    std::string Total() const { return ItemText(page.Hwnd(), IDC_REPORT_TOTAL); }
    std::string Checked() const { return ItemText(page.Hwnd(), IDC_REPORT_CHECKED); }

    SettingsFixture settings;
    const TempFolder& folder = settings.folder;
    ScopedLanguage language{folder, "_ReportPageStateTotalSize=%d files, %.2f KB (%.6f MB)\r\n"
                                    "_ReportPageStateCheckedSize=%d checked, %.6f MB\r\n"
                                    "_ReportPageListColumnFileSize=Size (KB)\r\n"};
    ReportPage page;
    ScriptedMessageBoxes boxes;
};

}  // namespace

TEST_F(ReportPageTest, FillShowsEachFileWithSizeReasonAndCheckAndStartsAfreshEachTime) {
    page.FillReport({{folder / "b.bin", "x"}});
    ClickHeading(List(), 0);
    Click(page.Hwnd(), IDC_REPORT_REMOVE_ALL);

    page.FillReport({{folder / "gone.tmp", "Temporary file"},  // vanished since the scan
                     {folder / "c.bin", "Backup file"},
                     {folder / "empty.txt", "Empty file"}});
    EXPECT_EQ(Column(List(), 0), (std::vector<std::string>{folder / "c.bin", folder / "empty.txt", folder / "gone.tmp"}));
    EXPECT_EQ(Column(List(), 1), (std::vector<std::string>{"1.50", "0.00", "0.00"}));
    EXPECT_EQ(Column(List(), 2), (std::vector<std::string>{"Backup file", "Empty file", "Temporary file"}));
    for (int row = 0; row < RowCount(List()); ++row) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(RowChecked(List(), row));
        EXPECT_EQ(ItemData(List(), row), row);
    }
    EXPECT_EQ(Total(), "3 files, 1.50 KB (0.001465 MB)");
    EXPECT_EQ(OpenDialogs(), 0);  // the popup is gone

    char heading[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = heading;
    column.cchTextMax = sizeof(heading);
    ASSERT_TRUE(SendMessageA(List(), LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(heading, "Size (KB)");

    TempFolder texts;
    ScopedLanguage hostile(texts, "_ReportPageStateTotalSize=%s %n %d %s %p\r\n");
    page.FillReport({{folder / "c.bin", "r"}});
    EXPECT_EQ(Total(), "1 %n 1 0.00146484 %p");
}

TEST_F(ReportPageTest, HeadingClicksSortWithOneSharedFlagThatFlipsEachTime) {
    page.FillReport({{folder / "a.bin", "Beta"}, {folder / "b.bin", "Zeta"}, {folder / "c.bin", "alpha"}});
    SetRowChecked(List(), 0, false);  // a.bin: its check travels with it

    struct Step {
        int column;
        const char* order;  // file names top to bottom
        bool flagAfter;
    };
    const Step steps[] = {
        {1, "bac", false},  // sizes descending: 10.00 above 9.50, as numbers
        {1, "cab", true},   // the same column again: ascending
        {0, "cba", false},  // another column takes the flag as it stands
        {2, "abc", true},   // reasons ascending, byte-wise: "Beta" < "Zeta" < "alpha"
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.column) + " -> " + step.order);
        ClickHeading(List(), step.column);
        std::string order;
        for (int row = 0; row < RowCount(List()); ++row) {
            std::string path = RowText(List(), row, 0);
            char name = path[path.size() - 5];  // a.bin, b.bin, c.bin
            order += name;
            EXPECT_EQ(ItemData(List(), row), name - 'a');
            EXPECT_EQ(RowChecked(List(), row), name != 'a');
        }
        EXPECT_EQ(order, step.order);
        EXPECT_EQ(page.sortDescending, step.flagAfter);
    }
}

TEST_F(ReportPageTest, ChecksDecideWhatGoesToTheCleaningButNotTheTotal) {
    page.FillReport({});
    EXPECT_FALSE(page.LeaveReport());

    page.FillReport({{folder / "a.bin", "Old"}, {folder / "b.bin", "Temp"}, {folder / "gone", "Empty"}});
    std::string total = Total();
    Click(page.Hwnd(), IDC_REPORT_REMOVE_ALL);
    EXPECT_EQ(Column(List(), 0).size(), 3u);
    EXPECT_FALSE(RowChecked(List(), 0) || RowChecked(List(), 1) || RowChecked(List(), 2));
    EXPECT_FALSE(page.LeaveReport());
    EXPECT_TRUE(page.CheckedFiles().empty());

    Click(page.Hwnd(), IDC_REPORT_SELECT_ALL);
    EXPECT_TRUE(RowChecked(List(), 0) && RowChecked(List(), 1) && RowChecked(List(), 2));
    ClickHeading(List(), 0);          // rows reversed: the hand-over follows the rows, not their places
    SetRowChecked(List(), 0, false);  // "gone"
    EXPECT_EQ(page.CheckedFiles(), (CleanFiles{{folder / "a.bin", {"Old", ReadFileStamp(folder / "a.bin")}},
                                               {folder / "b.bin", {"Temp", ReadFileStamp(folder / "b.bin")}}}));
    EXPECT_TRUE(page.LeaveReport());
    EXPECT_EQ(Total(), total);
}

TEST_F(ReportPageTest, CheckedLineFollowsEveryWayOfCheckingWithoutTouchingTheTotal) {
    page.FillReport({{folder / "a.bin", "Old"}, {folder / "b.bin", "Temp"}, {folder / "gone", "Empty"}});
    std::string total = Total();
    EXPECT_EQ(Checked(), "3 checked, 0.019043 MB");

    ClickHeading(List(), 1);  // sorted: the line follows the rows, not their places
    SetRowChecked(List(), 0, false);
    EXPECT_EQ(Checked(), "2 checked, " + std::string(RowText(List(), 0, 1) == "10.00" ? "0.009277" : "0.009766") + " MB");
    SetRowChecked(List(), 0, false);  // no change, no count
    EXPECT_EQ(Checked().substr(0, 10), "2 checked,");

    // Space on the focused row, as the keyboard toggles it.
    SelectRow(List(), 2);
    SetFocus(List());
    SendMessageA(List(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(List(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_FALSE(RowChecked(List(), 2));
    EXPECT_EQ(Checked().substr(0, 10), "1 checked,");

    Click(page.Hwnd(), IDC_REPORT_REMOVE_ALL);
    EXPECT_EQ(Checked(), "0 checked, 0.000000 MB");
    SetRowChecked(List(), 1, true);
    EXPECT_EQ(Checked().substr(0, 10), "1 checked,");
    Click(page.Hwnd(), IDC_REPORT_SELECT_ALL);
    EXPECT_EQ(Checked(), "3 checked, 0.019043 MB");
    EXPECT_EQ(Total(), total);

    page.FillReport({{folder / "c.bin", "r"}});  // a new report starts from all checked
    EXPECT_EQ(Checked(), "1 checked, 0.001465 MB");
}

TEST_F(ReportPageTest, MoreInfoOpensTheDetailsOfTheSelectedRowAndAsksWhenThereIsNone) {
    page.FillReport({{folder / "a.bin", "x"}, {folder / "b.bin", "y"}});
    NMITEMACTIVATE doubleClick{};
    doubleClick.hdr = {List(), IDC_REPORT_LIST, static_cast<UINT>(NM_DBLCLK)};
    doubleClick.iItem = -1;
    SendMessageA(page.Hwnd(), WM_NOTIFY, IDC_REPORT_LIST, reinterpret_cast<LPARAM>(&doubleClick));
    EXPECT_TRUE(boxes.shown.empty());

    Click(page.Hwnd(), IDC_REPORT_MORE_INFO);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "_YouMustSelectAnItem");
    EXPECT_EQ(boxes.shown[0].owner, page.Hwnd());
    EXPECT_EQ(OpenDialogs(), 0);

    SelectRow(List(), 1);
    for (bool byDoubleClick : {false, true}) {
        SCOPED_TRACE(byDoubleClick ? "double click" : "button");
        std::string shownPath;
        HWND owner = nullptr;
        NextDialog details([&](HWND dialog) {
            shownPath = Text(GetDlgItem(dialog, IDC_MORE_INFO_PATH));
            owner = GetWindow(dialog, GW_OWNER);
            Click(dialog, IDOK);
        });
        if (byDoubleClick)
            SendMessageA(page.Hwnd(), WM_NOTIFY, IDC_REPORT_LIST, reinterpret_cast<LPARAM>(&doubleClick));
        else
            Click(page.Hwnd(), IDC_REPORT_MORE_INFO);
        EXPECT_TRUE(details.Ran());
        EXPECT_EQ(shownPath, folder / "b.bin");
        EXPECT_EQ(owner, GetAncestor(page.Hwnd(), GA_ROOT));
    }
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(OpenDialogs(), 0);
}

TEST(ProgressPopupTest, RangeHoldsMoreThanSixteenBitsAndOnlyItsOwnMessagesArePumped) {
    SettingsFixture settings;
    HWND host = settings.Host();
    ScopedLanguage language(settings.folder, "_ReportPageProgressState=Listing the files...\r\n");
    ProgressPopup popup;
    ASSERT_TRUE(popup.Open(host, 70000));
    HWND bar = GetDlgItem(popup.Hwnd(), IDC_PROGRESS_BAR);
    PBRANGE range{};
    SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iHigh, 70000);
    popup.Advance(70000);  // the last step shows however soon it follows the one before
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 70000);
    EXPECT_EQ(ItemText(popup.Hwnd(), IDC_PROGRESS_STATUS), "Listing the files...");
    EXPECT_NE(GetWindowLongPtrA(popup.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindow(popup.Hwnd(), GW_OWNER), host);

    for (int i = 0; i < 1000 && popup.DispatchOne(); ++i) {}  // its first paints
    PostMessageA(popup.Hwnd(), WM_NULL, 0, 0);
    PostMessageA(popup.Hwnd(), WM_NULL, 0, 0);
    PostMessageA(host, WM_APP, 0, 0);
    EXPECT_TRUE(popup.DispatchOne());
    EXPECT_TRUE(popup.DispatchOne());
    EXPECT_FALSE(popup.DispatchOne());
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, host, WM_APP, WM_APP, PM_REMOVE));  // left for the main loop
    PostQuitMessage(5);  // a window filter does not keep the quit request out
    EXPECT_FALSE(popup.DispatchOne());
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 5u);

    DestroyWindow(popup.Hwnd());
    PostMessageA(host, WM_APP, 0, 0);
    EXPECT_FALSE(popup.DispatchOne());  // no window: nothing may be taken at all
    EXPECT_TRUE(PeekMessageA(&message, host, WM_APP, WM_APP, PM_REMOVE));
}

TEST_F(ReportPageTest, ExportedListHoldsExactlyTheCheckedRowsWithTheirStamps) {
    page.FillReport({{folder / "a.bin", "Backup, \"old\""}, {folder / "b.bin", "x"}, {folder / "gone.tmp", "y"}});
    SetRowChecked(List(), 1, false);  // b.bin
    ASSERT_TRUE(page.ExportList(folder / "list.json"));
    std::string error;
    std::optional<CleanFiles> read = ReadFileList(folder / "list.json", error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(*read, page.CheckedFiles());
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ(read->at(folder / "a.bin").seen, ReadFileStamp(folder / "a.bin"));
    EXPECT_TRUE(read->at(folder / "a.bin").seen);
    EXPECT_FALSE(read->at(folder / "gone.tmp").seen);  // unstamped: the cleaning keeps it
    EXPECT_FALSE(page.ExportList(folder / "no such folder\\list.csv"));
}
