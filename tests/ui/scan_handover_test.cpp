#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>

#include "app/main_wizard.h"
#include "base/program_paths.h"
#include "res/resource.h"
#include "scan/file_scanner.h"
#include "tests/support/file_tree.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/ui_driver.h"
#include "ui/list_view.h"

namespace {

// Every flag by name, so a failure names the one that went astray.
std::map<std::string, bool> Flags(const ScanSettings& scan) {
    return {
        {"FindFilesHaveNotAccessed", scan.FindFilesHaveNotAccessed},
        {"SkipReadOnlyFiles", scan.SkipReadOnlyFiles},
        {"SkipSystemFiles", scan.SkipSystemFiles},
        {"SkipHiddenFiles", scan.SkipHiddenFiles},
        {"FindZeroLengthFiles", scan.FindZeroLengthFiles},
        {"FindInvalidShortcuts", scan.FindInvalidShortcuts},
        {"FindTemp", scan.FindTemp},
        {"FindIETemp", scan.FindIETemp},
        {"FindRecent", scan.FindRecent},
        {"FindIEHistory", scan.FindIEHistory},
        {"FindIECookies", scan.FindIECookies},
    };
}

struct Row {
    const char* text;
    const char* description;
    bool checked;
};

void FillList(HWND list, std::initializer_list<Row> rows) {
    ListView_DeleteAllItems(list);
    for (const Row& row : rows) {
        int index = row.description ? AppendRow(list, {row.text, row.description}) : AppendRow(list, {row.text});
        SetRowChecked(list, index, row.checked);
    }
}

class ScanHandoverTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(wizard.CreateModeless(nullptr)); }
    void TearDown() override {
        DestroyWindow(wizard.Hwnd());
        PumpMessages();
    }
    HWND Options() { return wizard.optionsPage.Hwnd(); }
    SettingsFixture settings;
    MainWizard wizard;
};

}  // namespace

TEST_F(ScanHandoverTest, EveryOptionBoxReachesItsOwnSetting) {
    for (const OptionBox& box : kOptionBoxes) {
        SCOPED_TRACE(box.name);
        for (const OptionBox& other : kOptionBoxes) SetChecked(Options(), other.id, false);
        Click(Options(), box.id);
        std::map<std::string, bool> expected = Flags(ScanSettings{});
        expected[box.name] = true;
        EXPECT_EQ(Flags(wizard.GatherScanSettings()), expected);
    }
}

TEST_F(ScanHandoverTest, MonthsAreTheLeadingNumberOfTheBox) {
    struct Case {
        std::string text;
        int months;
    };
    const Case cases[] = {
        {"", 0}, {"abc", 0}, {"12", 12}, {"0012", 12}, {"7 months", 7},
        {std::string(253, '0') + "12", 1},  // only the first 254 characters count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        SetDlgItemTextA(Options(), IDC_OPT_MONTHS, c.text.c_str());
        EXPECT_EQ(wizard.GatherScanSettings().Months, c.months);
    }
}

TEST_F(ScanHandoverTest, OnlyCheckedMasksAndFoldersGoAndALaterMaskWins) {
    HWND junk = GetDlgItem(wizard.junkFilesPage.Hwnd(), IDC_JUNK_LIST);
    HWND skip = GetDlgItem(wizard.skipFoldersPage.Hwnd(), IDC_SKIP_LIST);
    FillList(junk, {{"*.tmp", "First", true},
                    {"*.bak", "Unchecked", false},
                    {"*.log", "Kept", true},
                    {"*.tmp", "Second", true},
                    {"*.log", "Unchecked later", false}});
    FillList(skip, {{"C:\\Keep", nullptr, true},
                    {"D:\\Off", nullptr, false},
                    {"E:\\", nullptr, true},
                    {"C:\\Keep", nullptr, true}});
    ScanSettings scan = wizard.GatherScanSettings();
    EXPECT_EQ(scan.JunkMasks, (MaskTable{{"*.tmp", "Second"}, {"*.log", "Kept"}}));
    // The program's own folder and the backup folder are always skipped, after the user's folders.
    const std::string backup = ProgramFolder() + "\\Backup";
    EXPECT_EQ(scan.SkipFolders, (std::vector<std::string>{"C:\\Keep", "E:\\", "C:\\Keep", ProgramFolder(), backup}));

    FillList(junk, {{"*.tmp", "Off", false}});
    FillList(skip, {});
    scan = wizard.GatherScanSettings();
    EXPECT_TRUE(scan.JunkMasks.empty());
    EXPECT_EQ(scan.SkipFolders, (std::vector<std::string>{ProgramFolder(), backup}));
}

// The page's folder and the stored one, in any case; a sibling whose name starts alike is searched.
TEST_F(ScanHandoverTest, TheBackupFoldersInUseAreNeverSearched) {
    TempFolder tree;
    for (const char* file : {"Sets\\2024-05-01_10-00-00\\C\\a.tmp", "Stored\\b.tmp", "Sets2\\c.tmp"})
        MakeFileAlong(tree / file);
    UpdateConfig([&](ConfigDocument& config) { config.WriteCleanOptions({false, true, tree / "Stored"}); });
    SetDlgItemTextA(wizard.cleanOptionsPage.Hwnd(), IDC_CLEAN_BACKUP_DIR, (tree / "SETS").c_str());
    std::vector<std::string> found;
    FileScanner::Search({tree.Path(), {{"*.tmp", "T"}}, wizard.GatherScanSettings().SkipFolders, {},
                         [&](const std::string& path, const std::string&, const WIN32_FIND_DATAA&) {
                             found.push_back(path);
                         },
                         {}});
    EXPECT_EQ(found, (std::vector<std::string>{tree / "Sets2\\c.tmp"}));
}
