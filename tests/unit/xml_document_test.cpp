#include <windows.h>

#include <gtest/gtest.h>

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
