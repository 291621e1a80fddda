#include <gtest/gtest.h>

#include "app/command_line.h"

TEST(CommandLine, SizesTakeUnitsOf1024AndRefuseTheRest) {
    const std::pair<const char*, std::optional<std::uint64_t>> cases[] = {
        {"2048", 2048},         {"64k", 65536},     {"500MB", 500ull << 20}, {"1.5 GB", 3ull << 29},
        {" 2tb ", 2ull << 40},  {"0", 0},           {"", std::nullopt},      {"MB", std::nullopt},
        {"5 XB", std::nullopt}, {"-1", std::nullopt}, {"1e3", std::nullopt}, {".", std::nullopt},
        {"99999999999999999999", std::nullopt},       {"16777216TB", std::nullopt},
    };
    for (const auto& [text, bytes] : cases) EXPECT_EQ(ParseSize(text), bytes) << text;
}

TEST(CommandLine, OptionsAreTakenOnceAndOnlyWhereTheyMeanSomething) {
    ParsedCommand clean = ParseCommandLine({"clean", "--folder", "C:\\a", "--folder", "D:\\", "--backup", "E:\\bk",
                                            "--recycle", "--report", "r.csv", "--quiet"});
    ASSERT_TRUE(clean.options) << clean.error;
    EXPECT_EQ(clean.options->command, Command::Clean);
    EXPECT_EQ(clean.options->folders, (std::vector<std::string>{"C:\\a", "D:\\"}));
    EXPECT_EQ(clean.options->backup, true);
    EXPECT_EQ(clean.options->backupDirectory, "E:\\bk");
    EXPECT_EQ(clean.options->removal, Removal::RecycleBin);
    EXPECT_TRUE(clean.options->quiet);
    EXPECT_EQ(ParseCommandLine({"scan", "--detect-over", "1GB"}).options->detectOver, 1ull << 30);
    EXPECT_EQ(ParseCommandLine({"scan", "/?"}).options->command, Command::Help);

    const std::vector<std::vector<std::string>> refused = {
        {},
        {"Clean"},
        {"clean", "--folder"},
        {"clean", "--folder", ""},
        {"clean", "--backup", "x", "--no-backup"},
        {"clean", "--permanent", "--permanent"},
        {"clean", "--detect-over", "1MB"},
        {"clean", "--plan", "p.json", "--folder", "C:\\"},
        {"scan", "--recycle"},
        {"scan", "-quiet"},
        {"scan", "--report", "r.txt"},
    };
    for (const auto& args : refused) {
        ParsedCommand parsed = ParseCommandLine(args);
        EXPECT_FALSE(parsed.options) << testing::PrintToString(args);
        EXPECT_FALSE(parsed.error.empty());
    }
}
