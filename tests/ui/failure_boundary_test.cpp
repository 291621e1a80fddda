#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "res/resource.h"
#include "tests/support/ui_driver.h"
#include "ui/dialog.h"

namespace {

class ThrowingDialog : public Dialog {
public:
    ThrowingDialog() : Dialog(IDD_WELCOME_PAGE) {}
    int handled = 0;

protected:
    bool OnCommand(int id, int /*code*/) override {
        if (id == IDOK) throw std::runtime_error("the handler broke");
        ++handled;
        return true;
    }
};

}  // namespace

TEST(FailureBoundaryTest, AnExceptionInAHandlerIsShownOverTheTopWindowAndTheWindowLivesOn) {
    ScriptedMessageBoxes boxes;
    HWND top = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    HWND area = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 400, 300, top, nullptr, nullptr, nullptr);
    ThrowingDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(area));

    Command(dialog.Hwnd(), IDOK);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].owner, top);
    EXPECT_NE(boxes.shown[0].text.find("the handler broke"), std::string::npos) << boxes.shown[0].text;

    Command(dialog.Hwnd(), IDCANCEL);
    EXPECT_EQ(dialog.handled, 1);
    DestroyWindow(top);
}
