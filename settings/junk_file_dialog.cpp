#include "settings/junk_file_dialog.h"

#include "res/resource.h"
#include "ui/language_table.h"
#include "ui/message_box.h"

JunkFileDialog::JunkFileDialog(std::string captionKey, std::string mask, std::string description)
    : Dialog(IDD_JUNK_FILE_DIALOG),
      mask(std::move(mask)),
      description(std::move(description)),
      captionKey(std::move(captionKey)) {}

bool JunkFileDialog::OnInit() {
    CenterWindow(hwnd);
    if (!captionKey.empty()) SetWindowTextA(hwnd, captionKey.c_str());
    // The edits are filled after the translation: a mask or description is the user's text, not
    // a key, and a typed \n in it stays as typed.
    Language().TranslateWindow(hwnd);
    if (!mask.empty()) SetDlgItemTextA(hwnd, IDC_JUNK_DIALOG_MASK, mask.c_str());
    if (!description.empty()) SetDlgItemTextA(hwnd, IDC_JUNK_DIALOG_DESCRIPTION, description.c_str());
    SetFocus(Item(IDC_JUNK_DIALOG_MASK));
    return false;
}

bool JunkFileDialog::OnCommand(int id, int code) {
    static constexpr CommandRoute<JunkFileDialog> routes[] = {
        {IDOK, &JunkFileDialog::OnOk},
        {IDCANCEL, &JunkFileDialog::OnCancel},
    };
    return Route(*this, routes, id, code);
}

void JunkFileDialog::OnOk() {
    std::string typedMask = ItemText(hwnd, IDC_JUNK_DIALOG_MASK);
    std::string typedDescription = ItemText(hwnd, IDC_JUNK_DIALOG_DESCRIPTION);
    if (typedMask.empty()) {  // blanks count: a mask is not trimmed
        ShowMessage(hwnd, "_JunkFileNameIsNULL");
        return;
    }
    mask = std::move(typedMask);
    description = std::move(typedDescription);
    Close(IDOK);
}

void JunkFileDialog::OnCancel() { Close(IDCANCEL); }
