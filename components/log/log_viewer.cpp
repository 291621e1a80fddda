#include "components/log/log_viewer.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "components/log/record_store.h"
#include "components/log/viewer_ids.h"
#include "components/log/viewer_language.h"

namespace {

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    int length = static_cast<int>(utf8.size());
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, out.data(), size);
    return out;
}

std::wstring Lowered(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

constexpr int kColumns = 5;  // time, type, category, action, source

struct Text {
    const wchar_t* key;
    const wchar_t* english;
};
constexpr Text kCaption{L"_LogViewerCaption", L"Log"};
constexpr struct {
    int id;
    Text text;
} kControlTexts[] = {
    {IDC_LOG_SEARCH_LABEL, {L"_LogViewerSearch", L"&Search:"}},
    {IDC_LOG_REFRESH, {L"_LogViewerRefresh", L"&Refresh"}},
    {IDCANCEL, {L"_LogViewerClose", L"Close"}},
};
constexpr Text kHeadings[kColumns] = {{L"_LogViewerTime", L"Time"},         {L"_LogViewerType", L"Type"},
                                      {L"_LogViewerCategory", L"Category"}, {L"_LogViewerAction", L"Action"},
                                      {L"_LogViewerSource", L"Source"}};

struct Row {
    std::wstring cells[kColumns];
    std::wstring text;
    std::wstring haystack;  // every text of the record, lower case, for the search box; the text last
};

// A line of the shown record's text. A record of a big cleaning has a line per file, and an edit box
// given all of them at once took seconds, so the text pane is an owner-data list of lines. The
// viewer draws them itself: a list view shows only the first 260 characters of an item's text, and
// a path may be longer.
struct Line {
    size_t start, length;
};

int LinePadding() { return 2 * GetSystemMetrics(SM_CXEDGE); }

// Lines end at CR LF, and at a lone CR or LF as well.
std::vector<Line> SplitLines(const std::wstring& text) {
    std::vector<Line> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) break;
        lines.push_back({start, end - start});
        start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
    }
    lines.push_back({start, text.size() - start});
    return lines;
}

class Viewer {
public:
    explicit Viewer(std::wstring folder) : folder(std::move(folder)) {}
    static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);

private:
    void OnInit();
    void Load();
    void Filter();
    void ShowSelected();
    void FitLineColumn();
    void SizeLineColumn();
    void DrawLine(const DRAWITEMSTRUCT& item);
    void CopyLines();
    void Layout();
    bool OnCommand(int id, int code);
    bool OnNotify(NMHDR& header);
    std::wstring_view LineText(size_t line) const;

    HWND hwnd = nullptr;
    HWND list = nullptr;
    HWND textList = nullptr;
    std::wstring folder;
    std::wstring needle;      // the search box's text, lower case
    std::vector<Row> rows;    // newest first
    std::vector<int> shown;   // indices into rows that pass the search
    int linesOf = -1;         // the row whose text the lines are of
    std::vector<Line> lines;
    int lineWidth = 0;        // pixels: the widest line and its padding
    bool filtering = false;   // the list's selection changes while the search runs
};

std::wstring_view Viewer::LineText(size_t line) const {
    if (linesOf < 0 || line >= lines.size()) return {};
    return std::wstring_view(rows[linesOf].text).substr(lines[line].start, lines[line].length);
}

void Viewer::OnInit() {
    list = GetDlgItem(hwnd, IDC_LOG_LIST);
    textList = GetDlgItem(hwnd, IDC_LOG_TEXT);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    const ViewerLanguage language;
    SetWindowTextW(hwnd, language.Text(kCaption.key, kCaption.english).c_str());
    for (const auto& control : kControlTexts)
        SetDlgItemTextW(hwnd, control.id, language.Text(control.text.key, control.text.english).c_str());
    static const int widths[kColumns] = {120, 80, 140, 120, 90};  // pixels at 96 DPI
    int dpi = 96;
    if (HDC dc = GetDC(list)) {
        dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(list, dc);
    }
    for (int i = 0; i < kColumns; ++i) {
        std::wstring heading = language.Text(kHeadings[i].key, kHeadings[i].english);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = heading.data();
        column.cx = MulDiv(widths[i], dpi, 96);
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    LVCOLUMNW lineColumn{};
    lineColumn.mask = LVCF_WIDTH;
    SendMessageW(textList, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&lineColumn));
    Load();
    Layout();
}

void Viewer::Load() {
    std::vector<LogRecord> records = ReadRecords(folder);
    linesOf = -1;  // before the rows go: a paint while they are rebuilt draws nothing
    lines.clear();
    rows.clear();
    rows.reserve(records.size());
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        Row row;
        row.cells[0] = Wide(FormatTime(record->local));
        row.cells[1] = Wide(record->type);
        row.cells[2] = Wide(record->category);
        row.cells[3] = Wide(record->action);
        row.cells[4] = Wide(record->source);
        row.text = Wide(record->text);
        std::wstring all;
        for (const auto& cell : row.cells) all += cell + L'\n';
        row.haystack = Lowered(all + row.text);
        rows.push_back(std::move(row));
    }
    Filter();
}

void Viewer::Filter() {
    wchar_t buffer[512] = {};
    GetDlgItemTextW(hwnd, IDC_LOG_SEARCH, buffer, static_cast<int>(std::size(buffer)));
    needle = Lowered(buffer);
    shown.clear();
    for (size_t i = 0; i < rows.size(); ++i)
        if (needle.empty() || rows[i].haystack.find(needle) != std::wstring::npos) shown.push_back(static_cast<int>(i));
    filtering = true;  // one showing at the end, not one per selection change
    ListView_SetItemCountEx(list, static_cast<int>(shown.size()), 0);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (!shown.empty()) {
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, 0, FALSE);
    }
    filtering = false;
    InvalidateRect(list, nullptr, TRUE);
    ShowSelected();
}

// The selected record's lines, scrolled to the first line that holds the search text.
void Viewer::ShowSelected() {
    int item = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    int row = item >= 0 && item < static_cast<int>(shown.size()) ? shown[item] : -1;
    if (row != linesOf) {
        linesOf = row;
        lines = row < 0 ? std::vector<Line>() : SplitLines(rows[row].text);
        ListView_SetItemCountEx(textList, static_cast<int>(lines.size()), 0);
        FitLineColumn();
    }
    ListView_SetItemState(textList, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    int line = 0;
    if (row >= 0 && !needle.empty()) {
        // The lower-case text ends the haystack, each character in its place.
        const Row& shownRow = rows[row];
        size_t at = shownRow.haystack.find(needle, shownRow.haystack.size() - shownRow.text.size());
        if (at != std::wstring::npos) {
            at -= shownRow.haystack.size() - shownRow.text.size();
            auto after = std::upper_bound(lines.begin(), lines.end(), at,
                                          [](size_t offset, const Line& l) { return offset < l.start; });
            line = static_cast<int>(after - lines.begin()) - 1;
            ListView_SetItemState(textList, line, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
    if (!lines.empty()) ListView_EnsureVisible(textList, line, FALSE);
    InvalidateRect(textList, nullptr, TRUE);
}

// Wide enough for the widest line, measured among the longest few by characters: measuring every
// line of a big record would take seconds.
void Viewer::FitLineColumn() {
    constexpr size_t kMeasured = 64;
    std::vector<size_t> longest(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) longest[i] = i;
    size_t measured = std::min(kMeasured, longest.size());
    std::nth_element(longest.begin(), longest.begin() + measured, longest.end(),
                     [this](size_t a, size_t b) { return lines[a].length > lines[b].length; });
    int widest = 0;
    HDC dc = GetDC(textList);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(textList, WM_GETFONT, 0, 0)));
    for (size_t i = 0; i < measured; ++i) {
        std::wstring_view text = LineText(longest[i]);
        RECT need{};
        DrawTextW(dc, text.data(), static_cast<int>(text.size()), &need,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
        widest = std::max(widest, static_cast<int>(need.right));
    }
    SelectObject(dc, font);
    ReleaseDC(textList, dc);
    lineWidth = widest + 2 * LinePadding();
    SizeLineColumn();
}

// At least as wide as the pane, so a selected line is marked across it.
void Viewer::SizeLineColumn() {
    RECT client{};
    GetClientRect(textList, &client);
    ListView_SetColumnWidth(textList, 0, std::max(static_cast<int>(client.right), lineWidth));
}

void Viewer::DrawLine(const DRAWITEMSTRUCT& item) {
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    bool active = GetFocus() == textList;
    int back = !selected ? COLOR_WINDOW : active ? COLOR_HIGHLIGHT : COLOR_BTNFACE;
    int fore = !selected ? COLOR_WINDOWTEXT : active ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(back));
    std::wstring_view text = LineText(item.itemID);
    RECT place = item.rcItem;
    place.left += LinePadding();
    HGDIOBJ font = SelectObject(item.hDC, reinterpret_cast<HFONT>(SendMessageW(textList, WM_GETFONT, 0, 0)));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(fore));
    DrawTextW(item.hDC, text.data(), static_cast<int>(text.size()), &place,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(item.hDC, font);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

// Ctrl+C in the text pane: its selected lines, one per line (Ctrl+A selects them all).
void Viewer::CopyLines() {
    std::wstring copied;
    for (int i = ListView_GetNextItem(textList, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(textList, i, LVNI_SELECTED))
        (copied += LineText(static_cast<size_t>(i))) += L"\r\n";
    if (copied.empty() || !OpenClipboard(hwnd)) return;  // nothing selected, or another program holds it
    EmptyClipboard();
    size_t bytes = (copied.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (void* place = memory ? GlobalLock(memory) : nullptr) {
        memcpy(place, copied.c_str(), bytes);
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory)) memory = nullptr;  // the clipboard owns it now
    }
    if (memory) GlobalFree(memory);
    CloseClipboard();
}

// Search row on top, the list over three fifths of the rest, the text below it, Close at the bottom.
void Viewer::Layout() {
    RECT units{7, 12, 57, 14};  // margin, edit height, button width, button height
    MapDialogRect(hwnd, &units);
    const int margin = units.left, editHeight = units.top, buttonWidth = units.right, buttonHeight = units.bottom;
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right, height = client.bottom;
    RECT label{7, 9, 37, 17};
    MapDialogRect(hwnd, &label);
    auto place = [this](int id, int x, int y, int w, int h) {
        SetWindowPos(GetDlgItem(hwnd, id), nullptr, x, y, w > 0 ? w : 0, h > 0 ? h : 0, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    int top = margin;
    place(IDC_LOG_SEARCH_LABEL, margin, top + 2, label.right - label.left, label.bottom - label.top);
    int searchLeft = margin + (label.right - label.left) + margin / 2;
    place(IDC_LOG_SEARCH, searchLeft, top, width - searchLeft - 2 * margin - buttonWidth, editHeight);
    place(IDC_LOG_REFRESH, width - margin - buttonWidth, top - 1, buttonWidth, buttonHeight);
    int listTop = top + buttonHeight + margin;
    int bottom = height - margin - buttonHeight - margin;
    int listHeight = (bottom - listTop - margin) * 3 / 5;
    place(IDC_LOG_LIST, margin, listTop, width - 2 * margin, listHeight);
    int textTop = listTop + listHeight + margin;
    place(IDC_LOG_TEXT, margin, textTop, width - 2 * margin, bottom - textTop);
    place(IDCANCEL, width - margin - buttonWidth, height - margin - buttonHeight, buttonWidth, buttonHeight);
    SizeLineColumn();
}

bool Viewer::OnCommand(int id, int code) {
    switch (id) {
    case IDCANCEL:  // Close, Escape and the caption's close button
        EndDialog(hwnd, IDCANCEL);
        return true;
    case IDOK:  // Enter: from the search box on to the list
        if (GetFocus() == GetDlgItem(hwnd, IDC_LOG_SEARCH))
            SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        return true;
    case IDC_LOG_REFRESH:
        Load();
        return true;
    case IDC_LOG_SEARCH:
        if (code == EN_CHANGE) Filter();
        return true;
    default:
        return false;
    }
}

bool Viewer::OnNotify(NMHDR& header) {
    if (header.idFrom == IDC_LOG_TEXT) {
        if (header.code == LVN_GETDISPINFOW) {  // drawn by the viewer; asked for by readers of the list
            auto& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
            if ((item.mask & LVIF_TEXT) && item.cchTextMax > 0 && item.iItem >= 0) {
                std::wstring_view text = LineText(static_cast<size_t>(item.iItem));
                size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
                text.copy(item.pszText, length);
                item.pszText[length] = L'\0';
            }
            return true;
        }
        if (header.code == LVN_KEYDOWN && GetKeyState(VK_CONTROL) < 0) {
            WORD key = reinterpret_cast<NMLVKEYDOWN&>(header).wVKey;
            if (key == 'A') ListView_SetItemState(textList, -1, LVIS_SELECTED, LVIS_SELECTED);
            if (key == 'C') CopyLines();
            return true;
        }
        return false;
    }
    if (header.idFrom != IDC_LOG_LIST) return false;
    if (header.code == LVN_GETDISPINFOW) {
        auto& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if ((item.mask & LVIF_TEXT) && item.cchTextMax > 0 && item.iItem >= 0 &&
            item.iItem < static_cast<int>(shown.size()) && item.iSubItem >= 0 && item.iSubItem < kColumns)
            lstrcpynW(item.pszText, rows[shown[item.iItem]].cells[item.iSubItem].c_str(), item.cchTextMax);
        return true;
    }
    if (header.code == LVN_ITEMCHANGED) {
        auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if (((change.uNewState ^ change.uOldState) & LVIS_SELECTED) && !filtering) ShowSelected();
        return true;
    }
    return false;
}

INT_PTR CALLBACK Viewer::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<Viewer*>(lParam);
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            self->hwnd = hwnd;
            self->OnInit();
            return TRUE;
        }
        auto* self = reinterpret_cast<Viewer*>(GetWindowLongPtrW(hwnd, DWLP_USER));
        if (!self) return FALSE;
        switch (message) {
        case WM_COMMAND:
            return self->OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return self->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_DRAWITEM:
            if (wParam != IDC_LOG_TEXT) return FALSE;
            self->DrawLine(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_SIZE:
            self->Layout();
            return TRUE;
        case WM_GETMINMAXINFO: {
            RECT least{0, 0, 240, 160};
            MapDialogRect(hwnd, &least);
            auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
            info.ptMinTrackSize = {least.right, least.bottom};
            return TRUE;
        }
        default:
            return FALSE;
        }
    } catch (...) {
        // Out of memory on a huge log: the viewer closes rather than let an exception cross into the caller.
        EndDialog(hwnd, IDABORT);
        return TRUE;
    }
}

}  // namespace

void ShowLogViewer(HINSTANCE module, HWND owner, const std::wstring& folder) {
    Viewer viewer(folder);
    DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_LOG_VIEWER), owner, &Viewer::Proc,
                    reinterpret_cast<LPARAM>(&viewer));
}
