// Driving real windows the way a person would, and answering message boxes by script.
#pragma once
#include <windows.h>

#include <deque>
#include <string>

#include "app/message_box.h"

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
