// The wizard's fixed rules: page order, the button row of each page and where Back and Next lead.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "base/file_proof.h"

enum PageIndex : int {
    kWelcomePage = 0,
    kFolderPage = 1,
    kJunkFilesPage = 2,
    kOptionsPage = 3,
    kSkipFoldersPage = 4,
    kScanPage = 5,
    kReportPage = 6,
    kCleanOptionsPage = 7,
    kCleaningPage = 8,
    kResultsPage = 9,
    kPageCount = 10,
};

struct ButtonRow {
    bool backEnabled = false;
    bool nextEnabled = false;
    bool final = false;  // Back and Next hidden for good, Cancel reads "_FinishButton"
};

// The row for a page; nothing for an index outside the wizard (the buttons then stay as they are).
std::optional<ButtonRow> ButtonsFor(int index);

enum class BackMove { None, Previous, FolderPage };
BackMove BackFrom(int index);

// The page Next shows from a page; the page itself where Next leads nowhere. foundAny counts
// only on the scan page, anyChecked (a report row left checked) only on the report page.
int NextFrom(int index, bool foundAny, bool anyChecked);

// Next on the clean options page asks first only when files would go for good with no copy kept:
// the Recycle Bin and a backup set can give them back.
bool AsksBeforeCleaning(bool recycle, bool backup, const CleanFiles& files);
// The language text of that question with the files' count and the size the report saw of them.
std::string DeleteForGoodQuestion(std::string_view text, const CleanFiles& files);
// Closing asks first where it would throw away a report with checked rows: on the report and the
// clean options page.
bool AsksBeforeClosing(int index, bool reportChecked);
