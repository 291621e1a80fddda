// Dialog 220: a found file's icon, path, version strings, size and times, and two shell actions.
#pragma once
#include <string>

#include "base/win_handles.h"
#include "scan/file_details.h"
#include "ui/dialog.h"

class MoreInfoDialog : public Dialog {
public:
    // searchText, when not empty, is searched for instead of the file name.
    explicit MoreInfoDialog(std::string path, std::string searchText = {});

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroyed() override;

private:
    void OnOk();
    void OnCancel();
    void OnSearch();
    void OnBrowse();
    void ShowIcon();
    void FillList();

    std::string path;
    std::string searchText;
    FileDetails details;
    UniqueIcon icon;  // the file's own icon, kept until the static that shows it is gone
};
