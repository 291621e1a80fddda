#include <gtest/gtest.h>

#include "base/registry.h"
#include "clean/typed_urls_dialog.h"
#include "tests/support/scratch_key.h"
#include "ui/hyperlink_field.h"

TEST(RegistryTest, TextsAreReadWholeAndOnlyFromStringValues) {
    ScratchKey key("registry");
    std::string longText = "https://example.org/" + std::string(400, 'q');
    std::string wide = std::string(200, 'a') + "\xc3\xa9\xe2\x82\xac" + std::string(60, 'b');  // 8-bit copy longer than UTF-16
    key.Set("long", longText);
    key.Set("wide", wide);
    key.Set("expand", "%TEMP%\\x", REG_EXPAND_SZ);
    key.SetBytes("unterminated", "abc", REG_SZ);
    key.SetBytes("binary", "abc", REG_BINARY);
    key.SetBytes("empty", "", REG_SZ);
    struct Case {
        const char* value;
        std::string expected;
    };
    const Case cases[] = {
        {"long", longText}, {"wide", wide},  {"expand", "%TEMP%\\x"}, {"unterminated", "abc"},
        {"binary", ""},     {"empty", ""},   {"missing", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ReadValueText(key.Root(), key.Path(), c.value), c.expected);
    }
    EXPECT_EQ(ReadValueText(key.Root(), key.Path() + "\\none", "long"), "");
}

TEST(RegistryTest, NamesOfAnyLengthAreListedAndAMissingKeyStaysMissing) {
    ScratchKey key("names");
    EXPECT_TRUE(ReadValueNames(key.Root(), key.Path()).empty());
    EXPECT_FALSE(key.Exists());  // reading a list writes nothing
    std::string longName(1000, 'n');  // names in name order: Wine lists values that way
    key.Set("first", "1");
    key.Set(longName, "2");
    key.Set("third", "3");
    EXPECT_EQ(ReadValueNames(key.Root(), key.Path()), (std::vector<std::string>{"first", longName, "third"}));
}

// Read through the A functions, a name ends at a NUL and a lone surrogate becomes U+FFFD: either
// way its text names another value, which a clear would delete.
TEST(RegistryTest, NamesTheCodePageCannotSpellAreNeitherListedNorActedOn) {
    ScratchKey key("odd-names");
    key.Set("url1", "a.example");
    key.Set("\xEF\xBF\xBDu", "b.example");
    ASSERT_TRUE(key.SetRawName(std::wstring(L"url1\0x", 6), L"nul.example"));
    ASSERT_TRUE(key.SetRawName(L"\xD800u", L"surrogate.example"));
    std::vector<std::string> names;
    for (const TypedUrl& url : ReadTypedUrls(key.Root(), key.Path())) names.push_back(url.name + "=" + url.text);
    EXPECT_EQ(names, (std::vector<std::string>{"url1=a.example", "\xEF\xBF\xBDu=b.example"}));
    DeleteTypedUrls(key.Root(), key.Path(), {std::string("url1\0x", 6)});
    EXPECT_TRUE(key.Has("url1"));
}

TEST(LinkColorsTest, OnlyThreeNumbersUpTo255ParseAsAColour) {
    struct Case {
        const char* text;
        std::optional<COLORREF> expected;
    };
    const Case cases[] = {
        {"0,0,255", RGB(0, 0, 255)},  {" 12 , 34 ,56 ", RGB(12, 34, 56)}, {"255,255,255", RGB(255, 255, 255)},
        {"", std::nullopt},           {"1,2", std::nullopt},              {"1,2,3,4", std::nullopt},
        {"1,,3", std::nullopt},       {"256,0,0", std::nullopt},          {"-1,0,0", std::nullopt},
        {"1,2,3x", std::nullopt},     {"0x10,0,0", std::nullopt},         {"1 2,3,4", std::nullopt},
        {"99999999999,0,0", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseColorText(c.text), c.expected);
    }
}

TEST(LinkColorsTest, RegistryValuesReplaceTheDefaultsOneByOne) {
    ScratchKey key("colors");
    LinkColors defaults = ReadLinkColors(key.Root(), key.Path());
    EXPECT_EQ(defaults.link, RGB(0, 0, 255));
    EXPECT_EQ(defaults.visited, RGB(128, 0, 128));
    key.Set("Anchor Color", "10,20,30");
    key.Set("Anchor Color Visited", "purple");  // unreadable: the default stays
    LinkColors read = ReadLinkColors(key.Root(), key.Path());
    EXPECT_EQ(read.link, RGB(10, 20, 30));
    EXPECT_EQ(read.visited, RGB(128, 0, 128));
}
