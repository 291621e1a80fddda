// Test entry: COM and common controls as the program sets them up, then GoogleTest.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "base/com_ptr.h"
#include "base/failure.h"
#include "ui/message_box.h"

int main(int argc, char** argv) {
    ComApartment com;
    FailureReporter() = &ShowFailure;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
