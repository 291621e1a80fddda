#include "app/wizard_navigation.h"

#include "base/text_format.h"

std::optional<ButtonRow> ButtonsFor(int index) {
    switch (index) {
    case kWelcomePage: return ButtonRow{false, true, false};
    case kFolderPage: case kJunkFilesPage: case kOptionsPage: case kSkipFoldersPage:
    case kReportPage: case kCleanOptionsPage:
        return ButtonRow{true, true, false};
    case kScanPage: case kCleaningPage:  // until the worker's end enables them
        return ButtonRow{false, false, false};
    case kResultsPage: return ButtonRow{false, false, true};
    default: return std::nullopt;
    }
}

BackMove BackFrom(int index) {
    switch (index) {
    case kFolderPage: case kJunkFilesPage: case kOptionsPage: case kSkipFoldersPage:
    case kCleanOptionsPage:
        return BackMove::Previous;
    case kScanPage: case kReportPage: case kCleaningPage:
        return BackMove::FolderPage;
    default: return BackMove::None;
    }
}

int NextFrom(int index, bool foundAny, bool anyChecked) {
    switch (index) {
    case kScanPage: return foundAny ? kReportPage : kResultsPage;
    case kReportPage: return anyChecked ? kCleanOptionsPage : kResultsPage;  // nothing to clean
    default: return index >= kWelcomePage && index < kResultsPage ? index + 1 : index;
    }
}

bool AsksBeforeCleaning(bool recycle, bool backup, const CleanFiles& files) {
    return !recycle && !backup && !files.empty();
}

std::string DeleteForGoodQuestion(std::string_view text, const CleanFiles& files) {
    std::uint64_t bytes = 0;
    for (const auto& [path, file] : files)
        if (file.seen) bytes += file.seen->size;  // unread by the report: counted, of no known size
    return FormatText(text, {GroupedCount(files.size()), SizeInUnit(bytes)});
}

bool AsksBeforeClosing(int index, bool reportChecked) {
    return reportChecked && (index == kReportPage || index == kCleanOptionsPage);
}
