#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"
#include "ui/language_table.h"

namespace {

class TranslationTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFile(folder / "Test.language",
                  "[String]\r\n_Title=Translated title\r\n_Label=first\\r\\nsecond\r\n_Inner=inner text\r\n"
                  "_File=&File\r\n_Exit=E&xit\r\n_Menu=Menu\\nline\r\n");
        table.SetFile(folder / "Test.language");
        window = CreateWindowExA(0, "STATIC", "_Title", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(window); }
    HWND Child(HWND parent, const char* text) {
        return CreateWindowExA(0, "STATIC", text, WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    }
    TempFolder folder;
    LanguageTable table;
    HWND window = nullptr;
};

}  // namespace

TEST_F(TranslationTest, TranslateWindowRewritesTheWholeTree) {
    HWND label = Child(window, "_Label");
    HWND group = Child(window, "List1");
    HWND inner = Child(group, "_Inner");
    HWND plain = Child(window, "C:\\temp");
    HWND escaped = Child(window, "one\\ntwo");  // not a key, yet written back with escapes expanded
    HWND empty = Child(window, "");
    table.TranslateWindow(window);
    EXPECT_EQ(Text(window), "Translated title");
    EXPECT_EQ(Text(label), "first\r\nsecond");
    EXPECT_EQ(Text(group), "List1");
    EXPECT_EQ(Text(inner), "inner text");
    EXPECT_EQ(Text(plain), "C:\\temp");
    EXPECT_EQ(Text(escaped), "one\ntwo");
    EXPECT_EQ(Text(empty), "");
}

TEST_F(TranslationTest, TranslateMenuRewritesItemsAndSubmenusButNotEscapes) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 2, "_Exit");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, 3, "_Menu");
    AppendMenuA(file, MF_STRING | MF_CHECKED, 4, "_Unknown");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "_File");
    table.TranslateMenu(bar);

    char text[64];
    GetMenuStringA(bar, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&File");
    GetMenuStringA(file, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "E&xit");
    EXPECT_EQ(GetMenuItemID(file, 0), 2u);
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    GetMenuStringA(file, 2, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "Menu\\nline");
    GetMenuStringA(file, 3, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "_Unknown");
    EXPECT_TRUE(GetMenuState(file, 3, MF_BYPOSITION) & MF_CHECKED);  // only the text changes
    DestroyMenu(bar);
    table.TranslateMenu(reinterpret_cast<HMENU>(window));  // not a menu: nothing happens
}
