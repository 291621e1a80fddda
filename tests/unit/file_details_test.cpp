#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "base/version_info.h"
#include "scan/file_details.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/temp_folder.h"
#include "ui/language_table.h"

namespace {

class FileDetailsTest : public testing::Test {
protected:
    ScopedLanguage language{ShippedLanguageFile()};
    TempFolder folder;
};

FILETIME NoonUtc(WORD year, WORD month, WORD day) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = 12;
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    return file;
}

std::vector<std::string> Names(const DetailTable& table) {
    std::vector<std::string> names;
    for (const auto& [name, value] : table) names.push_back(name);
    return names;
}

}  // namespace

// The sample's resource, patched: the translation table, its last node, claims 64 KB; the string
// section claims more than the resource holds. Each ends where an unreadable page begins.
TEST(VersionBlockTest, LengthsAreHeldToTheBuffer) {
    std::vector<char> sample = ReadVersionBlock(HostPath(TIDYHOLD_VERSION_SAMPLE));
    ASSERT_GT(sample.size(), 6u);
    sample.resize(*reinterpret_cast<const std::uint16_t*>(sample.data()));  // the resource alone
    auto patched = [&](std::wstring_view key, size_t field) {
        std::string bytes(sample.begin(), sample.end());
        size_t at = bytes.find(std::string(reinterpret_cast<const char*>(key.data()), key.size() * 2)) - 6 + field;
        return bytes.replace(at, 2, "\xF0\xFF");
    };
    const std::pair<std::string, size_t> cases[] = {{patched(L"Translation", 2), 2}, {patched(L"StringFileInfo", 0), 0}};
    char* pages = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    ASSERT_TRUE(pages && VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old));
    for (const auto& [bytes, translations] : cases) {
        SCOPED_TRACE(translations);
        char* at = static_cast<char*>(std::memcpy(pages + 4096 - bytes.size(), bytes.data(), bytes.size()));
        VersionBlock block({at, bytes.size()});
        EXPECT_EQ(block.Translations().size(), translations);
        EXPECT_EQ(block.Text(0x0411, 0x04E4, L"FileVersion"), L"");  // looked for through every table
    }
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(FileDetailsTest, PlainFileShowsSizeAndTheThreeTimesByTranslatedName) {
    std::string file = folder / "notes.txt";
    WriteFile(file, std::string(1536, 'n'));
    {
        // Times far apart and at noon UTC, so any zone keeps their dates.
        HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        FILETIME created = NoonUtc(2001, 2, 3), accessed = NoonUtc(2011, 5, 6), written = NoonUtc(2021, 8, 9);
        SetFileTime(handle, &created, &accessed, &written);
        CloseHandle(handle);
    }
    FileDetails details = GatherFileDetails(file);
    EXPECT_TRUE(details.found);
    EXPECT_TRUE(details.versionGroups.empty());
    // Key order would put _FileSize second; the shipped texts put "Size" last.
    EXPECT_EQ(Names(details.generalRows),
              (std::vector<std::string>{"Created", "Last accessed", "Last modified", "Size"}));
    EXPECT_EQ(details.generalRows["Size"], "0.00MB(1.50KB)");
    EXPECT_EQ(details.generalRows["Last accessed"].substr(0, 11), "2011-05-06 ");
    EXPECT_EQ(details.generalRows["Last modified"].substr(0, 11), "2021-08-09 ");
    // Wine keeps no creation time of its own on a Linux file system: it shows the write time.
    EXPECT_EQ(details.generalRows["Created"].size(), 19u);
    EXPECT_EQ(DetailRows(details).size(), 4u);
}

TEST_F(FileDetailsTest, SizesComeFromTheFullSize) {
    EXPECT_EQ(SizeText(2097152), "2.00MB(2048.00KB)");
    EXPECT_EQ(SizeText(0), "0.00MB(0.00KB)");
    // 4 GiB and 5 GiB + 512: the low 32 bits alone would read 0 and 512 bytes.
    EXPECT_EQ(SizeText(4294967296ULL), "4096.00MB(4194304.00KB)");
    EXPECT_EQ(SizeText(5368709632ULL), "5120.00MB(5242880.50KB)");
}

TEST_F(FileDetailsTest, TwoTranslationsComeInTableOrderWithAllTwelveRows) {
    FileDetails details = GatherFileDetails(HostPath(TIDYHOLD_VERSION_SAMPLE));
    ASSERT_TRUE(details.found);
    ASSERT_EQ(details.versionGroups.size(), 2u);
    EXPECT_EQ(details.versionGroups[0].code, "0x0409 0x04E4");  // sorts after the second as text
    EXPECT_EQ(details.versionGroups[1].code, "0x0407 0x04E4");
    for (const VersionGroup& group : details.versionGroups) {
        SCOPED_TRACE(group.code);
        EXPECT_EQ(group.rows.size(), 12u);
        EXPECT_EQ(group.rows.at("Private build"), "");  // absent from the resource: shown empty
        EXPECT_EQ(group.rows.at("File version"), "1.2.3.4");
    }
    EXPECT_EQ(details.versionGroups[0].rows.at("File description"), "Version sample");
    EXPECT_EQ(details.versionGroups[1].rows.at("File description"), "Versionsmuster für Größen");

    auto rows = DetailRows(details);
    ASSERT_EQ(rows.size(), 2 * 13 + 4u);
    EXPECT_EQ(rows[0], (std::pair<std::string, std::string>{"Language", "0x0409 0x04E4"}));
    EXPECT_EQ(rows[1].first, "Comments");  // first of the group's rows by translated name
    EXPECT_EQ(rows[13], (std::pair<std::string, std::string>{"Language", "0x0407 0x04E4"}));
    EXPECT_EQ(rows[26].first, "Created");
}

TEST_F(FileDetailsTest, MissingFileOrFolderGivesTheSingleNotFoundRow) {
    std::string notFound = Language().Lookup("_FileIsNotExistInfo");
    for (const std::string& path : {folder / "gone.txt", folder.Path(), std::string()}) {
        SCOPED_TRACE(path);
        FileDetails details = GatherFileDetails(path);
        EXPECT_FALSE(details.found);
        EXPECT_TRUE(details.versionGroups.empty());
        ASSERT_EQ(details.generalRows.size(), 1u);
        EXPECT_EQ(details.generalRows.begin()->first, "");
        EXPECT_EQ(details.generalRows.begin()->second, notFound);
    }
}

TEST_F(FileDetailsTest, FileHeldOpenByAnotherProgramIsStillFound) {
    std::string file = folder / "locked.log";
    WriteFile(file, std::string(2048, 'x'));
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    FileDetails details = GatherFileDetails(file);
    CloseHandle(held);
    EXPECT_TRUE(details.found);
    EXPECT_EQ(details.generalRows["Size"], "0.00MB(2.00KB)");
}

TEST(FileDetailsSearch, WholeNameIsSearchedWhateverItHolds) {
    const std::string page = "https://www.google.com/search?q=";
    struct Case {
        const char* path;
        const char* term;
        const char* query;
    };
    const Case cases[] = {
        {"C:\\temp\\report.tmp", "report.tmp", "report.tmp"},
        {"C:\\temp\\my old notes.txt", "my old notes.txt", "my%20old%20notes.txt"},
        {"C:\\temp\\R&D #2+3=5?.doc", "R&D #2+3=5?.doc", "R%26D%20%232%2B3%3D5%3F.doc"},
        {"C:\\temp\\Über café.txt", "Über café.txt", "%C3%9Cber%20caf%C3%A9.txt"},
        {"D:name~1_a-b.txt", "name~1_a-b.txt", "name~1_a-b.txt"},
        {"plain", "plain", "plain"},
        {"C:\\temp\\", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string term = SearchTerm(c.path, "");
        EXPECT_EQ(term, c.term);
        EXPECT_EQ(SearchAddress(term), page + c.query);
    }
    EXPECT_EQ(SearchTerm("C:\\temp\\report.tmp", "given text"), "given text");
}
