#include "ui/wizard_page.h"

#include "ui/language_table.h"

void WizardPage::SetUpPage() {
    Language().TranslateWindow(hwnd);
    layout.Capture(hwnd, anchors);
}

bool WizardPage::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam, LRESULT& result) {
    if (message != WM_SIZE) return false;
    layout.Apply(LOWORD(lParam), HIWORD(lParam));
    result = 0;
    return true;
}
