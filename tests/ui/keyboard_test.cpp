#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/main_wizard.h"
#include "app/startup.h"
#include "app/web_links.h"
#include "app/wizard_navigation.h"
#include "res/resource.h"
#include "tests/support/file_tree.h"
#include "tests/support/scan_driver.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"
#include "ui/list_view.h"

namespace {

// The wizard driven by keys alone: each key is posted to the focus and every queued message goes
// through the message loop's own step, as in the running program.
class KeyboardWalk : public testing::Test {
protected:
    void SetUp() override {
        MakeFile(root / "old.tmp", 2048);
        ASSERT_TRUE(wizard.CreateModeless(nullptr));
        wizard.folderPage.FillRoots({root.Path()});  // unchecked: Space checks it below
        for (int option : {IDC_OPT_FIND_TEMP, IDC_OPT_FIND_IE_TEMP, IDC_OPT_FIND_RECENT, IDC_OPT_FIND_IE_HISTORY,
                           IDC_OPT_FIND_IE_COOKIES})
            SetChecked(wizard.optionsPage.Hwnd(), option, false);
        ShowWindow(wizard.Hwnd(), SW_SHOW);
        SetActiveWindow(wizard.Hwnd());
        Drain();
    }
    void TearDown() override {
        held.Release();
        if (wizard.Hwnd()) DestroyWindow(wizard.Hwnd());
        PumpMessages();
    }
    void Drain() {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT) StepMessage(wizard.Hwnd(), message);
    }
    void Key(WPARAM key, bool shift = false) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        HWND focus = GetFocus();
        UINT scan = MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        PostMessageA(focus, WM_KEYDOWN, key, 1 | (scan << 16));
        PostMessageA(focus, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000);
        Drain();
        state[VK_SHIFT] = 0;
        SetKeyboardState(state);
    }
    // Alt and a letter, as the keyboard driver reports it once translated.
    void AltKey(char letter) {
        PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 1 | (1 << 29));
        Drain();
    }
    void FocusTo(HWND control) { SendMessageA(wizard.Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE); }
    HWND Button(int id) { return GetDlgItem(wizard.Hwnd(), id); }
    bool FocusOn(HWND page) { return GetFocus() && IsChild(page, GetFocus()); }

    SettingsFixture settings;
    ScopedLanguage language{settings.folder, "_Next=&Next >\r\n_ReportPageStateCheckedSize=%d checked\r\n"};
    TempFolder root;
    HeldWorkers held;
    ScriptedMessageBoxes boxes;
    MainWizard wizard;
};

}  // namespace

TEST_F(KeyboardWalk, FromTheWelcomePageToTheReportByKeysAlone) {
    RecordedShell shell;
    ASSERT_EQ(wizard.CurrentPage(), kWelcomePage);
    EXPECT_EQ(GetFocus(), Button(IDC_WIZARD_NEXT));  // not Help, the first button in tab order

    Key(VK_RETURN);
    ASSERT_EQ(wizard.CurrentPage(), kFolderPage);
    HWND tree = GetDlgItem(wizard.folderPage.Hwnd(), IDC_FOLDER_TREE);
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), Button(IDC_WIZARD_CANCEL));
    Key(VK_TAB);  // round from the wizard's buttons into the page
    EXPECT_EQ(GetFocus(), tree);
    Key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), Button(IDC_WIZARD_CANCEL));
    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), tree);
    EXPECT_TRUE(wizard.folderPage.CheckedFolders().empty());
    Key(VK_DOWN);  // the root is the only item: the arrow selects it and stays
    Key(VK_SPACE);
    EXPECT_EQ(wizard.folderPage.CheckedFolders(), std::vector<std::string>{root.Path() + "\\"});
    Key(VK_F1);  // the Help button's, also from inside a page; a key held down opens it once
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_F1, 1 | (1 << 30));
    Drain();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].file, kHelpPage);

    Key(VK_RETURN);  // Enter in the tree is the wizard's Next
    ASSERT_EQ(wizard.CurrentPage(), kJunkFilesPage);
    EXPECT_TRUE(FocusOn(wizard.junkFilesPage.Hwnd()));  // the focus left the hidden page
    AltKey('n');
    ASSERT_EQ(wizard.CurrentPage(), kOptionsPage);
    EXPECT_EQ(GetFocus(), Button(IDC_WIZARD_NEXT));
    Key(VK_RETURN);
    ASSERT_EQ(wizard.CurrentPage(), kSkipFoldersPage);
    Key(VK_RETURN);
    ASSERT_EQ(wizard.CurrentPage(), kScanPage);  // the worker is held before its first line
    EXPECT_TRUE(FocusOn(wizard.scanPage.Hwnd()));

    Key(VK_RETURN);  // Next is off while the scan runs: Enter does nothing else
    EXPECT_EQ(wizard.CurrentPage(), kScanPage);
    Key(VK_ESCAPE);  // Cancel, which refuses while the scan runs
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "_ExitProramRequestCancelScanThread");
    EXPECT_TRUE(IsWindow(wizard.Hwnd()));

    held.Release();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Button(IDC_WIZARD_NEXT)) != FALSE; }));
    ASSERT_TRUE(GetFocus() && IsWindowVisible(GetFocus()) && IsWindowEnabled(GetFocus()));
    Key(VK_RETURN);
    ASSERT_EQ(wizard.CurrentPage(), kReportPage);
    HWND list = GetDlgItem(wizard.reportPage.Hwnd(), IDC_REPORT_LIST);
    ASSERT_EQ(GetFocus(), list);
    ASSERT_EQ(RowCount(list), 1);
    Key(VK_DOWN);
    EXPECT_EQ(SelectedRow(list), 0);
    Key(VK_SPACE);
    EXPECT_FALSE(RowChecked(list, 0));
    EXPECT_EQ(Text(GetDlgItem(wizard.reportPage.Hwnd(), IDC_REPORT_CHECKED)), "0 checked");
    Key(VK_SPACE);
    EXPECT_TRUE(RowChecked(list, 0));
    EXPECT_EQ(Text(GetDlgItem(wizard.reportPage.Hwnd(), IDC_REPORT_CHECKED)), "1 checked");
}

TEST_F(KeyboardWalk, EnterOnAPageButtonPressesThatButtonEvenWithNextsIdAndTheLastPageFinishes) {
    Key(VK_RETURN);
    ASSERT_EQ(wizard.CurrentPage(), kFolderPage);
    wizard.folderPage.FillRoots({root.Path()});
    HWND selectAll = GetDlgItem(wizard.folderPage.Hwnd(), IDC_FOLDER_SELECT_ALL);
    FocusTo(selectAll);
    ASSERT_EQ(GetFocus(), selectAll);
    Key(VK_RETURN);  // the page's own button, not the wizard's Next
    EXPECT_EQ(wizard.CurrentPage(), kFolderPage);
    EXPECT_EQ(wizard.folderPage.CheckedFolders(), std::vector<std::string>{root.Path() + "\\"});
    FocusTo(Button(IDC_WIZARD_NEXT));

    // The junk page's Delete shares its id with the wizard's Next: Enter on it deletes and stays.
    Key(VK_RETURN);
    ASSERT_EQ(wizard.CurrentPage(), kJunkFilesPage);
    HWND masks = GetDlgItem(wizard.junkFilesPage.Hwnd(), IDC_JUNK_LIST);
    int before = RowCount(masks);
    ASSERT_GT(before, 0);
    SelectRow(masks, 0);
    HWND remove = GetDlgItem(wizard.junkFilesPage.Hwnd(), IDC_JUNK_DELETE);
    FocusTo(remove);
    ASSERT_EQ(GetFocus(), remove);
    Key(VK_RETURN);
    EXPECT_EQ(wizard.CurrentPage(), kJunkFilesPage);
    EXPECT_EQ(RowCount(masks), before - 1);

    wizard.ShowPage(kResultsPage);
    wizard.UpdateButtons(kResultsPage);
    EXPECT_EQ(LOWORD(SendMessageA(wizard.Hwnd(), DM_GETDEFID, 0, 0)), IDC_WIZARD_CANCEL);  // Finish
    EXPECT_TRUE(IsWindowVisible(GetFocus()));
}

// Alt with a menu title's letter belongs to the menu, even where a page's control has that letter.
TEST(WizardMenuKeys, TheMenuBarsTitlesClaimTheirLettersAndNoOthers) {
    ScopedLanguage language{ShippedLanguageFile()};
    MainWizard wizard;
    ASSERT_TRUE(wizard.CreateModeless(nullptr));
    HMENU menu = GetMenu(wizard.Hwnd());
    for (wchar_t key : {L'f', L'F', L't', L'h'}) EXPECT_TRUE(MenuHasAccessKey(menu, key)) << static_cast<char>(key);
    for (wchar_t key : {L'x', L'n', L'&', L'\0'}) EXPECT_FALSE(MenuHasAccessKey(menu, key)) << static_cast<int>(key);
    EXPECT_FALSE(MenuHasAccessKey(nullptr, L'f'));
    DestroyWindow(wizard.Hwnd());
}
