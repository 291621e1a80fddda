// The shipped language file and the keys the program's code and templates use must match.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "settings/junk_descriptions.h"
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
    for (const char* folder : {"base", "ui", "app", "settings", "scan", "clean", "res/dialogs", "components/log"}) {
        for (const auto& file : fs::recursive_directory_iterator(Source(folder))) {
            std::string extension = file.path().extension().string();
            if (extension != ".cpp" && extension != ".h" && extension != ".rc") continue;
            std::string text = ReadFile(file.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) keys.insert((*it)[1]);
        }
    }
    return keys;
}

// The entries of section [String] as the INI reader sees them: blanks around names and values
// dropped, one pair of enclosing quotes removed.
std::map<std::string, std::string> Entries(const std::string& file) {
    std::map<std::string, std::string> entries;
    std::string text = ReadFile(Source(file));
    std::regex line(R"(^[ \t]*(_[A-Za-z0-9]+)[ \t]*=[ \t]*(.*?)[ \t\r]*$)", std::regex::multiline);
    for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) {
        std::string value = (*it)[2];
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        entries[(*it)[1]] = value;
    }
    return entries;
}

// The argument each printf conversion takes, with its kind ("d", "f", "s"): a numbered one (%2$s)
// by its number, a plain one by its place among the conversions; %% is no conversion. A text that
// mixes the two gets a {0, "mixed"} entry, since the plain ones would print as written.
using Arguments = std::set<std::pair<int, std::string>>;
Arguments Conversions(const std::string& text) {
    Arguments arguments;
    std::regex conversion(
        R"(%(%|(?:([0-9]+)\$)?[-+ #0]*[0-9*]*(?:\.[0-9*]*)?(?:hh|h|ll|l|L|z|j|t|I64|I32)?([a-zA-Z])))");
    int place = 0;
    bool numbered = false, plain = false;
    for (std::sregex_iterator it(text.begin(), text.end(), conversion), end; it != end; ++it) {
        if ((*it)[1] == "%") continue;
        ++place;
        if ((*it)[2].matched) {
            numbered = true;
            arguments.insert({std::stoi((*it)[2]), (*it)[3]});
        } else {
            plain = true;
            arguments.insert({place, (*it)[3]});
        }
    }
    if (numbered && plain) arguments.insert({0, "mixed"});
    return arguments;
}

// A single & marks the next letter as the access key; && is a plain ampersand.
bool HasMnemonic(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return true;
        ++i;
    }
    return false;
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

// A translation replaces the English file whole: a missing key would show as its raw name, and a
// conversion of another argument or kind would print a size where a count belongs. Numbered
// conversions let a translation take the arguments in its own order.
TEST(LanguageFile, TheGermanFileTranslatesEveryKeyWithTheSameConversions) {
    std::map<std::string, std::string> english = Entries("res/Tidyhold.language");
    std::map<std::string, std::string> german = Entries("res/Tidyhold.de.language");
    ASSERT_EQ(english.size(), FileKeys().size());
    for (const auto& [key, text] : english) {
        SCOPED_TRACE(key);
        auto found = german.find(key);
        if (found == german.end()) {
            ADD_FAILURE() << "no German text";
            continue;
        }
        const std::string& translated = found->second;
        EXPECT_EQ(translated.empty(), text.empty());
        EXPECT_EQ(Conversions(translated), Conversions(text)) << translated;
        EXPECT_EQ(HasMnemonic(translated), HasMnemonic(text)) << translated;
        EXPECT_EQ(translated.find("\\r\\n") != std::string::npos, text.find("\\r\\n") != std::string::npos);
    }
    for (const auto& entry : german) EXPECT_TRUE(english.count(entry.first)) << entry.first << " is not an English key";
}

// The shipped config.xml names its factory descriptions by key; a key the program does not know
// would show as itself in every language. (Each known key is checked above for its texts.)
TEST(LanguageFile, TheShippedConfigDescribesItsMasksByKeysTheProgramTranslates) {
    std::string config = ReadFile(Source("res/config.xml"));
    std::regex description(R"re(description="([^"]*)")re");
    int count = 0;
    for (std::sregex_iterator it(config.begin(), config.end(), description), end; it != end; ++it, ++count)
        EXPECT_NE(FactoryDescription((*it)[1].str()), 0) << (*it)[1];
    EXPECT_GT(count, 0);
}

TEST(LanguageFile, ConversionsAreReadByArgumentAndKind) {
    EXPECT_EQ(Conversions("Files: %d  %.2f KB (%5.2f MB) 100%% %s %02d/%lld"),
              (Arguments{{1, "d"}, {2, "f"}, {3, "f"}, {4, "s"}, {5, "d"}, {6, "d"}}));
    EXPECT_EQ(Conversions("%02d/%02d/%04d"), Conversions("%2$02d.%1$02d.%3$04d"));
    EXPECT_NE(Conversions("%d of %s"), Conversions("%2$d of %1$s"));
    EXPECT_NE(Conversions("%s %s"), Conversions("%2$s %s"));  // the plain one prints as written
    EXPECT_FALSE(HasMnemonic("Tom && Jerry"));
    EXPECT_TRUE(HasMnemonic("Tom && &Jerry"));
}
