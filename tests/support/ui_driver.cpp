#include "tests/support/ui_driver.h"

#include <vector>

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Command(HWND window, int id) { SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string Text(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(window, buffer.data(), length + 1);
    return buffer.data();
}

ScriptedMessageBoxes::ScriptedMessageBoxes() : saved(MessageBoxHandler()) {
    MessageBoxHandler() = [this](HWND owner, const std::string& text, const std::string& caption, UINT style) {
        shown.push_back({owner, text, caption, style});
        if (answers.empty()) return IDOK;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    };
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() { MessageBoxHandler() = saved; }
