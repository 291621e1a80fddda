#include "ui/wizard_page.h"

#include "ui/language_table.h"
#include "ui/screen_scale.h"

void WizardPage::SetUpPage() {
    Language().TranslateWindow(hwnd);
    pictures = FitPictures(hwnd);
    layout.Capture(hwnd, anchors);
}

bool WizardPage::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam, LRESULT& result) {
    if (message != WM_SIZE) return false;
    layout.Apply(LOWORD(lParam), HIWORD(lParam));
    result = 0;
    return true;
}
