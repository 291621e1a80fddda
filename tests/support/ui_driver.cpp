#include "tests/support/ui_driver.h"

#include <algorithm>
#include <vector>

#include "ui/dialog.h"
#include "ui/folder_browser.h"
#include "ui/language_table.h"

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

std::string Text(HWND window) { return WindowText(window); }

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

namespace {
NextDialog* pendingDialog = nullptr;

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            char name[16] = {};
            GetClassNameA(window, name, sizeof(name));
            if (std::string(name) == "#32770") reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}
}  // namespace

NextDialog::NextDialog(std::function<void(HWND)> action) : action(std::move(action)), before(ThreadDialogs()) {
    pendingDialog = this;
    timer = SetTimer(nullptr, 0, 20, Tick);
}

NextDialog::~NextDialog() {
    if (timer) KillTimer(nullptr, timer);
    if (pendingDialog == this) pendingDialog = nullptr;
}

void CALLBACK NextDialog::Tick(HWND, UINT, UINT_PTR, DWORD) {
    NextDialog* self = pendingDialog;
    if (!self || self->ran) return;
    for (HWND dialog : ThreadDialogs()) {
        if (std::find(self->before.begin(), self->before.end(), dialog) != self->before.end()) continue;
        // A modal loop shows its dialog once its queue is empty, which a due timer may come before.
        if (!IsWindowVisible(dialog)) continue;
        KillTimer(nullptr, self->timer);
        self->timer = 0;
        self->ran = true;
        self->action(dialog);
        return;
    }
}

ScriptedFolderBrowser::ScriptedFolderBrowser() : saved(FolderBrowserHandler()) {
    FolderBrowserHandler() = [this](HWND) -> std::optional<std::string> {
        ++shown;
        if (picks.empty()) return std::nullopt;
        std::optional<std::string> pick = picks.front();
        picks.pop_front();
        return pick;
    };
}

ScriptedFolderBrowser::~ScriptedFolderBrowser() { FolderBrowserHandler() = saved; }

RecordedShell::RecordedShell() : saved(ShellOpenHandler()) {
    ShellOpenHandler() = [this](HWND owner, const std::string& file, const std::string& parameters) {
        opened.push_back({owner, file, parameters});
        return opens;
    };
}

RecordedShell::~RecordedShell() { ShellOpenHandler() = saved; }
