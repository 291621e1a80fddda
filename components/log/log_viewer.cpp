#include "components/log/log_viewer.h"

#include <commctrl.h>

#include <vector>

#include "components/log/record_store.h"
#include "components/log/viewer_ids.h"

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

struct Row {
    std::wstring cells[kColumns];
    std::wstring text;
    std::wstring haystack;  // every text of the record, lower case, for the search box
};

class Viewer {
public:
    explicit Viewer(std::wstring folder) : folder(std::move(folder)) {}
    static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);

private:
    void OnInit();
    void Load();
    void Filter();
    void ShowSelected();
    void Layout();
    bool OnCommand(int id, int code);
    bool OnNotify(NMHDR& header);

    HWND hwnd = nullptr;
    HWND list = nullptr;
    std::wstring folder;
    std::vector<Row> rows;    // newest first
    std::vector<int> shown;   // indices into rows that pass the search
};

void Viewer::OnInit() {
    list = GetDlgItem(hwnd, IDC_LOG_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    static const wchar_t* const headings[kColumns] = {L"Time", L"Type", L"Category", L"Action", L"Source"};
    static const int widths[kColumns] = {120, 90, 90, 150, 110};  // pixels at 96 DPI
    int dpi = 96;
    if (HDC dc = GetDC(list)) {
        dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(list, dc);
    }
    for (int i = 0; i < kColumns; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(headings[i]);
        column.cx = MulDiv(widths[i], dpi, 96);
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SendDlgItemMessageW(hwnd, IDC_LOG_TEXT, EM_SETLIMITTEXT, 0, 0);
    Load();
    Layout();
}

void Viewer::Load() {
    std::vector<LogRecord> records = ReadRecords(folder);
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
    std::wstring needle = Lowered(buffer);
    shown.clear();
    for (size_t i = 0; i < rows.size(); ++i)
        if (needle.empty() || rows[i].haystack.find(needle) != std::wstring::npos) shown.push_back(static_cast<int>(i));
    ListView_SetItemCountEx(list, static_cast<int>(shown.size()), 0);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (!shown.empty()) {
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, 0, FALSE);
    }
    InvalidateRect(list, nullptr, TRUE);
    ShowSelected();
}

void Viewer::ShowSelected() {
    int item = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    const wchar_t* text = item >= 0 && item < static_cast<int>(shown.size()) ? rows[shown[item]].text.c_str() : L"";
    SetDlgItemTextW(hwnd, IDC_LOG_TEXT, text);
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
        if ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) ShowSelected();
        return true;
    }
    return false;
}

INT_PTR CALLBACK Viewer::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Viewer*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd = hwnd;
        self->OnInit();
        return TRUE;
    }
    auto* self = reinterpret_cast<Viewer*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    try {
        switch (message) {
        case WM_COMMAND:
            return self->OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return self->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
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
