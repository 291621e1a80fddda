#include "app/startup.h"

#include <commctrl.h>

#include <memory>

#include "app/main_wizard.h"
#include "base/com_ptr.h"
#include "base/failure.h"
#include "base/program_paths.h"
#include "base/xml_document.h"
#include "res/resource.h"
#include "ui/language_table.h"
#include "ui/message_box.h"
#include "ui/skin_library.h"

InstanceGuard::InstanceGuard()
    : mutex(CreateMutexA(nullptr, FALSE, "{7ECC0C75-C524-46f0-BECC-05DB5D441FC8}")) {
    // Without a mutex the program still runs, just without the guarantee.
    alreadyExists = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
}

bool RestartsIdle(UINT message) {
    constexpr UINT kCaretBlinkTimer = 0x0118;  // WM_SYSTIMER, which the headers leave out
    return message != WM_MOUSEMOVE && message != WM_NCMOUSEMOVE && message != WM_PAINT && message != kCaretBlinkTimer;
}

namespace {

// The dialog manager sends Enter on a focused button to the wizard as that button's id, which is no
// command of the wizard's when the button sits on a page: the page's own button is clicked instead.
bool PressedPageButton(HWND wizard, const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
    HWND focus = GetFocus();
    if (!focus || focus != message.hwnd || GetParent(focus) == wizard || !IsChild(wizard, focus)) return false;
    if (!(SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) return false;
    SendMessageA(focus, BM_CLICK, 0, 0);
    return true;
}

// Alt and a letter that a menu title underlines opens that menu: the dialog manager would press a
// page's control with the same letter first, and the menu could not be reached by its letter.
bool OpenedMenu(HWND wizard, const MSG& message) {
    if (message.message != WM_SYSCHAR || (message.hwnd != wizard && !IsChild(wizard, message.hwnd))) return false;
    if (!MenuHasAccessKey(GetMenu(wizard), static_cast<wchar_t>(message.wParam))) return false;
    SendMessageA(wizard, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(message.wParam));
    return true;
}

// F1 anywhere in the wizard, a page's control included, is its Help button; a held key opens once.
bool PressedHelp(HWND wizard, const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_F1) return false;
    if (message.hwnd != wizard && !IsChild(wizard, message.hwnd)) return false;
    constexpr LPARAM kRepeat = 1 << 30;  // the key was down before this message
    if (!(message.lParam & kRepeat)) SendMessageA(wizard, WM_COMMAND, MAKEWPARAM(IDC_WIZARD_HELP, BN_CLICKED), 0);
    return true;
}

}  // namespace

bool MenuHasAccessKey(HMENU menu, wchar_t key) {
    auto upper = [](wchar_t c) {
        CharUpperBuffW(&c, 1);
        return c;
    };
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int item = 0; item < count; ++item) {
        wchar_t text[256] = {};
        if (GetMenuStringW(menu, static_cast<UINT>(item), text, 256, MF_BYPOSITION) <= 0) continue;
        for (const wchar_t* c = text; *c; ++c) {
            if (*c != L'&') continue;
            if (c[1] == L'&') {
                ++c;  // "&&" is a plain ampersand
                continue;
            }
            if (c[1] && upper(c[1]) == upper(key)) return true;
            break;
        }
    }
    return false;
}

void StepMessage(HWND wizard, MSG& message) {
    if (wizard && IsWindow(wizard)) {
        if (PressedHelp(wizard, message) || PressedPageButton(wizard, message) || OpenedMenu(wizard, message) ||
            IsDialogMessageA(wizard, &message))
            return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

int RunWizard(int showCommand) {
    auto wizard = std::make_unique<MainWizard>();
    if (!wizard->CreateModeless(nullptr)) return 0;
    ShowWindow(wizard->Hwnd(), showCommand);

    HWND window = wizard->Hwnd();
    MSG message{};
    bool idle = true;
    for (;;) {
        while (idle && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) idle = false;  // no idle handlers
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) continue;
        if (got == 0) break;
        StepMessage(window, message);
        if (RestartsIdle(message.message)) idle = true;
    }
    return static_cast<int>(message.wParam);
}

int RunProgram(HINSTANCE /*instance: resources load from the program's own module*/, int showCommand) {
    InstanceGuard instance;
    if (instance.AnotherInstanceRuns()) return 0;

    ComApartment com;
    FailureReporter() = &ShowFailure;
    std::string base = ProgramFolder() + "\\" + ProgramBaseName();
    Skin().Initialise();
    Skin().LoadSkinFile(base + ".smf");
    Language().SetFile(base + ".language");

    if (!CreateXmlDocument()) {
        // Left to process exit on this path: the skin library, COM and the mutex.
        ShowMessage(nullptr, "_NotInstallXML2");
        ExitProcess(0);
    }

    // Bars and cool bars, and the list, tree and progress classes the page templates use.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    int exitCode = RunWizard(showCommand);

    Skin().Exit();
    return exitCode;  // COM, then the mutex, close as their owners go
}
