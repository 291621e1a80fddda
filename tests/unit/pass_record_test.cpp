#include <gtest/gtest.h>

#include "clean/log_client.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/temp_folder.h"
#include "ui/language_table.h"

// A long pass goes in numbered parts, so a kill loses at most the last; every line names its file,
// also where the language text places no path.
TEST(PassRecord, ALongPassIsWrittenInNumberedPartsThatNameEveryFile) {
    TempFolder root;
    ScopedLanguage language(root, "_Head=Removing:\r\n_LogPartHeader=%s [%d]\r\n_Gone=gone\r\n");
    std::vector<std::string> parts;
    PassRecord record("_Head", "_Action", [&](const char* action, const std::string& text) {
        EXPECT_STREQ(action, "_Action");
        parts.push_back(text);
        return parts.size() != 2;  // the second part is lost
    });
    const std::size_t files = PassRecord::kPartFiles + 3;
    for (std::size_t i = 0; i < files; ++i) record.Add(Language().Lookup("_Gone"), "C:\\f" + std::to_string(i));
    EXPECT_FALSE(record.Finish());
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].rfind("Removing: [1]\r\n\r\ngone C:\\f0\r\n\r\n", 0), 0u);
    EXPECT_EQ(parts[1], "Removing: [2]\r\n\r\ngone C:\\f2000\r\n\r\ngone C:\\f2001\r\n\r\ngone C:\\f2002\r\n\r\n");

    PassRecord shortPass("_Head", "_Action", [&](const char*, const std::string& text) {
        parts.push_back(text);
        return true;
    });
    shortPass.Add("gone C:\\x", "C:\\x");  // placed by the text: not added again
    EXPECT_TRUE(shortPass.Finish());
    EXPECT_EQ(parts.back(), "Removing:\r\n\r\ngone C:\\x\r\n\r\n");
}
