// The shipped language file and the keys the program's code and templates use must match.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string Source(const std::string& relative) { return HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/" + relative); }

std::set<std::string> FileKeys() {
    std::set<std::string> keys;
    std::string text = ReadFile(Source("res/Tidyhold.language"));
    std::regex entry(R"(^[ \t]*(_[A-Za-z0-9]+)[ \t]*=)", std::regex::multiline);
    for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it) keys.insert((*it)[1]);
    return keys;
}

// Every "_Key" literal (a trailing blank allowed, as the option check boxes carry) in code and templates.
std::set<std::string> UsedKeys() {
    std::set<std::string> keys;
    std::regex literal(R"re("(_[A-Z][A-Za-z0-9]*|_state[A-Za-z0-9]+) ?")re");
    for (const char* folder : {"base", "ui", "app", "settings", "scan", "clean", "res/dialogs"}) {
        for (const auto& file : fs::recursive_directory_iterator(Source(folder))) {
            std::string extension = file.path().extension().string();
            if (extension != ".cpp" && extension != ".h" && extension != ".rc") continue;
            std::string text = ReadFile(file.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) keys.insert((*it)[1]);
        }
    }
    return keys;
}

// Keys whose code arrives with its window: shipped now, looked up once that code exists.
const std::set<std::string> kAwaitingCode = {};

}  // namespace

TEST(LanguageFile, EveryKeyInUseHasATextAndEveryTextIsUsed) {
    std::set<std::string> inFile = FileKeys();
    std::set<std::string> used = UsedKeys();
    ASSERT_GT(inFile.size(), 150u);
    for (const std::string& key : used) EXPECT_TRUE(inFile.count(key)) << key << " has no text";
    for (const std::string& key : inFile)
        EXPECT_TRUE(used.count(key) || kAwaitingCode.count(key)) << key << " is never used";
    for (const std::string& key : kAwaitingCode) {
        EXPECT_TRUE(inFile.count(key)) << key << " has no text";
        EXPECT_FALSE(used.count(key)) << key << " is in use now: take it off the awaiting list";
    }
}

TEST(LanguageFile, EachKeyHasOneEntry) {
    std::string text = ReadFile(Source("res/Tidyhold.language"));
    std::regex entry(R"(^[ \t]*(_[A-Za-z0-9]+)[ \t]*=)", std::regex::multiline);
    std::set<std::string> seen;
    for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it) {
        std::string lower = (*it)[1];
        for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(seen.insert(lower).second) << (*it)[1] << " is written twice";
    }
}
