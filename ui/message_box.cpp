#include "ui/message_box.h"

#include "base/text_format.h"
#include "ui/language_table.h"

MessageBoxFunction& MessageBoxHandler() {
    static MessageBoxFunction handler = [](HWND owner, const std::string& text, const std::string& caption,
                                           UINT style) {
        return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
    };
    return handler;
}

int ShowMessageText(HWND owner, const std::string& text, UINT buttons) {
    return MessageBoxHandler()(owner, text, Language().Lookup("_Tidyhold"), buttons | MB_ICONINFORMATION);
}

int ShowMessage(HWND owner, std::string_view textKey, UINT buttons) {
    return ShowMessageText(owner, Language().Lookup(textKey), buttons);
}

void ShowFailure(HWND owner, const std::string& what) {
    std::string text = FormatText(Language().Lookup("_UnexpectedError"), {what});
    if (text.find(what) == std::string::npos) text += "\r\n\r\n" + what;  // a text without its %s loses nothing
    ShowMessageText(owner, text);
}
