#include <windows.h>

#include <gtest/gtest.h>

#include "settings/path_macros.h"
#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"

namespace {

const char* kConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
  <tidyhold>
    <junkfiles>
      <items>
        <item file="*.tmp" description="Temporary files" checked="1"/>
        <!-- kept by every rewrite -->
        <item checked="0" description="" file="*.bak"/>
        <item file="no-attributes"/>
      </items>
      <default>
        <item checked="1" description="Temporary files" file="*.tmp"/>
      </default>
    </junkfiles>
    <options>
      <FindTemp checked="2" default="1"/>
      <FindFilesHaveNotAccessed checked="1" default="0" month="6" monthdefault="3"/>
    </options>
    <SkipFolders>
      <items></items>
      <default>
        <item checked="1" folder="C:\Windows"/>
      </default>
    </SkipFolders>
    <CleanOptions>
      <CleanMode index="1" defaultindex="0"/>
      <Backup checked="1" default="1" BackupDirectory="%ModulePath%\Backup" DefaultBackupDirectory="%TempDirectory%\Backup"/>
    </CleanOptions>
  </tidyhold>
</config>
)";

std::vector<ListRow> Stored(ListSection section, bool useDefaults = false) {
    return OpenConfig().ReadList(section, useDefaults);
}

void Rewrite(ListSection section, const std::vector<ListRow>& rows) {
    UpdateConfig([&](ConfigDocument& config) { config.RewriteList(section, rows); });
}

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFile(file, kConfig);
        SetConfigFilePath(file);
    }
    void TearDown() override { SetConfigFilePath(""); }
    std::string Section(const std::string& name) {
        std::string text = ReadFile(file);
        size_t start = text.find("<" + name + ">");
        size_t end = text.find("</" + name + ">");
        return start == std::string::npos || end == std::string::npos ? "" : text.substr(start, end - start);
    }
    TempFolder folder;
    std::string file = folder / "config.xml";
};

}  // namespace

TEST_F(SettingsStoreTest, ListsReadInDocumentOrderWithMissingAttributesEmpty) {
    std::vector<ListRow> rows = Stored(ListSection::JunkFiles);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (ListRow{"*.tmp", "Temporary files", true}));
    EXPECT_EQ(rows[1], (ListRow{"*.bak", "", false}));
    EXPECT_EQ(rows[2], (ListRow{"no-attributes", "", false}));
    EXPECT_EQ(Stored(ListSection::JunkFiles, true), (std::vector<ListRow>{{"*.tmp", "Temporary files", true}}));
    EXPECT_TRUE(Stored(ListSection::SkipFolders).empty());  // an empty items element
    EXPECT_EQ(Stored(ListSection::SkipFolders, true), (std::vector<ListRow>{{"C:\\Windows", "", true}}));
}

TEST_F(SettingsStoreTest, RewriteReplacesOnlyTheItemsOfItsSection) {
    std::string defaultsBefore = Section("default");
    std::string optionsBefore = Section("options");
    std::vector<ListRow> rows = {{"~*.*", "Editor copies \xC3\xA9t\xC3\xA9", true}, {"*.old", "", false}};
    Rewrite(ListSection::JunkFiles, rows);
    EXPECT_EQ(Stored(ListSection::JunkFiles), rows);
    EXPECT_EQ(Section("default"), defaultsBefore);
    EXPECT_EQ(Section("options"), optionsBefore);
    std::string text = ReadFile(file);
    EXPECT_NE(text.find("<!-- kept by every rewrite -->"), std::string::npos);
    // Attributes of a new item in name order, whatever the order they were loaded in.
    EXPECT_NE(text.find(R"(<item checked="1" description="Editor copies )"), std::string::npos);
    EXPECT_NE(text.find(R"(<item checked="0" description="" file="*.old"/>)"), std::string::npos);

    Rewrite(ListSection::SkipFolders, {{"D:\\Keep", "", true}, {"E:\\", "", false}});
    EXPECT_EQ(Stored(ListSection::SkipFolders),
              (std::vector<ListRow>{{"D:\\Keep", "", true}, {"E:\\", "", false}}));
    EXPECT_NE(ReadFile(file).find(R"(<item checked="1" folder="D:\Keep"/>)"), std::string::npos);
    EXPECT_EQ(Stored(ListSection::JunkFiles), rows);  // the other section keeps what it stored

    Rewrite(ListSection::JunkFiles, {});
    EXPECT_TRUE(Stored(ListSection::JunkFiles).empty());
    EXPECT_NE(Section("junkfiles").find("<items>"), std::string::npos);  // items itself stays
    EXPECT_EQ(Stored(ListSection::JunkFiles, true).size(), 1u);
}

TEST_F(SettingsStoreTest, OptionsAndCleanOptionsReadAndWriteBack) {
    ConfigDocument config = OpenConfig();
    EXPECT_TRUE(config.ReadOption("FindTemp", false));  // 2 reads as on
    EXPECT_FALSE(config.ReadOption("FindFilesHaveNotAccessed", true));
    EXPECT_FALSE(config.ReadOption("NoSuchOption", false));
    EXPECT_EQ(config.ReadMonths(false), "6");
    EXPECT_EQ(config.ReadMonths(true), "3");
    CleanOptions clean = config.ReadCleanOptions(false);
    EXPECT_TRUE(clean.recycle);
    EXPECT_TRUE(clean.backup);
    EXPECT_EQ(clean.backupDirectory, PathMacros::Current().program + "\\Backup");
    EXPECT_FALSE(config.ReadCleanOptions(true).recycle);
    EXPECT_EQ(config.ReadCleanOptions(true).backupDirectory, PathMacros::Current().temp + "\\Backup");

    config.WriteOption("FindTemp", true);
    config.WriteMonths("");
    config.WriteCleanOptions({false, false, PathMacros::Current().temp + "\\Saved"});
    ASSERT_TRUE(config.Save());

    std::string text = ReadFile(file);
    EXPECT_NE(text.find(R"(<FindTemp checked="1" default="1"/>)"), std::string::npos);
    EXPECT_NE(text.find(R"(month="" monthdefault="3")"), std::string::npos);  // an empty month stays empty
    EXPECT_NE(text.find(R"(<CleanMode index="0" defaultindex="0"/>)"), std::string::npos);
    EXPECT_NE(text.find(R"(<Backup checked="0" default="1" BackupDirectory="%TempDirectory%\Saved")"),
              std::string::npos);
}

TEST_F(SettingsStoreTest, MissingBrokenOrForeignFilesAreNeverWritten) {
    DeleteFileA(file.c_str());
    EXPECT_TRUE(Stored(ListSection::JunkFiles).empty());
    Rewrite(ListSection::JunkFiles, {{"*.tmp", "", true}});
    EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);  // not created

    const std::string broken = "<config><tidyhold><junkfiles><items><item file=\"*.tmp\"";
    WriteFile(file, broken);
    EXPECT_TRUE(Stored(ListSection::JunkFiles).empty());
    EXPECT_EQ(OpenConfig().ReadCleanOptions(false).recycle, false);
    Rewrite(ListSection::JunkFiles, {{"*.tmp", "", true}});
    EXPECT_EQ(ReadFile(file), broken);  // byte for byte
    EXPECT_EQ(ReadBackupDirectory(), "");

    // Another program's config.xml, which a save would turn into UTF-8 with LF line ends.
    const std::string foreign = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<config><other/></config>\r\n";
    WriteFile(file, foreign);
    EXPECT_FALSE(OpenConfig().Save());
    EXPECT_EQ(ReadFile(file), foreign);
}

TEST_F(SettingsStoreTest, BackupDirectoryIsTheStoredOneExpanded) {
    EXPECT_EQ(ReadBackupDirectory(), PathMacros::Current().program + "\\Backup");
}

TEST(PathMacros, ExpandAndCollapseInTheirOrder) {
    const MacroFolders folders{"C:\\Tools\\Sweep", "C:\\WINDOWS", "C:\\WINDOWS\\system32", "C:\\TEMP"};
    struct Case {
        const char* path;
        const char* collapsed;
    };
    const Case cases[] = {
        {"C:\\TEMP\\Backup", "%TempDirectory%\\Backup"},
        {"C:\\WINDOWS\\system32\\x", "%WindowsDirectory%\\system32\\x"},  // Windows goes before system
        {"C:\\Tools\\Sweep\\Backup", "%ModulePath%\\Backup"},
        {"C:\\Tools\\Sweep2\\x", "%ModulePath%2\\x"},                      // plain substrings
        {"c:\\temp\\Backup", "c:\\temp\\Backup"},                          // other letter case: as typed
        {"D:\\Backup", "D:\\Backup"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PathMacros::Collapse(c.path, folders), c.collapsed);
        EXPECT_EQ(PathMacros::Expand(c.collapsed, folders), c.path);
    }
    EXPECT_EQ(PathMacros::Expand("%SystemDirectory%\\x", folders), "C:\\WINDOWS\\system32\\x");
    EXPECT_EQ(PathMacros::Expand("%tempdirectory%\\x", folders), "%tempdirectory%\\x");
    EXPECT_EQ(PathMacros::Expand("%TempDirectory%%TempDirectory%", folders), "C:\\TEMPC:\\TEMP");
    // A folder the system did not report replaces nothing.
    EXPECT_EQ(PathMacros::Collapse("D:\\x", {"", "", "", ""}), "D:\\x");
}

TEST(PathMacros, CurrentFoldersHaveNoTrailingBackslash) {
    MacroFolders folders = PathMacros::Current();
    for (const std::string& folder : {folders.program, folders.windows, folders.system, folders.temp}) {
        SCOPED_TRACE(folder);
        ASSERT_FALSE(folder.empty());
        EXPECT_NE(folder.back(), '\\');
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(PathMacros::Expand("%TempDirectory%\\Backup"), std::string(temp) + "Backup");
    EXPECT_EQ(PathMacros::Collapse(std::string(temp) + "Backup"), "%TempDirectory%\\Backup");
}
