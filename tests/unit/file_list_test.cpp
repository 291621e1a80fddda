#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_list.h"
#include "tests/support/temp_folder.h"

namespace {

const std::vector<FileListEntry> kEntries = {
    {"C:\\a,b\\\"quoted\" name.tmp", 12, 133'000'000'001'234'567ull, "say \"hi\", then go", "found"},
    {"C:\\Users\\J\xC3\xBCrgen\\\xE6\x97\xA5\\\xF0\x9F\x98\x80.tmp", 0, 0, "=cmd|' /C calc'!A0", "removed"},
    {"C:\\line\r\nbreak\\tab\there\\back\\slash", UINT64_MAX, std::nullopt, "'quoted", ""},
    {"\\\\server\\share\\-x.log", 7, 1, "-5 days\r\n@twice", "kept-changed"},
};

CleanFiles Expected(const std::vector<FileListEntry>& entries) {
    CleanFiles files;
    for (const FileListEntry& entry : entries)
        files[entry.path] = {entry.reason,
                             entry.writeTime ? std::optional(FileStamp{entry.size, *entry.writeTime}) : std::nullopt};
    return files;
}

std::optional<CleanFiles> Parse(std::string_view text, FileListFormat format) {
    std::string error;
    std::optional<CleanFiles> files = ParseFileList(text, format, error);
    EXPECT_EQ(files.has_value(), error.empty()) << error;
    return files;
}

}  // namespace

TEST(FileListTest, BothFormatsGiveBackEveryPathReasonAndStampExactly) {
    const std::string json = FileListJson(kEntries, {{"files", 4u}, {"set", "C:\\Backup\\2026"}});
    EXPECT_TRUE(std::ranges::all_of(json, [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    EXPECT_NE(json.find("\"summary\":{\"files\":4,\"set\":\"C:\\\\Backup\\\\2026\"}"), std::string::npos);
    EXPECT_NE(json.find("\"writeTime\":\"2022-06-18T04:26:40.1234567Z\""), std::string::npos) << json;
    EXPECT_EQ(Parse(json, FileListFormat::Json), Expected(kEntries));

    const std::string csv = FileListCsv(kEntries);
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBFpath,size,writeTime,reason,result\r\n"));
    EXPECT_NE(csv.find(",'=cmd|"), std::string::npos);  // no formula when a spreadsheet opens it
    EXPECT_EQ(Parse(csv, FileListFormat::Csv), Expected(kEntries));

    // A byte that is not UTF-8 becomes U+FFFD, so neither format is ever invalid.
    const std::vector<FileListEntry> broken = {{"C:\\bad\xFF\xC3.tmp", 1, 2, "r\xE2\x82", ""}};
    const std::vector<FileListEntry> replaced = {
        {"C:\\bad\xEF\xBF\xBD\xEF\xBF\xBD.tmp", 1, 2, "r\xEF\xBF\xBD\xEF\xBF\xBD", ""}};
    EXPECT_EQ(Parse(FileListJson(broken, {}), FileListFormat::Json), Expected(replaced));
    EXPECT_EQ(Parse(FileListCsv(broken), FileListFormat::Csv), Expected(replaced));
}

TEST(FileListTest, WriteTimesMatchWindowsCalendarBothWays) {
    SYSTEMTIME leap{2024, 2, 4, 29, 23, 59, 59, 999};
    FILETIME time{};
    ASSERT_TRUE(SystemTimeToFileTime(&leap, &time));
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    EXPECT_EQ(WriteTimeText(ticks + 1), "2024-02-29T23:59:59.9990001Z");
    EXPECT_EQ(ParseWriteTime("2024-02-29T23:59:59.9990001Z"), ticks + 1);
    EXPECT_EQ(ParseWriteTime("2024-02-29T23:59:59.999Z"), ticks);
    EXPECT_EQ(WriteTimeText(0), "1601-01-01T00:00:00.0000000Z");
    EXPECT_EQ(ParseWriteTime("1601-01-01T00:00:00Z"), 0u);
    EXPECT_EQ(WriteTimeText(UINT64_MAX), "");  // past 9999: written as unknown
}

TEST(FileListTest, WrittenByExtensionOverAnOldListAndReadBackByExtensionOrContent) {
    TempFolder folder;
    std::string error;
    for (const char* name : {"list.JSON", "list.csv"}) {
        SCOPED_TRACE(name);
        WriteFile(folder / name, "an older list");
        ASSERT_TRUE(WriteFileList(folder / name, kEntries));
        EXPECT_EQ(ReadFileList(folder / name, error), Expected(kEntries)) << error;
    }
    EXPECT_FALSE(WriteFileList(folder / "list.txt", kEntries));
    EXPECT_FALSE(WriteFileList(folder / "no such folder\\list.json", kEntries));
    CopyFileTo(folder / "list.JSON", folder / "list.txt");
    EXPECT_EQ(ReadFileList(folder / "list.txt", error), Expected(kEntries)) << error;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((folder / "~*").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "a temporary file was left: " << found.cFileName;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST(FileListTest, RowsWithoutSizeOrTimeAreUnstampedAndOtherFieldsIgnored) {
    const CleanFiles unstamped = {{"C:\\a", {"x", std::nullopt}}, {"C:\\b", {"", std::nullopt}}};
    EXPECT_EQ(Parse("\xEF\xBB\xBF{\"other\":[1,{\"deep\":[true,null,-1.5e3]}],\"files\":[{\"reason\":\"x\",\"path\":"
                    "\"C:\\\\a\",\"size\":null,\"writeTime\":\"2024-01-01T00:00:00Z\"},{\"path\":\"C:\\\\b\","
                    "\"size\":3,\"extra\":{}}]}",
                    FileListFormat::Json),
              unstamped);
    EXPECT_EQ(Parse("reason,other,PATH,size\n\nx,1,C:\\a,\n,,C:\\b,3\n", FileListFormat::Csv), unstamped);
}

TEST(FileListTest, BrokenListsAreRefusedWholeSayingWhere) {
    const std::string deep = "{\"x\":" + std::string(100000, '[');
    struct Case {
        const char* name;
        std::string text;
        FileListFormat format;
        const char* where;
    } cases[] = {
        {"empty", "", FileListFormat::Json, "line 1"},
        {"not an object", "[]", FileListFormat::Json, "line 1"},
        {"no files", "{\"tool\":\"x\"}", FileListFormat::Json, "line 1"},
        {"cut short", "{\"files\":[{\"path\":\"C:\\\\a\",\n\"size\":1", FileListFormat::Json, "line 2"},
        {"bad escape", "{\"files\":[{\"path\":\"C:\\q\"}]}", FileListFormat::Json, "column 22"},
        {"lone surrogate", "{\"files\":[{\"path\":\"C:\\\\\\ud800x\"}]}", FileListFormat::Json, "line 1"},
        {"escaped NUL", "{\"files\":[{\"path\":\"C:\\\\a\\u0000b\"}]}", FileListFormat::Json, "line 1"},
        {"NUL byte", std::string("{\"files\":[{\"path\":\"C:\\\\a") + '\0' + "\"}]}", FileListFormat::Json, "column 25"},
        {"not UTF-8", "{\"files\":[{\"path\":\"C:\\\\\xC3\x28\"}]}", FileListFormat::Json, "line 1"},
        {"overlong UTF-8", "{\"files\":[{\"path\":\"C:\\\\\xC0\xAF\"}]}", FileListFormat::Json, "line 1"},
        {"control character", "{\"files\":[{\"path\":\"C:\\\\a\tb\"}]}", FileListFormat::Json, "line 1"},
        {"nested too deeply", deep, FileListFormat::Json, "line 1"},
        {"huge size", "{\"files\":[{\"path\":\"C:\\\\a\",\"size\":18446744073709551616}]}", FileListFormat::Json, "line 1"},
        {"negative size", "{\"files\":[{\"path\":\"C:\\\\a\",\"size\":-1}]}", FileListFormat::Json, "line 1"},
        {"size as text", "{\"files\":[{\"path\":\"C:\\\\a\",\"size\":\"1\"}]}", FileListFormat::Json, "line 1"},
        {"no such day", "{\"files\":[{\"path\":\"C:\\\\a\",\"writeTime\":\"2023-02-29T00:00:00Z\"}]}", FileListFormat::Json, "line 1"},
        {"relative path", "{\"files\":[{\"path\":\"a.tmp\"}]}", FileListFormat::Json, "line 1"},
        {"path twice", "{\"files\":[{\"path\":\"C:\\\\a\"},\n{\"path\":\"C:\\\\a\"}]}", FileListFormat::Json, "line 2"},
        {"no path", "{\"files\":[{\"size\":1}]}", FileListFormat::Json, "line 1"},
        {"files twice", "{\"files\":[],\"files\":[]}", FileListFormat::Json, "line 1"},
        {"trailing comma", "{\"files\":[{\"path\":\"C:\\\\a\",}]}", FileListFormat::Json, "line 1"},
        {"text after the end", "{\"files\":[]} x", FileListFormat::Json, "column 14"},
        {"no header", "\xEF\xBB\xBF", FileListFormat::Csv, "line 1"},
        {"no path column", "size\r\n1\r\n", FileListFormat::Csv, "line 1"},
        {"column twice", "path,Path\r\nC:\\a,C:\\b\r\n", FileListFormat::Csv, "line 1"},
        {"open quote", "path\r\nC:\\a\r\n\"C:\\b\r\n", FileListFormat::Csv, "line 3"},
        {"fields missing", "path,size\r\nC:\\a,1\r\nC:\\b\r\n", FileListFormat::Csv, "line 3"},
        {"quote in a bare field", "path\r\nC:\\a\"b\r\n", FileListFormat::Csv, "column 5"},
        {"text after a quote", "path\r\n\"C:\\a\"b\r\n", FileListFormat::Csv, "line 2"},
        {"bare CR", "path\r\nC:\\a\rC:\\b\r\n", FileListFormat::Csv, "line 2"},
        {"bad time", "path,writeTime\r\nC:\\a,yesterday\r\n", FileListFormat::Csv, "line 2"},
        {"huge size", "path,size\r\nC:\\a,99999999999999999999\r\n", FileListFormat::Csv, "line 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(ParseFileList(c.text, c.format, error));
        EXPECT_NE(error.find(c.where), std::string::npos) << error;
    }
}
