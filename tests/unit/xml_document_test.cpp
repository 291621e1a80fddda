#include <windows.h>

#include <gtest/gtest.h>

#include "base/program_paths.h"
#include "base/xml_document.h"
#include "tests/support/temp_folder.h"

namespace {

const char* kShelf = R"(<?xml version="1.0" encoding="UTF-8"?>
<shelf>
  <box name="first">
    <note text="a"/>
    <note text="b"/>
  </box>
  <box name="second">
    <note text="c"/>
  </box>
  <box name="empty"></box>
</shelf>
)";

class XmlDocumentTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFile(file, kShelf);
        ASSERT_TRUE(document.Load(file));
    }
    std::vector<std::string> Texts(std::string_view path) {
        std::vector<std::string> texts;
        for (const XmlNode& node : document.FindNodes(path))
            texts.push_back(document.GetAttribute(node, "text").value_or("-"));
        return texts;
    }
    TempFolder folder;
    std::string file = folder / "shelf.xml";
    XmlDocument document;
};

}  // namespace

TEST_F(XmlDocumentTest, PathsMatchAcrossEveryParentInDocumentOrder) {
    EXPECT_EQ(Texts("/shelf/box/note"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(document.GetAttribute(document.FindNode("/shelf/box"), "name"), "first");
    EXPECT_EQ(document.GetAttribute(document.FindNode("/shelf/box/note"), "text"), "a");
    EXPECT_TRUE(Texts("/shelf/box/missing").empty());
    EXPECT_FALSE(document.FindNode("/box"));                                      // absolute: from the root
    EXPECT_FALSE(document.GetAttribute(document.FindNode("/shelf/box"), "size"));  // no such attribute
    EXPECT_FALSE(document.GetAttribute(document.FindNode("/shelf/nothing"), "name"));
}

TEST_F(XmlDocumentTest, AppendedElementsTakeTheirAttributesInNameOrderAndTheFileStaysTidy) {
    WriteFile(file, "<list>\n  <items>\n    <note text=\"a\"/>\n    <!-- stays -->\n    <note text=\"b\"/>\n"
                    "  </items>\n  <empty></empty>\n</list>\n");
    ASSERT_TRUE(document.Load(file));
    auto refill = [&] {
        XmlNode items = document.FindNode("/list/items");
        for (const XmlNode& note : document.FindNodes("/list/items/note")) document.RemoveChild(items, note);
        document.AppendElement(items, "note", {{"text", "x"}, {"alpha", "1"}});
        document.AppendElement(items, "note", {{"text", "y"}});
        ASSERT_TRUE(document.Save());
    };
    refill();
    std::string once = ReadFile(file);
    EXPECT_NE(once.find("<items>\n    <!-- stays -->\n    <note alpha=\"1\" text=\"x\"/>\n    <note text=\"y\"/>\n"
                        "  </items>"),
              std::string::npos)
        << once;
    refill();
    refill();
    EXPECT_EQ(ReadFile(file), once);

    document.AppendElement(document.FindNode("/list/empty"), "note", {{"text", "z"}});  // no indentation to follow
    document.AppendElement(XmlNode(), "note", {{"text", "lost"}});
    EXPECT_EQ(Texts("/list/empty/note"), (std::vector<std::string>{"z"}));
}

TEST_F(XmlDocumentTest, SaveReplacesTheFileWholeOrLeavesItAsItWas) {
    document.SetAttribute(document.FindNode("/shelf/box"), "name", "renamed");
    document.SetAttribute(document.FindNode("/shelf/box"), "label", "");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(document.Save());
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(file), kShelf);
    EXPECT_EQ(GetFileAttributesA((file + ".new").c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(document.Save());
    EXPECT_NE(ReadFile(file).find(R"(<box name="renamed" label="">)"), std::string::npos);
    EXPECT_EQ(GetFileAttributesA((file + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(XmlDocumentTest, AFileThatDidNotLoadIsNeverWritten) {
    const std::string broken = "<shelf><box name=\"first\"";
    const std::string missing = folder / "missing.xml";
    struct Case {
        const char* name;
        std::string path;
    };
    WriteFile(folder / "broken.xml", broken);
    for (const Case& c : {Case{"missing", missing}, Case{"broken", folder / "broken.xml"}}) {
        SCOPED_TRACE(c.name);
        XmlDocument other;
        EXPECT_FALSE(other.Load(c.path));
        EXPECT_FALSE(other.FindNode("/shelf/box"));
        other.SetAttribute(other.FindNode("/shelf/box"), "name", "x");
        EXPECT_FALSE(other.Save());
    }
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);  // not created
    EXPECT_EQ(ReadFile(folder / "broken.xml"), broken);                        // byte for byte
}

namespace {

// "été 中" in the process code page (UTF-8) and in the file.
const char* kSummer = "\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD";
const char* kUtf8Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string Utf16(std::wstring_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

}  // namespace

TEST(XmlDocumentFiles, EveryDeclaredEncodingIsReadAsDeclaredAndWrittenAsUtf8) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* value;
    };
    const std::wstring utf16 = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<shelf>\n  <box name=\"\u00e9t\u00e9 \u4e2d\"/>\n</shelf>\n";
    const Case cases[] = {
        {"UTF-16, little end first", Utf16(utf16, false), kSummer},
        {"UTF-16, big end first", Utf16(utf16, true), kSummer},
        {"ISO-8859-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<shelf>\n  <box name=\"\xE9t\xE9\"/>\n</shelf>\n",
         "\xC3\xA9t\xC3\xA9"},
        {"UTF-8 with a byte order mark", std::string("\xEF\xBB\xBF") + kUtf8Declaration + "<shelf>\n  <box name=\"" +
                                             kSummer + "\"/>\n</shelf>\n", kSummer},
        {"no declaration", std::string("<shelf>\n  <box name=\"") + kSummer + "\"/>\n</shelf>\n", kSummer},
    };
    const std::string written = std::string(kUtf8Declaration) + "<shelf>\n  <box name=\"%\" size=\"2\"/>\n</shelf>\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::string file = folder / "shelf.xml";
        WriteFile(file, c.bytes);
        XmlDocument document;
        ASSERT_TRUE(document.Load(file));
        EXPECT_EQ(document.GetAttribute(document.FindNode("/shelf/box"), "name"), c.value);
        document.SetAttribute(document.FindNode("/shelf/box"), "size", "2");
        ASSERT_TRUE(document.Save());
        std::string expected = written;
        expected.replace(expected.find('%'), 1, c.value);
        EXPECT_EQ(ReadFile(file), expected);
        for (int close = 0; close < 2; ++close) {  // later closes change nothing
            XmlDocument again;
            ASSERT_TRUE(again.Load(file));
            EXPECT_EQ(again.GetAttribute(again.FindNode("/shelf/box"), "name"), c.value);
            ASSERT_TRUE(again.Save());
            EXPECT_EQ(ReadFile(file), expected);
        }
    }
}

TEST(XmlDocumentFiles, DoctypesCommentsAndInstructionsDoNotHideTheElements) {
    TempFolder folder;
    WriteFile(folder / "secret.txt", "SECRET");
    // Fetched, this DTD would give the box a default "size".
    WriteFile(folder / "shelf.dtd", "<!ATTLIST box size CDATA \"from-dtd\">\n");
    const std::string head = "<?xml version=\"1.0\"?>\n";
    struct Case {
        const char* name;
        std::string prolog;
    };
    const Case cases[] = {
        {"internal subset", "<!DOCTYPE shelf [\n<!ELEMENT shelf ANY>\n]>\n"},
        {"external DTD", "<!DOCTYPE shelf SYSTEM \"shelf.dtd\">\n"},
        {"external DTD by full path", "<!DOCTYPE shelf SYSTEM \"" + folder / "shelf.dtd" + "\">\n"},
        {"comment and instruction", "<!-- settings -->\n<?tidy keep?>\n"},
        {"external entity", "<!DOCTYPE shelf [\n<!ENTITY secret SYSTEM \"secret.txt\">\n"
                            "<!ENTITY far SYSTEM \"" + folder / "secret.txt" + "\">\n]>\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = folder / "shelf.xml";
        WriteFile(file, head + c.prolog + "<shelf>\n  <box name=\"first\"><note>&amp;</note></box>\n"
                        "  <box name=\"second\"/>\n</shelf>\n");
        if (c.name == std::string("external entity"))
            WriteFile(file, head + c.prolog + "<shelf>\n  <box name=\"first\"><note>&secret;&far;</note></box>\n"
                            "  <box name=\"second\"/>\n</shelf>\n");
        XmlDocument document;
        ASSERT_TRUE(document.Load(file));
        XmlNode first = document.FindNode("/shelf/box");
        EXPECT_EQ(document.GetAttribute(first, "name"), "first");
        EXPECT_EQ(document.FindNodes("/shelf/box").size(), 2u);
        EXPECT_FALSE(document.GetAttribute(first, "size"));  // the DTD was not read
        document.SetAttribute(document.FindNode("/shelf/box"), "name", "renamed");
        ASSERT_TRUE(document.Save());
        std::string saved = ReadFile(file);
        EXPECT_NE(saved.find(c.prolog), std::string::npos) << saved;  // kept as it was
        EXPECT_NE(saved.find("<box name=\"renamed\">"), std::string::npos) << saved;
        EXPECT_EQ(saved.find("SECRET"), std::string::npos) << saved;
        EXPECT_EQ(saved.find("from-dtd"), std::string::npos) << saved;
    }
    std::string saved = ReadFile(folder / "shelf.xml");
    EXPECT_NE(saved.find("<note>&secret;&far;</note>"), std::string::npos) << saved;  // references stay references
}

TEST(XmlDocumentFiles, AnEntityInAValueIsStoredAsTheReferenceItWas) {
    TempFolder folder;
    std::string file = folder / "shelf.xml";
    WriteFile(file, "<?xml version=\"1.0\"?>\n<!DOCTYPE shelf [\n<!ENTITY name \"named\">\n]>\n"
                    "<shelf>\n  <box name=\"&name;\" size=\"1\"/>\n</shelf>\n");
    XmlDocument document;
    ASSERT_TRUE(document.Load(file));
    document.SetAttribute(document.FindNode("/shelf/box"), "size", "2");
    ASSERT_TRUE(document.Save());
    EXPECT_NE(ReadFile(file).find("<box name=\"&name;\" size=\"2\"/>"), std::string::npos) << ReadFile(file);
}

TEST(XmlDocumentFiles, ADocumentThatWouldNotReadBackIsNeverWritten) {
    TempFolder folder;
    std::string file = folder / "shelf.xml";
    const std::string original = "<shelf>\n  <box name=\"first\"/>\n</shelf>\n";
    WriteFile(file, original);
    XmlDocument document;
    ASSERT_TRUE(document.Load(file));
    // XML 1.0 has no way to write this character, not even as a reference.
    document.SetAttribute(document.FindNode("/shelf/box"), "name", "a\x01z");
    EXPECT_FALSE(document.Save());
    EXPECT_EQ(ReadFile(file), original);
    EXPECT_EQ(GetFileAttributesA((file + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(XmlDocumentFiles, FilesPastMaxPathLoadAndSaveAndAFailedSaveLeavesNothing) {
    TempFolder folder;
    std::string longFolder = MakeLongFolder(folder, 300);
    std::string file = longFolder + "\\config.xml";
    ASSERT_GT(file.size(), 300u);
    WriteFile(file, "<shelf>\n  <box name=\"first\"/>\n</shelf>\n");
    XmlDocument document;
    ASSERT_TRUE(document.Load(file));
    EXPECT_EQ(document.GetAttribute(document.FindNode("/shelf/box"), "name"), "first");
    document.SetAttribute(document.FindNode("/shelf/box"), "name", "long");
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(ReadFile(file), std::string(kUtf8Declaration) + "<shelf>\n  <box name=\"long\"/>\n</shelf>\n");

    std::wstring wide = ExtendedPath(file);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY);
    document.SetAttribute(document.FindNode("/shelf/box"), "name", "lost");
    EXPECT_FALSE(document.Save());
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_NE(ReadFile(file).find("\"long\""), std::string::npos);
    EXPECT_EQ(GetFileAttributesW((wide + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}
