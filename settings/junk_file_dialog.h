// Adds or edits one junk-file mask and its description.
#pragma once
#include <string>

#include "ui/dialog.h"

class JunkFileDialog : public Dialog {
public:
    JunkFileDialog(std::string captionKey, std::string mask, std::string description);

    std::string mask;
    std::string description;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;

private:
    void OnOk();
    void OnCancel();
    std::string captionKey;
};
