#include "app/about_dialog.h"

#include "app/web_links.h"
#include "base/program_paths.h"
#include "base/version_info.h"
#include "res/resource.h"
#include "ui/language_table.h"

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT_DIALOG) {}

bool AboutDialog::OnInit() {
    CenterWindow(hwnd);
    Language().TranslateWindow(hwnd);
    SetDlgItemTextA(hwnd, IDC_ABOUT_THANKS_LIST, Language().Lookup("_Thankyoulist", true).c_str());
    std::string program = ProgramFilePath();
    SetDlgItemTextA(hwnd, IDC_ABOUT_APP_NAME, ReadVersionString(program, "ProductName").c_str());
    SetDlgItemTextA(hwnd, IDC_ABOUT_APP_VERSION, ReadVersionString(program, "ProductVersion").c_str());
    website.SetTarget(kHomePage);
    website.Attach(Item(IDC_ABOUT_WEBSITE));
    support.SetTarget(kSupportPage);
    support.Attach(Item(IDC_ABOUT_SUPPORT));
    // Enter closes the box, as users dismiss one; the first tab stop is a link, which Enter would open.
    SendMessageA(hwnd, DM_SETDEFID, IDCANCEL, 0);
    SendMessageA(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDCANCEL)), TRUE);
    return false;
}

bool AboutDialog::OnCommand(int id, int code) {
    static constexpr CommandRoute<AboutDialog> routes[] = {{IDCANCEL, &AboutDialog::OnCancel}};
    return Route(*this, routes, id, code);
}

void AboutDialog::OnCancel() { Close(IDCANCEL); }
