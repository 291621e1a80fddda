// A static control made a link: underlined, hand cursor, tooltip, opened by click, Enter or Space.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/win_handles.h"

inline constexpr const char* kLinkColorsKey = "Software\\Microsoft\\Internet Explorer\\Settings";

struct LinkColors {
    COLORREF link = RGB(0, 0, 255);
    COLORREF visited = RGB(128, 0, 128);
};
// "r,g,b" in decimal, blanks allowed around each number; nothing for any other text.
std::optional<COLORREF> ParseColorText(std::string_view text);
// The browser's "Anchor Color" and "Anchor Color Visited"; a missing or unreadable value keeps its default.
LinkColors ReadLinkColors(HKEY root, const std::string& key);

class HyperlinkField {
public:
    HyperlinkField() = default;
    ~HyperlinkField();
    HyperlinkField(const HyperlinkField&) = delete;
    HyperlinkField& operator=(const HyperlinkField&) = delete;

    void SetTarget(std::string address) { target = std::move(address); }
    // Takes over the control's messages; its current text becomes the label.
    bool Attach(HWND control);

    bool Visited() const { return visited; }
    COLORREF TextColor() const { return visited ? colors.visited : colors.link; }
    // The area of the drawn label, in the control's client coordinates.
    RECT LinkRect() const { return linkRect; }
    HWND Tooltip() const { return tooltip; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();
    void Measure();
    void Paint();
    void Open();
    bool InLink(LPARAM clientPoint) const;
    UINT DrawFlags() const;

    HWND control = nullptr;
    WNDPROC original = nullptr;
    std::string target;
    std::string label;
    RECT linkRect{};
    UniqueFont font;  // the control's font, underlined
    HCURSOR hand = nullptr;
    HWND tooltip = nullptr;
    LinkColors colors;
    bool visited = false;
    bool pressed = false;
};
