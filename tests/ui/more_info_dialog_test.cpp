#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "scan/more_info_dialog.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"
#include "ui/language_table.h"
#include "ui/list_view.h"

namespace {

class MoreInfoDialogTest : public testing::Test {
protected:
    HWND Open(MoreInfoDialog& dialog) {
        HWND window = dialog.CreateModeless(settings.Host());
        EXPECT_NE(window, nullptr);
        return window;
    }
    static HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_MORE_INFO_LIST); }
    static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    static HICON Icon(HWND dialog) {
        return reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, IDC_MORE_INFO_ICON, STM_GETICON, 0, 0));
    }
    const HICON information = LoadIconA(nullptr, IDI_INFORMATION);

    SettingsFixture settings;
    ScopedLanguage language{ShippedLanguageFile()};
    RecordedShell shell;
};

}  // namespace

TEST_F(MoreInfoDialogTest, ExecutableShowsItsIconPathAndBothTranslationsInTableOrder) {
    // A copy under a name with a comma and spaces, which must reach the Explorer as one path.
    std::string path = settings.folder / "Sample, version 2.exe";
    ASSERT_TRUE(CopyFileTo(HostPath(TIDYHOLD_VERSION_SAMPLE), path));
    MoreInfoDialog dialog(path);
    HWND window = Open(dialog);
    EXPECT_EQ(Text(window), "File Details");
    EXPECT_EQ(Text(GetDlgItem(window, IDC_MORE_INFO_PATH)), path);
    EXPECT_NE(Icon(window), nullptr);
    EXPECT_NE(Icon(window), information);  // its own

    HWND list = List(window);
    ASSERT_EQ(RowCount(list), 30);
    EXPECT_EQ(RowText(list, 0, 0), "Language");
    EXPECT_EQ(RowText(list, 0, 1), "0x0409 0x04E4");
    EXPECT_EQ(RowText(list, 13, 1), "0x0407 0x04E4");
    EXPECT_EQ(RowText(list, 17, 1), "Versionsmuster für Größen");  // "File description" of the German group
    EXPECT_EQ(RowText(list, 29, 0), "Size");
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), client.right / 3);
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), 2 * (client.right / 3));
    EXPECT_TRUE(Enabled(window, IDC_MORE_INFO_LIST));

    Click(window, IDC_MORE_INFO_BROWSE);
    Click(window, IDC_MORE_INFO_SEARCH);
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0].file, "explorer");
    EXPECT_EQ(shell.opened[0].parameters, "/select,\"" + path + "\"");
    EXPECT_EQ(shell.opened[0].owner, window);
    EXPECT_EQ(shell.opened[1].file, "https://www.google.com/search?q=Sample%2C%20version%202.exe");
    EXPECT_EQ(shell.opened[1].parameters, "");
    DestroyWindow(window);
}

TEST_F(MoreInfoDialogTest, MissingFileShowsOneRowDisablesBrowseAndStillSearches) {
    std::string path = settings.folder / "Ärger & Co.tmp";
    MoreInfoDialog dialog(path);
    HWND window = Open(dialog);
    EXPECT_EQ(Text(GetDlgItem(window, IDC_MORE_INFO_PATH)), path);
    EXPECT_EQ(Icon(window), information);
    HWND list = List(window);
    ASSERT_EQ(RowCount(list), 1);
    EXPECT_EQ(RowText(list, 0, 0), "");
    EXPECT_EQ(RowText(list, 0, 1), Language().Lookup("_FileIsNotExistInfo"));
    EXPECT_FALSE(Enabled(window, IDC_MORE_INFO_LIST));
    EXPECT_FALSE(Enabled(window, IDC_MORE_INFO_BROWSE));

    Click(window, IDC_MORE_INFO_BROWSE);  // disabled: nothing reaches the shell
    Click(window, IDC_MORE_INFO_SEARCH);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].file, "https://www.google.com/search?q=%C3%84rger%20%26%20Co.tmp");
    DestroyWindow(window);
}

TEST_F(MoreInfoDialogTest, ModalDialogEndsWithOkOrEscape) {
    std::string path = settings.folder / "plain.txt";
    WriteFile(path, "text");
    for (int button : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(button);
        int rows = -1;
        HICON icon = nullptr;
        NextDialog press([&](HWND window) {
            rows = RowCount(List(window));
            icon = Icon(window);
            Command(window, button);
        });
        MoreInfoDialog dialog(path);
        EXPECT_EQ(dialog.RunModal(settings.Host()), button);
        EXPECT_TRUE(press.Ran());
        EXPECT_EQ(rows, 4);  // no version resource: size and the three times
        EXPECT_EQ(icon, information);  // a text file has no icon to extract
    }
}
