#include "scan/report_page.h"

#include <commctrl.h>
#include <commdlg.h>

#include "base/ansi.h"
#include "base/file_list.h"
#include "base/text_format.h"
#include "res/resource.h"
#include "scan/more_info_dialog.h"
#include "scan/progress_popup.h"
#include "ui/language_table.h"
#include "ui/list_view.h"
#include "ui/message_box.h"

namespace {

constexpr Anchor kAnchors[] = {
    {IDC_PAGE_DESCRIPTION, Anchor::GrowX},          {IDC_REPORT_LIST, Anchor::GrowX | Anchor::GrowY},
    {IDC_REPORT_SELECT_ALL, Anchor::MoveY},         {IDC_REPORT_REMOVE_ALL, Anchor::MoveY},
    {IDC_REPORT_MORE_INFO, Anchor::MoveX | Anchor::MoveY}, {IDC_REPORT_EXPORT, Anchor::MoveX | Anchor::MoveY},
    {IDC_REPORT_TOTAL, Anchor::GrowX | Anchor::MoveY},
    {IDC_REPORT_CHECKED, Anchor::GrowX | Anchor::MoveY},
};
constexpr ListColumn kColumns[] = {
    {"_ReportPageListColumnFileName", 350}, {"_ReportPageListColumnFileSize", 100}, {"_ReportPageStateDescription", 100}};
constexpr int kColumnKinds[] = {kSortText, kSortNumber, kSortText};

int ColumnKind(HWND list, int column) {
    HDITEMA header{};
    header.mask = HDI_LPARAM;
    if (!SendMessageA(ListView_GetHeader(list), HDM_GETITEMA, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&header)))
        return -1;
    return static_cast<int>(header.lParam);
}

struct SortContext {
    const ReportPage* page;
    int column;
    int kind;
    bool descending;
};

}  // namespace

ReportPage::ReportPage() : WizardPage(IDD_REPORT_PAGE, kAnchors) {}

HWND ReportPage::List() const { return Item(IDC_REPORT_LIST); }

bool ReportPage::OnInit() {
    SetUpListColumns(List(), kColumns, 3, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    HWND header = ListView_GetHeader(List());
    for (int column = 0; column < 3; ++column) {
        HDITEMA item{};
        item.mask = HDI_LPARAM;
        item.lParam = kColumnKinds[column];
        SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
    SetUpPage();
    return false;
}

void ReportPage::FillReport(const FoundList& found) {
    ProgressPopup popup;
    popup.Open(hwnd, found.size());

    HWND list = List();
    RedrawOff redrawOff(list);
    BulkCheck bulk(*this);
    ListView_DeleteAllItems(list);
    rows.clear();
    checkedTotal.Reset(rows, false);
    rows.reserve(found.size());
    ListView_SetItemCount(list, static_cast<int>(found.size()));
    for (const auto& [path, reason] : found) {
        popup.Advance(rows.size() + 1);
        rows.push_back(MakeReportRow(path, reason, ReadFileStamp(path)));
        const ReportRow& row = rows.back();
        AppendRow(list, {row.path, row.sizeText, row.reason}, static_cast<LPARAM>(rows.size() - 1));
    }
    // An insert leaves the check box clear whatever state it is given, so all are set at once here.
    SetAllChecked(list, true);
    checkedTotal.Reset(rows, true);

    ReportTotal total = TotalOf(rows);
    std::string line = FormatText(Language().Lookup("_ReportPageStateTotalSize"),
                                  {total.count, total.kilobytes, total.megabytes});
    SetDlgItemTextA(hwnd, IDC_REPORT_TOTAL, line.c_str());
    ShowCheckedTotal();
}

void ReportPage::ShowCheckedTotal() {
    ReportTotal checked = checkedTotal.Total();
    std::string line = FormatText(Language().Lookup("_ReportPageStateCheckedSize"), {checked.count, checked.megabytes});
    SetDlgItemTextA(hwnd, IDC_REPORT_CHECKED, line.c_str());
}

bool ReportPage::LeaveReport() const {
    HWND list = List();
    int count = RowCount(list);
    for (int row = 0; row < count; ++row)
        if (RowChecked(list, row)) return true;
    return false;
}

CleanFiles ReportPage::CheckedFiles() const {
    CleanFiles checked;
    HWND list = List();
    int count = RowCount(list);
    for (int row = 0; row < count; ++row) {
        if (!RowChecked(list, row)) continue;
        if (const ReportRow* data = RowOf(RowData(list, row))) checked[data->path] = {data->reason, data->seen};
    }
    return checked;
}

bool ReportPage::ExportList(const std::string& path) const {
    std::vector<FileListEntry> entries;
    std::uint64_t bytes = 0;
    HWND list = List();
    for (int row = 0; row < RowCount(list); ++row) {
        const ReportRow* data = RowChecked(list, row) ? RowOf(RowData(list, row)) : nullptr;
        if (!data) continue;
        entries.push_back({data->path, data->seen ? data->seen->size : data->size,
                           data->seen ? std::optional(data->seen->writeTime) : std::nullopt, data->reason, "found"});
        bytes += entries.back().size;
    }
    return WriteFileList(path, entries,
                         {{"command", std::string("export")}, {"found", entries.size()}, {"foundBytes", bytes}});
}

void ReportPage::OnExportList() {
    const std::wstring json = ToWide(Language().Lookup("_ExportListJsonFilter"));
    const std::wstring csv = ToWide(Language().Lookup("_ExportListCsvFilter"));
    const std::wstring filter = json + L'\0' + L"*.json" + L'\0' + csv + L'\0' + L"*.csv" + L'\0';
    const std::wstring title = ToWide(Language().Lookup("_ExportListTitle"));
    std::wstring file = L"tidyhold-list.json";
    file.resize(32768);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetAncestor(hwnd, GA_ROOT);
    dialog.lpstrFilter = filter.c_str();  // ends in two NULs: the string's own is the second
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"json";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) return;  // cancelled
    const std::string path = FromWide(file.c_str());
    // Another extension than the two is refused by the writer, never changed behind the overwrite question.
    if (!ExportList(path)) ShowMessageText(hwnd, FormatText(Language().Lookup("_ExportListFailed"), {path}));
}

bool ReportPage::OnCommand(int id, int code) {
    static constexpr CommandRoute<ReportPage> routes[] = {
        {IDC_REPORT_SELECT_ALL, &ReportPage::OnSelectAll},
        {IDC_REPORT_REMOVE_ALL, &ReportPage::OnRemoveAll},
        {IDC_REPORT_MORE_INFO, &ReportPage::OnMoreInfo},
        {IDC_REPORT_EXPORT, &ReportPage::OnExportList},
    };
    return Route(*this, routes, id, code);
}

bool ReportPage::OnNotify(NMHDR& header, LRESULT& result) {
    static constexpr NotifyRoute<ReportPage> routes[] = {
        {IDC_REPORT_LIST, LVN_DELETEALLITEMS, &ReportPage::OnListDeleteAll},
        {IDC_REPORT_LIST, NM_DBLCLK, &ReportPage::OnListDoubleClick},
        {IDC_REPORT_LIST, LVN_COLUMNCLICK, &ReportPage::OnColumnClick},
        {IDC_REPORT_LIST, LVN_ITEMCHANGED, &ReportPage::OnItemChanged},
    };
    return Route(*this, routes, header, result);
}

// No LVN_DELETEITEM for each of thousands of rows.
LRESULT ReportPage::OnListDeleteAll(NMHDR& /*header*/) { return TRUE; }

LRESULT ReportPage::OnListDoubleClick(NMHDR& /*header*/) {
    if (SelectedRow(List()) >= 0) OnMoreInfo();
    return 0;
}

LRESULT ReportPage::OnColumnClick(NMHDR& header) {
    SortByColumn(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
    return 0;
}

// Only a change of the check image counts; selection and focus changes come here too.
LRESULT ReportPage::OnItemChanged(NMHDR& header) {
    const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
    if (bulkChecking || (change.uChanged & LVIF_STATE) == 0) return 0;
    if (((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) == 0) return 0;
    if (change.iItem < 0) {
        // A change of every row at once: read the list back rather than guess.
        for (int row = 0; row < RowCount(List()); ++row)
            checkedTotal.Change(static_cast<size_t>(RowData(List(), row)), RowChecked(List(), row));
    } else {
        bool checked = (change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        checkedTotal.Change(static_cast<size_t>(RowData(List(), change.iItem)), checked);
    }
    ShowCheckedTotal();
    return 0;
}

void ReportPage::SetEveryCheck(bool checked) {
    {
        RedrawOff redrawOff(List());
        BulkCheck bulk(*this);
        SetAllChecked(List(), checked);
    }
    checkedTotal.SetAll(checked);
    ShowCheckedTotal();
}

void ReportPage::OnSelectAll() { SetEveryCheck(true); }

void ReportPage::OnRemoveAll() { SetEveryCheck(false); }

void ReportPage::OnMoreInfo() {
    int row = SelectedRow(List());
    if (row < 0) {
        ShowMessage(hwnd, "_YouMustSelectAnItem");
        return;
    }
    OpenMoreInfo(RowText(List(), row, 0));
}

void ReportPage::OpenMoreInfo(const std::string& path) {
    MoreInfoDialog dialog(path);
    dialog.RunModal(GetAncestor(hwnd, GA_ROOT));
}

const ReportRow* ReportPage::RowOf(LPARAM data) const {
    if (data < 0 || static_cast<size_t>(data) >= rows.size()) return nullptr;
    return &rows[static_cast<size_t>(data)];
}

void ReportPage::SortByColumn(int column) {
    // The list hands the compare both rows' item data, which index the rows directly. The
    // column's kind is read from its header once per sort, not once per comparison.
    SortContext context{this, column, ColumnKind(List(), column), sortDescending};
    auto compare = [](LPARAM first, LPARAM second, LPARAM data) -> int {
        const auto& sort = *reinterpret_cast<const SortContext*>(data);
        const ReportRow* a = sort.page->RowOf(first);
        const ReportRow* b = sort.page->RowOf(second);
        if (!a || !b) return 0;
        return CompareCells(sort.kind, a->Column(sort.column), b->Column(sort.column), sort.descending);
    };
    ListView_SortItems(List(), compare, reinterpret_cast<LPARAM>(&context));
    sortDescending = !sortDescending;
}
