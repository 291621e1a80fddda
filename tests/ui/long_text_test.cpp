#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "settings/junk_files_page.h"
#include "settings/skip_folders_page.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/ui_driver.h"
#include "ui/dialog.h"
#include "ui/list_view.h"

namespace {

std::string Repeat(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

// Texts whose UTF-8 form is longer than their UTF-16 form, cut at every length around the old
// 256-byte reads: a character straddles the buffer's end in some of them.
std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (int letters : {84, 85, 86, 90, 120}) texts.push_back("D:\\xy" + Repeat("\xE6\x97\xA5", letters));  // 日
    texts.push_back(Repeat("d\xC3\xA9", 101));                                                                  // dé: 302 bytes
    texts.push_back(Repeat("\xF0\x9F\x93\x81", 70));  // a letter outside the basic plane
    return texts;
}

}  // namespace

TEST(LongTextTest, ListRowsAndEditBoxesComeBackWhole) {
    SettingsFixture settings;
    JunkFilesPage page;
    ASSERT_TRUE(page.CreateModeless(settings.Host()));
    HWND list = GetDlgItem(page.Hwnd(), IDC_JUNK_LIST);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 100, 20, page.Hwnd(), nullptr,
                                nullptr, nullptr);
    for (const std::string& text : Texts()) {
        SCOPED_TRACE(text.size());
        int row = AppendRow(list, {text, text});
        EXPECT_EQ(RowText(list, row, 0), text);
        EXPECT_EQ(RowText(list, row, 1), text);
        SetWindowTextA(edit, text.c_str());
        EXPECT_EQ(WindowText(edit), text);
    }
    DestroyWindow(page.Hwnd());
}

TEST(LongTextTest, ALongSkipEntryNeitherSkipsItsShorterSiblingNorIsStoredCut) {
    SettingsFixture settings;
    std::string longFolder = "D:\\xy" + Repeat("\xE6\x97\xA5", 90);
    {
        SkipFoldersPage page;
        ASSERT_TRUE(page.CreateModeless(settings.Host()));
        HWND list = GetDlgItem(page.Hwnd(), IDC_SKIP_LIST);
        ListView_DeleteAllItems(list);
        SetRowChecked(list, AppendRow(list, {longFolder}), true);
        EXPECT_EQ(page.CheckedFolders(), std::vector<std::string>{longFolder});
        DestroyWindow(page.Hwnd());  // stores its list
    }
    std::vector<ListRow> stored = settings.StoredList(ListSection::SkipFolders);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].text, longFolder);
}
