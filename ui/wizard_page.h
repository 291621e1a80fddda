// A wizard page: a child dialog of the page area, created once, that translates itself and
// places its controls by its resize rules whenever the wizard sizes it.
#pragma once
#include <span>
#include <vector>

#include "base/win_handles.h"

#include "ui/dialog.h"
#include "ui/page_layout.h"

class WizardPage : public Dialog {
public:
    // The window goes before the pictures its statics show.
    ~WizardPage() override { DestroyNow(); }

protected:
    WizardPage(int templateId, std::span<const Anchor> anchors) : Dialog(templateId), anchors(anchors) {}

    // Translation and resize rules; pages that load data call this where their order needs it.
    void SetUpPage();
    bool OnInit() override {
        SetUpPage();
        return false;
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::span<const Anchor> anchors;
    PageLayout layout;
    std::vector<UniqueBitmap> pictures;
};
