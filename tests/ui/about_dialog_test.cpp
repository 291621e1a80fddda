#include <windows.h>

#include <gtest/gtest.h>

#include "app/about_dialog.h"
#include "app/main_wizard.h"
#include "app/web_links.h"
#include "base/program_paths.h"
#include "base/version_info.h"
#include "res/resource.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/ui_driver.h"

namespace {

class AboutDialogTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.CreateModeless(nullptr)); }
    void TearDown() override {
        if (dialog.Hwnd()) DestroyWindow(dialog.Hwnd());
    }
    std::vector<std::string> Opened() const {
        std::vector<std::string> files;
        for (const auto& open : shell.opened) files.push_back(open.file);
        return files;
    }
    // A press at `down` and a release at `up`, in the link control's client coordinates.
    void Drag(int id, POINT down, POINT up) {
        HWND link = dialog.Item(id);
        SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    }

    TempFolder folder;
    ScopedLanguage language{folder, "_Thankyoulist=Ann\\r\\nBob\\r\\nCyd\r\n_Websitelink=Home page\r\n"};
    RecordedShell shell;
    AboutDialog dialog;
};

}  // namespace

TEST_F(AboutDialogTest, ShowsTheVersionResourceAndOneThanksLinePerName) {
    std::string program = ProgramFilePath();
    EXPECT_EQ(Text(dialog.Item(IDC_ABOUT_APP_NAME)), ReadVersionString(program, "ProductName"));
    EXPECT_EQ(Text(dialog.Item(IDC_ABOUT_APP_VERSION)), ReadVersionString(program, "ProductVersion"));
    EXPECT_FALSE(Text(dialog.Item(IDC_ABOUT_APP_NAME)).empty());
    EXPECT_EQ(Text(dialog.Item(IDC_ABOUT_THANKS_LIST)), "Ann\r\nBob\r\nCyd");
    EXPECT_EQ(Text(dialog.Item(IDC_ABOUT_WEBSITE)), "Home page");
    EXPECT_EQ(Text(dialog.Item(IDC_ABOUT_SUPPORT)), "_Supportlink");  // no text: the key shows
}

TEST_F(AboutDialogTest, SpaceAndEnterOpenTheLinksWhichAreThenDrawnVisited) {
    EXPECT_EQ(dialog.website.TextColor(), RGB(0, 0, 255));
    SetFocus(dialog.Item(IDC_ABOUT_WEBSITE));
    SendMessageA(dialog.Item(IDC_ABOUT_WEBSITE), WM_CHAR, ' ', 0);
    EXPECT_EQ(Opened(), std::vector<std::string>{kHomePage});
    EXPECT_TRUE(dialog.website.Visited());
    EXPECT_EQ(dialog.website.TextColor(), RGB(128, 0, 128));
    EXPECT_FALSE(dialog.support.Visited());

    // Enter reaches the link, not the dialog's default button, through the dialog manager.
    HWND support = dialog.Item(IDC_ABOUT_SUPPORT);
    SetFocus(support);
    MSG enter{support, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(SendMessageA(support, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE);
    SendMessageA(support, WM_CHAR, '\r', 0);
    EXPECT_EQ(Opened(), (std::vector<std::string>{kHomePage, kSupportPage}));
    EXPECT_TRUE(dialog.support.Visited());
    EXPECT_TRUE(IsWindow(dialog.Hwnd()));
}

TEST_F(AboutDialogTest, AnOpenTheShellRefusesLeavesTheLinkUnvisited) {
    shell.opens = false;
    SendMessageA(dialog.Item(IDC_ABOUT_WEBSITE), WM_CHAR, ' ', 0);
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_FALSE(dialog.website.Visited());
    EXPECT_EQ(dialog.website.TextColor(), RGB(0, 0, 255));
}

TEST_F(AboutDialogTest, AClickOpensOnlyWhenPressAndReleaseAreBothOnTheLink) {
    RECT link = dialog.website.LinkRect();
    ASSERT_GT(link.right - link.left, 0);
    POINT inside{link.left + 2, link.top + 2};
    POINT outside{link.right + 5, link.top + 2};  // still over the control, past the text
    RECT client{};
    GetClientRect(dialog.Item(IDC_ABOUT_WEBSITE), &client);
    ASSERT_LT(outside.x, client.right);

    Drag(IDC_ABOUT_WEBSITE, inside, outside);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_NE(GetCapture(), dialog.Item(IDC_ABOUT_WEBSITE));  // the capture went with the release
    Drag(IDC_ABOUT_WEBSITE, outside, inside);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_FALSE(dialog.website.Visited());

    Drag(IDC_ABOUT_WEBSITE, inside, inside);
    EXPECT_EQ(Opened(), std::vector<std::string>{kHomePage});
    EXPECT_EQ(GetFocus(), dialog.Item(IDC_ABOUT_WEBSITE));
    EXPECT_TRUE(dialog.website.Visited());
}

// Keys typed into a second box as it runs modally, each handled as its own loop handles it.
TEST_F(AboutDialogTest, EnterAndEscapeCloseTheBoxAndEnterOpensALinkOnlyWithTheFocus) {
    auto typed = [&](std::vector<WPARAM> keys) {
        AboutDialog modal;
        NextDialog type([&](HWND box) {
            EXPECT_EQ(GetFocus(), GetDlgItem(box, IDCANCEL));
            for (WPARAM key : keys) {
                PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
                for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
                    if (IsDialogMessageA(box, &message)) continue;
                    TranslateMessage(&message);
                    DispatchMessageA(&message);
                }
            }
            if (IsWindowVisible(box)) EndDialog(box, IDOK);  // still open: an ended dialog hides at once
        });
        return modal.RunModal(nullptr);
    };
    EXPECT_EQ(typed({VK_RETURN}), IDCANCEL);
    EXPECT_EQ(typed({VK_ESCAPE}), IDCANCEL);
    EXPECT_EQ(typed({VK_TAB, VK_TAB, VK_TAB, VK_RETURN}), IDCANCEL);  // in the thanks list
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(typed({VK_TAB, VK_RETURN}), IDOK);
    EXPECT_EQ(Opened(), std::vector<std::string>{kHomePage});
}

TEST(WizardDialogsTest, ToolsAndHelpMenuItemsOpenTheirDialogs) {
    SettingsFixture settings;
    MainWizard wizard;
    ASSERT_TRUE(wizard.CreateModeless(nullptr));
    for (int command : {IDM_CLEAR_TYPED_URLS, IDM_ABOUT}) {
        SCOPED_TRACE(command);
        std::string title;
        NextDialog close([&](HWND dialog) {
            title = Text(dialog);
            Click(dialog, IDCANCEL);
        });
        Command(wizard.Hwnd(), command);
        EXPECT_TRUE(close.Ran());
        EXPECT_FALSE(title.empty());
    }
    DestroyWindow(wizard.Hwnd());
    PumpMessages();
}
