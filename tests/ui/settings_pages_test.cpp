#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/main_wizard.h"
#include "res/resource.h"
#include "settings/clean_options_page.h"
#include "settings/junk_files_page.h"
#include "settings/options_page.h"
#include "settings/path_macros.h"
#include "settings/skip_folders_page.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/ui_driver.h"
#include "ui/language_table.h"
#include "ui/list_view.h"

namespace {

std::vector<std::string> Column(HWND list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < RowCount(list); ++row) texts.push_back(RowText(list, row, column));
    return texts;
}

std::vector<bool> Checks(HWND list) {
    std::vector<bool> checks;
    for (int row = 0; row < RowCount(list); ++row) checks.push_back(RowChecked(list, row));
    return checks;
}

void Type(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }

class JunkFilesPageTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(page.CreateModeless(settings.Host())); }
    HWND List() { return GetDlgItem(page.Hwnd(), IDC_JUNK_LIST); }
    SettingsFixture settings;
    JunkFilesPage page;
    ScriptedMessageBoxes boxes;
};

}  // namespace

TEST_F(JunkFilesPageTest, LoadsTheStoredMasksWithTheirChecks) {
    std::vector<ListRow> stored = settings.StoredList(ListSection::JunkFiles);
    ASSERT_FALSE(stored.empty());
    ASSERT_EQ(RowCount(List()), static_cast<int>(stored.size()));
    for (int row = 0; row < RowCount(List()); ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(RowText(List(), row, 0), stored[static_cast<size_t>(row)].text);
        EXPECT_EQ(RowText(List(), row, 1), stored[static_cast<size_t>(row)].description);
        EXPECT_EQ(RowChecked(List(), row), stored[static_cast<size_t>(row)].checked);
    }
}

TEST_F(JunkFilesPageTest, AddRefusesAnEmptyMaskThenAddsACheckedRowAtTheEnd) {
    int before = RowCount(List());
    SelectRow(List(), 1);
    NextDialog dialog([&](HWND add) {
        Click(add, IDOK);  // nothing typed yet
        EXPECT_TRUE(IsWindow(add));
        Type(add, IDC_JUNK_DIALOG_MASK, "*.tmp");  // a mask already listed is added again
        Type(add, IDC_JUNK_DIALOG_DESCRIPTION, "Again");
        Click(add, IDOK);
    });
    Click(page.Hwnd(), IDC_JUNK_ADD);
    ASSERT_TRUE(dialog.Ran());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "_JunkFileNameIsNULL");
    ASSERT_EQ(RowCount(List()), before + 1);
    EXPECT_EQ(RowText(List(), before, 0), "*.tmp");
    EXPECT_EQ(RowText(List(), before, 1), "Again");
    EXPECT_TRUE(RowChecked(List(), before));
    EXPECT_EQ(SelectedRow(List()), 1);  // the selection does not move
}

TEST_F(JunkFilesPageTest, CancellingTheDialogChangesNothing) {
    int before = RowCount(List());
    NextDialog dialog([&](HWND add) {
        Click(add, IDOK);
        Type(add, IDC_JUNK_DIALOG_MASK, "*.new");
        Click(add, IDCANCEL);
    });
    Click(page.Hwnd(), IDC_JUNK_ADD);
    ASSERT_TRUE(dialog.Ran());
    EXPECT_EQ(RowCount(List()), before);
}

TEST_F(JunkFilesPageTest, ModifyEditsTheSelectedRowAndKeepsItsCheck) {
    Click(page.Hwnd(), IDC_JUNK_MODIFY);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "_YouMustSelectAnItem");

    // The user's texts are never taken for keys or escapes, even when a language file has them.
    TempFolder texts;
    WriteFile(texts / "t.language", "[String]\r\n_Next=Next >\r\n_ModifyJunkFileDialogCaption=Edit mask\r\n");
    std::string savedFile = Language().File();
    Language().SetFile(texts / "t.language");
    SetRowChecked(List(), 2, false);
    SetRowText(List(), 2, 0, "_Next");
    SetRowText(List(), 2, 1, "C:\\new\\files");
    SelectRow(List(), 2);
    std::string shownMask, shownDescription, title;
    NextDialog dialog([&](HWND edit) {
        title = Text(edit);
        shownMask = ItemText(edit, IDC_JUNK_DIALOG_MASK);
        shownDescription = ItemText(edit, IDC_JUNK_DIALOG_DESCRIPTION);
        Type(edit, IDC_JUNK_DIALOG_MASK, "*.xyz");
        Click(edit, IDOK);
    });
    Click(page.Hwnd(), IDC_JUNK_MODIFY);
    Language().SetFile(savedFile);
    ASSERT_TRUE(dialog.Ran());
    EXPECT_EQ(title, "Edit mask");
    EXPECT_EQ(shownMask, "_Next");
    EXPECT_EQ(shownDescription, "C:\\new\\files");
    EXPECT_EQ(RowText(List(), 2, 0), "*.xyz");
    EXPECT_EQ(RowText(List(), 2, 1), "C:\\new\\files");
    EXPECT_FALSE(RowChecked(List(), 2));
}

TEST_F(JunkFilesPageTest, DeleteSelectsTheRowThatTakesItsPlace) {
    ListView_DeleteAllItems(List());
    for (const char* mask : {"a", "b", "c"}) AppendRow(List(), {mask, ""});
    Click(page.Hwnd(), IDC_JUNK_DELETE);  // nothing selected
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(RowCount(List()), 3);

    SelectRow(List(), 0);
    Click(page.Hwnd(), IDC_JUNK_DELETE);
    EXPECT_EQ(Column(List(), 0), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(SelectedRow(List()), 0);
    SelectRow(List(), 1);
    Click(page.Hwnd(), IDC_JUNK_DELETE);  // the last row: the new last one is selected
    EXPECT_EQ(Column(List(), 0), (std::vector<std::string>{"b"}));
    EXPECT_EQ(SelectedRow(List()), 0);
    Click(page.Hwnd(), IDC_JUNK_DELETE);
    EXPECT_EQ(RowCount(List()), 0);
    EXPECT_EQ(SelectedRow(List()), -1);
}

TEST_F(JunkFilesPageTest, CheckAllUncheckAllAndDefaultThenCloseStoresTheFactoryRows) {
    Click(page.Hwnd(), IDC_JUNK_UNCHECK_ALL);
    EXPECT_EQ(Checks(List()), std::vector<bool>(static_cast<size_t>(RowCount(List())), false));
    Click(page.Hwnd(), IDC_JUNK_CHECK_ALL);
    EXPECT_EQ(Checks(List()), std::vector<bool>(static_cast<size_t>(RowCount(List())), true));

    SelectRow(List(), 0);
    Click(page.Hwnd(), IDC_JUNK_DELETE);
    Click(page.Hwnd(), IDC_JUNK_DEFAULT);
    std::vector<ListRow> factory = settings.StoredList(ListSection::JunkFiles, true);
    EXPECT_EQ(RowCount(List()), static_cast<int>(factory.size()));
    EXPECT_NE(settings.StoredList(ListSection::JunkFiles).size(), 0u);  // nothing written before the page closes

    // What is stored now gets replaced at close.
    UpdateConfig([](ConfigDocument& config) { config.RewriteList(ListSection::JunkFiles, {}); });
    DestroyWindow(page.Hwnd());
    EXPECT_EQ(settings.StoredList(ListSection::JunkFiles), factory);
}

// The factory rows carry language keys: each language file shows them in its language, and they
// are stored as keys again. A description the user wrote or changed is text and stays as it is.
TEST(JunkFilesLanguage, FactoryDescriptionsFollowTheLanguageFileAndTheUsersOwnStayAsWritten) {
    SettingsFixture settings;
    const std::string german = HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/Tidyhold.de.language");
    WriteFile(settings.ConfigFile(),
              "<config><tidyhold><junkfiles><items>"
              "<item checked=\"1\" description=\"_JunkTypeTemporaryFiles\" file=\"*.tmp\"/>"
              "<item checked=\"0\" description=\"_JunkTypeMemoryDumps\" file=\"*.dmp\"/>"
              "<item checked=\"1\" description=\"Temporary files\" file=\"*.temp\"/>"  // stored by an older version
              "<item checked=\"1\" description=\"_Next\" file=\"*.x\"/>"  // a key, but not a factory one
              "</items><default><item checked=\"1\" description=\"_JunkTypeOldVersions\" file=\"*.old\"/>"
              "</default></junkfiles></tidyhold></config>");
    std::vector<ListRow> before = settings.StoredList(ListSection::JunkFiles);
    {
        ScopedLanguage language(german);
        JunkFilesPage page;
        ASSERT_TRUE(page.CreateModeless(settings.Host()));
        HWND list = GetDlgItem(page.Hwnd(), IDC_JUNK_LIST);
        EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Temporäre Dateien",
                                                             "Speicherabbilder, die nach einem Absturz geschrieben wurden",
                                                             "Temporary files", "_Next"}));
        EXPECT_EQ(page.CheckedMasks().at("*.tmp"), "Temporäre Dateien");  // the scan's reason
        DestroyWindow(page.Hwnd());
    }
    EXPECT_EQ(settings.StoredList(ListSection::JunkFiles), before);  // keys stay keys, texts stay texts

    ScopedLanguage language(ShippedLanguageFile());
    JunkFilesPage page;
    ASSERT_TRUE(page.CreateModeless(settings.Host()));
    HWND list = GetDlgItem(page.Hwnd(), IDC_JUNK_LIST);
    EXPECT_EQ(RowText(list, 0, 1), "Temporary files");
    SetRowText(list, 1, 1, "Crash dumps I keep");  // as the modify dialog leaves it
    SetRowText(list, 0, 1, "Temporary files");     // edited back to the same text: still the factory's
    AppendRow(list, {"*.new", "Temporary files"});  // the user's own, though it reads the same
    DestroyWindow(page.Hwnd());
    std::vector<ListRow> stored = settings.StoredList(ListSection::JunkFiles);
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(stored[0].description, "_JunkTypeTemporaryFiles");
    EXPECT_EQ(stored[1].description, "Crash dumps I keep");
    EXPECT_EQ(stored[4].description, "Temporary files");

    JunkFilesPage again;
    ASSERT_TRUE(again.CreateModeless(settings.Host()));
    Click(again.Hwnd(), IDC_JUNK_DEFAULT);
    EXPECT_EQ(RowText(GetDlgItem(again.Hwnd(), IDC_JUNK_LIST), 0, 1), "Old versions of files (check before you delete them)");
}

TEST(JunkFilesLanguage, EveryFactoryDescriptionFitsItsColumnInEachShippedLanguage) {
    SettingsFixture settings;
    for (const std::string& file :
         {ShippedLanguageFile(), HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/Tidyhold.de.language")}) {
        SCOPED_TRACE(file);
        ScopedLanguage language(file);
        JunkFilesPage page;
        ASSERT_TRUE(page.CreateModeless(settings.Host()));
        Click(page.Hwnd(), IDC_JUNK_DEFAULT);
        HWND list = GetDlgItem(page.Hwnd(), IDC_JUNK_LIST);
        ASSERT_GT(RowCount(list), 0);
        const int room = ListView_GetColumnWidth(list, 1) - 12;  // the cell's margins
        for (const std::string& text : Column(list, 1)) EXPECT_LE(ListView_GetStringWidth(list, text.c_str()), room) << text;
    }
}

TEST(OptionsPageTest, LoadsEditsAndStoresEveryOption) {
    SettingsFixture settings;
    OptionsPage page;
    ASSERT_TRUE(page.CreateModeless(settings.Host()));
    HWND hwnd = page.Hwnd();
    const std::string options = "/config/tidyhold/options/";
    EXPECT_TRUE(IsChecked(hwnd, IDC_OPT_FIND_TEMP));
    EXPECT_FALSE(IsChecked(hwnd, IDC_OPT_NOT_ACCESSED));
    EXPECT_EQ(ItemText(hwnd, IDC_OPT_MONTHS), settings.Attribute(options + "FindFilesHaveNotAccessed", "month"));

    // Only digits go into the months box.
    SetDlgItemTextA(hwnd, IDC_OPT_MONTHS, "");
    for (char c : std::string("1x2")) SendMessageA(GetDlgItem(hwnd, IDC_OPT_MONTHS), WM_CHAR, static_cast<WPARAM>(c), 0);
    EXPECT_EQ(ItemText(hwnd, IDC_OPT_MONTHS), "12");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, IDC_OPT_MONTHS)));  // whatever 1050 says

    std::vector<bool> expected;
    for (const OptionBox& box : kOptionBoxes) {
        Click(hwnd, box.id);  // every box flips
        expected.push_back(IsChecked(hwnd, box.id));
    }
    DestroyWindow(hwnd);
    for (size_t i = 0; i < std::size(kOptionBoxes); ++i) {
        SCOPED_TRACE(kOptionBoxes[i].name);
        EXPECT_EQ(settings.Attribute(options + kOptionBoxes[i].name, "checked"), expected[i] ? "1" : "0");
    }
    EXPECT_EQ(settings.Attribute(options + "FindFilesHaveNotAccessed", "month"), "12");
}

TEST(OptionsPageTest, DefaultReadsTheFactoryValuesAndAnEmptyMonthIsStoredEmpty) {
    SettingsFixture settings;
    {
        XmlDocument config;
        config.Load(settings.ConfigFile());
        XmlNode temp = config.FindNode("/config/tidyhold/options/FindTemp");
        ComPtr<IXMLDOMElement> element;
        temp->QueryInterface(IID_IXMLDOMElement, element.PutVoid());
        UniqueBstr name("default");
        element->removeAttribute(name.Get());  // a box without a factory value is cleared
        config.SetAttribute(config.FindNode("/config/tidyhold/options/FindFilesHaveNotAccessed"), "monthdefault", "9");
        config.Save();
    }
    OptionsPage page;
    ASSERT_TRUE(page.CreateModeless(settings.Host()));
    EXPECT_TRUE(IsChecked(page.Hwnd(), IDC_OPT_FIND_TEMP));
    SetChecked(page.Hwnd(), IDC_OPT_SKIP_SYSTEM, false);
    Click(page.Hwnd(), IDC_OPT_DEFAULT);
    EXPECT_FALSE(IsChecked(page.Hwnd(), IDC_OPT_FIND_TEMP));
    EXPECT_TRUE(IsChecked(page.Hwnd(), IDC_OPT_SKIP_SYSTEM));
    EXPECT_EQ(ItemText(page.Hwnd(), IDC_OPT_MONTHS), "9");
    SetDlgItemTextA(page.Hwnd(), IDC_OPT_MONTHS, "");
    DestroyWindow(page.Hwnd());
    EXPECT_EQ(settings.Attribute("/config/tidyhold/options/FindFilesHaveNotAccessed", "month"), "");
    EXPECT_EQ(settings.Attribute("/config/tidyhold/options/FindTemp", "checked"), "0");
}

TEST(SkipFoldersPageTest, AddRemoveAndDefault) {
    SettingsFixture settings;
    ScriptedMessageBoxes boxes;
    ScriptedFolderBrowser browser;
    SkipFoldersPage page;
    ASSERT_TRUE(page.CreateModeless(settings.Host()));
    HWND list = GetDlgItem(page.Hwnd(), IDC_SKIP_LIST);
    std::vector<std::string> factory = Column(list, 0);
    ASSERT_FALSE(factory.empty());

    browser.Pick("D:\\");  // a drive root keeps its backslash
    browser.Pick("D:\\");  // the same folder twice gives two rows
    browser.Pick(std::nullopt);
    Click(page.Hwnd(), IDC_SKIP_ADD);
    Click(page.Hwnd(), IDC_SKIP_ADD);
    Click(page.Hwnd(), IDC_SKIP_ADD);
    EXPECT_EQ(browser.shown, 3);
    int count = RowCount(list);
    ASSERT_EQ(count, static_cast<int>(factory.size()) + 2);
    EXPECT_EQ(RowText(list, count - 1, 0), "D:\\");
    EXPECT_TRUE(RowChecked(list, count - 1));

    Click(page.Hwnd(), IDC_SKIP_REMOVE);
    EXPECT_EQ(boxes.shown.size(), 1u);
    SelectRow(list, count - 1);
    Click(page.Hwnd(), IDC_SKIP_REMOVE);
    EXPECT_EQ(RowCount(list), count - 1);
    EXPECT_EQ(SelectedRow(list), count - 2);
    SetRowChecked(list, 0, false);
    DestroyWindow(page.Hwnd());

    std::vector<ListRow> stored = settings.StoredList(ListSection::SkipFolders);
    ASSERT_EQ(stored.size(), factory.size() + 1);
    EXPECT_FALSE(stored[0].checked);  // stored with "0"
    EXPECT_EQ(stored.back(), (ListRow{"D:\\", "", true}));

    SkipFoldersPage again;
    ASSERT_TRUE(again.CreateModeless(settings.Host()));
    Click(again.Hwnd(), IDC_SKIP_DEFAULT);
    EXPECT_EQ(Column(GetDlgItem(again.Hwnd(), IDC_SKIP_LIST), 0), factory);
}

TEST(CleanOptionsPageTest, ModeBackupAndDirectoryRoundTrip) {
    SettingsFixture settings;
    ScriptedFolderBrowser browser;
    const std::string backup = "/config/tidyhold/CleanOptions/Backup";
    {
        XmlDocument config;
        config.Load(settings.ConfigFile());
        config.SetAttribute(config.FindNode(backup), "BackupDirectory", "%TempDirectory%\\Backup");
        config.Save();
    }
    CleanOptionsPage page;
    ASSERT_TRUE(page.CreateModeless(settings.Host()));
    HWND hwnd = page.Hwnd();
    EXPECT_TRUE(IsChecked(hwnd, IDC_CLEAN_RECYCLE));
    EXPECT_FALSE(IsChecked(hwnd, IDC_CLEAN_PERMANENT));
    EXPECT_EQ(ItemText(hwnd, IDC_CLEAN_BACKUP_DIR), PathMacros::Current().temp + "\\Backup");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, IDC_CLEAN_BACKUP_DIR)));

    Click(hwnd, IDC_CLEAN_BACKUP);  // off: the folder greys out but keeps its text
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDC_CLEAN_BACKUP_DIR)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDC_CLEAN_BROWSE)));
    Click(hwnd, IDC_CLEAN_PERMANENT);
    EXPECT_FALSE(IsChecked(hwnd, IDC_CLEAN_RECYCLE));  // one group
    DestroyWindow(hwnd);
    EXPECT_EQ(settings.Attribute("/config/tidyhold/CleanOptions/CleanMode", "index"), "0");
    EXPECT_EQ(settings.Attribute(backup, "checked"), "0");
    EXPECT_EQ(settings.Attribute(backup, "BackupDirectory"), "%TempDirectory%\\Backup");

    CleanOptionsPage again;
    ASSERT_TRUE(again.CreateModeless(settings.Host()));
    hwnd = again.Hwnd();
    EXPECT_TRUE(IsChecked(hwnd, IDC_CLEAN_PERMANENT));
    Click(hwnd, IDC_CLEAN_BACKUP);
    browser.Pick(PathMacros::Current().program + "\\Saved");
    Click(hwnd, IDC_CLEAN_BROWSE);
    EXPECT_EQ(ItemText(hwnd, IDC_CLEAN_BACKUP_DIR), PathMacros::Current().program + "\\Saved");
    DestroyWindow(hwnd);
    EXPECT_EQ(settings.Attribute(backup, "BackupDirectory"), "%ModulePath%\\Saved");

    CleanOptionsPage defaults;
    ASSERT_TRUE(defaults.CreateModeless(settings.Host()));
    Click(defaults.Hwnd(), IDC_CLEAN_DEFAULT);
    EXPECT_TRUE(IsChecked(defaults.Hwnd(), IDC_CLEAN_RECYCLE));
    EXPECT_TRUE(IsChecked(defaults.Hwnd(), IDC_CLEAN_BACKUP));
    EXPECT_EQ(ItemText(defaults.Hwnd(), IDC_CLEAN_BACKUP_DIR),
              PathMacros::Expand(settings.Attribute(backup, "DefaultBackupDirectory")));
}

TEST(SettingsPages, WithoutAConfigFileThePagesAreEmptyAndNothingIsWritten) {
    SettingsFixture settings;
    DeleteFileA(settings.ConfigFile().c_str());
    MainWizard wizard;
    ASSERT_TRUE(wizard.CreateModeless(nullptr));
    EXPECT_EQ(RowCount(GetDlgItem(wizard.junkFilesPage.Hwnd(), IDC_JUNK_LIST)), 0);
    EXPECT_EQ(RowCount(GetDlgItem(wizard.skipFoldersPage.Hwnd(), IDC_SKIP_LIST)), 0);
    EXPECT_FALSE(IsChecked(wizard.optionsPage.Hwnd(), IDC_OPT_FIND_TEMP));
    EXPECT_TRUE(IsChecked(wizard.cleanOptionsPage.Hwnd(), IDC_CLEAN_PERMANENT));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard.cleanOptionsPage.Hwnd(), IDC_CLEAN_BROWSE)));
    Click(wizard.junkFilesPage.Hwnd(), IDC_JUNK_DEFAULT);
    EXPECT_EQ(RowCount(GetDlgItem(wizard.junkFilesPage.Hwnd(), IDC_JUNK_LIST)), 0);
    Click(wizard.Hwnd(), IDC_WIZARD_CANCEL);
    PumpMessages();
    EXPECT_EQ(GetFileAttributesA(settings.ConfigFile().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsPages, ClosingTheWizardStoresEveryPageInOneFile) {
    SettingsFixture settings;
    ScriptedFolderBrowser browser;
    MainWizard wizard;
    ASSERT_TRUE(wizard.CreateModeless(nullptr));
    Click(wizard.junkFilesPage.Hwnd(), IDC_JUNK_UNCHECK_ALL);
    Click(wizard.optionsPage.Hwnd(), IDC_OPT_FIND_RECENT);
    browser.Pick("E:\\Keep");
    Click(wizard.skipFoldersPage.Hwnd(), IDC_SKIP_ADD);
    Click(wizard.cleanOptionsPage.Hwnd(), IDC_CLEAN_PERMANENT);
    Click(wizard.Hwnd(), IDC_WIZARD_CANCEL);
    PumpMessages();

    for (const ListRow& row : settings.StoredList(ListSection::JunkFiles)) EXPECT_FALSE(row.checked) << row.text;
    EXPECT_EQ(settings.Attribute("/config/tidyhold/options/FindRecent", "checked"), "1");
    EXPECT_EQ(settings.StoredList(ListSection::SkipFolders).back(), (ListRow{"E:\\Keep", "", true}));
    EXPECT_EQ(settings.Attribute("/config/tidyhold/CleanOptions/CleanMode", "index"), "0");
    EXPECT_EQ(settings.StoredList(ListSection::JunkFiles, true).size(),
              settings.StoredList(ListSection::JunkFiles).size());
}

TEST(SettingsPages, TheWizardReadsTheFileOnceAtStartAndWritesItOnceAtClose) {
    SettingsFixture settings;
    MainWizard wizard;
    ASSERT_TRUE(wizard.CreateModeless(nullptr));
    HWND junk = GetDlgItem(wizard.junkFilesPage.Hwnd(), IDC_JUNK_LIST);
    // Changed behind the wizard's back: neither "_Default" nor the close reads it again.
    WriteFile(settings.ConfigFile(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config><tidyhold><junkfiles><items/><default>"
              "<item checked=\"0\" description=\"\" file=\"*.changed\"/></default></junkfiles></tidyhold></config>\n");
    Click(wizard.junkFilesPage.Hwnd(), IDC_JUNK_DEFAULT);
    ASSERT_GT(RowCount(junk), 0);
    EXPECT_EQ(RowText(junk, 0, 0), "*.tmp");
    Click(wizard.optionsPage.Hwnd(), IDC_OPT_DEFAULT);
    EXPECT_TRUE(IsChecked(wizard.optionsPage.Hwnd(), IDC_OPT_FIND_TEMP));
    Click(wizard.Hwnd(), IDC_WIZARD_CANCEL);
    PumpMessages();

    EXPECT_EQ(settings.Attribute("/config/tidyhold/junkfiles/default/item", "file"), "*.tmp");
    EXPECT_EQ(settings.Attribute("/config/tidyhold/junkfiles/items/item", "file"), "*.tmp");
    EXPECT_EQ(settings.Attribute("/config/tidyhold/options/FindTemp", "checked"), "1");
    EXPECT_EQ(settings.Attribute("/config/tidyhold/CleanOptions/CleanMode", "defaultindex"), "1");
    EXPECT_EQ(GetFileAttributesA((settings.ConfigFile() + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
}
