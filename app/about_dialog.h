// The About box: product name and version from the version resource, two links, the thanks.
#pragma once
#include "ui/dialog.h"
#include "ui/hyperlink_field.h"

class AboutDialog : public Dialog {
public:
    AboutDialog();

    HyperlinkField website;
    HyperlinkField support;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;

private:
    void OnCancel();
};
