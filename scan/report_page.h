// Page 6: every found file with its size and reason, checked at first.
#pragma once
#include <string>
#include <vector>

#include "scan/file_scanner.h"
#include "scan/report_rows.h"
#include "ui/wizard_page.h"

class ReportPage : public WizardPage {
public:
    ReportPage();

    // Rebuilds the list from a scan's result under a progress popup; checks and order start afresh.
    void FillReport(const FoundList& found);
    // Next on this page: true when at least one row is checked, so the cleaning options follow.
    bool LeaveReport() const;
    // Every row not unchecked, with what the report saw of it: what the cleaning run removes.
    CleanFiles CheckedFiles() const;
    // Writes the checked rows in the list's order, with what the report saw of them, as a JSON or
    // CSV list by the extension. False when it could not be written.
    bool ExportList(const std::string& path) const;

    // One flag for every column, kept for the program's life: each sort flips it.
    bool sortDescending = true;

protected:
    bool OnInit() override;
    bool OnCommand(int id, int code) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;

private:
    void OnSelectAll();
    void OnRemoveAll();
    void OnMoreInfo();
    void OnExportList();
    LRESULT OnListDeleteAll(NMHDR& header);
    LRESULT OnListDoubleClick(NMHDR& header);
    LRESULT OnColumnClick(NMHDR& header);
    LRESULT OnItemChanged(NMHDR& header);
    void SetEveryCheck(bool checked);
    void ShowCheckedTotal();
    void OpenMoreInfo(const std::string& path);
    void SortByColumn(int column);
    const ReportRow* RowOf(LPARAM data) const;
    HWND List() const;

    std::vector<ReportRow> rows;  // by item data: a row's index when it was inserted
    CheckedTotal checkedTotal;    // follows the list's check boxes, by the same index

    // The list reports a change for every row of a bulk change; the model takes it in one pass.
    bool bulkChecking = false;
    struct BulkCheck {
        explicit BulkCheck(ReportPage& page) : flag(page.bulkChecking) { flag = true; }
        ~BulkCheck() { flag = false; }
        bool& flag;
    };
};
