#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"
#include "ui/language_table.h"

namespace {

class LanguageTableTest : public testing::Test {
protected:
    void Use(const std::string& lines) {
        WriteFile(file, "[String]\r\n" + lines);
        table.SetFile(file);
    }
    TempFolder folder;
    std::string file = folder / "Test.language";
    LanguageTable table;
};

}  // namespace

TEST_F(LanguageTableTest, ReaderFollowsTheIniRules) {
    Use("_Next=Next >\r\n"
        "  _Padded  =   padded value   \r\n"
        "_Quoted=\"in quotes\"\r\n"
        "_Twice=\"\"twice\"\"\r\n"
        "_Inner=say \"hi\" now\r\n"
        "_Empty=\r\n"
        "_SkipReadOnlyFiles=Skip read-only files\r\n"
        "[Other]\r\n"
        "_Elsewhere=not in String\r\n");
    struct Case {
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"_Next", "Next >"},
        {"_NEXT", "Next >"},                                 // names compare without case
        {"_Padded", "padded value"},                         // blanks around name and value go
        {" _Next ", "Next >"},                               // also around the name asked for
        {"_SkipReadOnlyFiles ", "Skip read-only files"},     // a template text with a trailing blank
        {"_Quoted", "in quotes"},                            // one pair of quotes goes
        {"_Twice", "\"twice\""},                             // only one
        {"_Inner", "say \"hi\" now"},
        {"_Empty", "_Empty"},                                // an empty value shows the key
        {"_Missing", "_Missing"},
        {"_Elsewhere", "_Elsewhere"},                        // only section String is read
        {"List1", "List1"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(table.Lookup(c.key), c.expected);
    }
}

TEST_F(LanguageTableTest, ValuesAreCutAt65534Characters) {
    Use("_Long=" + std::string(70000, 'x') + "\r\n");
    EXPECT_EQ(table.Lookup("_Long"), std::string(65534, 'x'));
}

TEST_F(LanguageTableTest, EscapesExpandOnlyWhenAsked) {
    Use("_Lines=one\\r\\ntwo\\nthree\r\n");
    EXPECT_EQ(table.Lookup("_Lines"), "one\\r\\ntwo\\nthree");
    EXPECT_EQ(table.Lookup("_Lines", true), "one\r\ntwo\nthree");
    EXPECT_EQ(table.Lookup("_Absent\\n", true), "_Absent\\n");  // a key that is not found stays as it is
}

TEST(LanguageTable, WithoutAFileEveryKeyShowsItself) {
    LanguageTable table;
    EXPECT_EQ(table.Lookup("_Next"), "_Next");  // never falls back to win.ini
    table.SetFile("C:\\does\\not\\exist\\Tidyhold.language");
    EXPECT_EQ(table.Lookup("_Next"), "_Next");
}

TEST(LanguageTable, ExpandEscapesReplacesLeftToRightWithoutOverlap) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"a\\r\\nb", "a\r\nb"},
        {"\\\\n", "\\\n"},         // backslash, then an escape
        {"\\r\\r", "\r\r"},
        {"\\", "\\"},
        {"\\x\\", "\\x\\"},
        {"no escapes", "no escapes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        LanguageTable::ExpandEscapes(text);
        EXPECT_EQ(text, c.expected);
    }
}

TEST(LanguageTableFile, AFileInAFolderPastMaxPathIsRead) {
    TempFolder folder;
    std::string file = MakeLongFolder(folder, 300) + "\\Tidyhold.language";
    WriteFile(file, "[String]\r\n_Next=Next >\r\n");
    LanguageTable table;
    table.SetFile(file);
    EXPECT_EQ(table.Lookup("_Next"), "Next >");
    EXPECT_EQ(table.Lookup("_Missing"), "_Missing");
}
