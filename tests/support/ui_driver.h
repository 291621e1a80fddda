// Driving real windows the way a person would, and answering message boxes by script.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "ui/message_box.h"
#include "ui/shell_open.h"

void Click(HWND dialog, int id);
void Command(HWND window, int id);  // a menu item or a button press, as WM_COMMAND
void PumpMessages();                // delivers what is queued, dropping quit requests
std::string Text(HWND window);

// Replaces the message box for its lifetime: records each box and answers from the script.
class ScriptedMessageBoxes {
public:
    struct Shown {
        HWND owner;
        std::string text;
        std::string caption;
        UINT style;
    };
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes();
    void Answer(int result) { answers.push_back(result); }

    std::deque<Shown> shown;

private:
    std::deque<int> answers;
    MessageBoxFunction saved;
};

// Runs an action on the next dialog window this thread opens, from inside that dialog's own
// modal loop, as a person would fill it in and press its buttons.
class NextDialog {
public:
    explicit NextDialog(std::function<void(HWND dialog)> action);
    ~NextDialog();
    NextDialog(const NextDialog&) = delete;
    NextDialog& operator=(const NextDialog&) = delete;
    bool Ran() const { return ran; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::function<void(HWND)> action;
    std::vector<HWND> before;
    UINT_PTR timer = 0;
    bool ran = false;
};

// Replaces the folder browser for its lifetime with scripted picks (nothing: the user cancels).
class ScriptedFolderBrowser {
public:
    ScriptedFolderBrowser();
    ~ScriptedFolderBrowser();
    void Pick(std::optional<std::string> folder) { picks.push_back(std::move(folder)); }
    int shown = 0;

private:
    std::deque<std::optional<std::string>> picks;
    std::function<std::optional<std::string>(HWND)> saved;
};

// Replaces the shell's "open" for its lifetime: records what would have been opened, and answers
// as the shell would when it opened it, or, with opens false, when it could not.
class RecordedShell {
public:
    struct Opened {
        HWND owner;
        std::string file;
        std::string parameters;
    };
    RecordedShell();
    ~RecordedShell();
    RecordedShell(const RecordedShell&) = delete;
    RecordedShell& operator=(const RecordedShell&) = delete;

    std::vector<Opened> opened;
    bool opens = true;

private:
    ShellOpenFunction saved;
};
