#include <gtest/gtest.h>

#include "base/text_format.h"

TEST(FormatText, SizesTakeTheUnitTheyFill) {
    EXPECT_EQ(SizeInUnit(1023), "1023 B");
    EXPECT_EQ(SizeInUnit(1024 * 1024 - 1), "1.00 MB");  // not 1024.00 KB
}

TEST(FormatText, FormatsWhatTheLanguageFileAsksFor) {
    EXPECT_EQ(FormatText("Files found: %d", {42LL}), "Files found: 42");
    EXPECT_EQ(FormatText("%d files, %.2lf KB (%.2lf MB)", {2LL, 1.5, 1.5 / 1024}), "2 files, 1.50 KB (0.00 MB)");
    EXPECT_EQ(FormatText("%02d/%02d/%04d %02d:%02d:%02d", {12LL, 31LL, 2005LL, 23LL, 59LL, 59LL}),
              "12/31/2005 23:59:59");
    EXPECT_EQ(FormatText("Copy %s to %s\r\n", {std::string("a"), std::string("b")}), "Copy a to b\r\n");
    EXPECT_EQ(FormatText("100%% done", {}), "100% done");
    EXPECT_EQ(FormatText("%I64d and %lld and %ld", {1LL, 2LL, 3LL}), "1 and 2 and 3");
    EXPECT_EQ(FormatText("%-5d|%5s|%x", {7LL, std::string("ab"), 255LL}), "7    |   ab|ff");
}

TEST(FormatText, HostileFormatsNeverReachPrintfUnchecked) {
    struct Case {
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {"%s", "42"},                           // a string asked of an integer: the integer as text
        {"%n", "%n"},                           // never writes through an argument
        {"%d %d %d", "42 %d %d"},               // too few arguments: the rest stay as written
        {"%p", "%p"},
        {"%*d", "%*d"},                         // a width from the arguments is not taken
        {"%.*s", "%.*s"},
        {"%", "%"},                             // cut off at the end
        {"%l", "%l"},
        {"%q", "%q"},
        {"%f", "42.000000"},                    // integer to a double conversion
        {"%c", "*"},
        {"no conversion", "no conversion"},     // extra arguments are ignored
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatText(c.format, {42LL}), c.expected);
    }
    EXPECT_EQ(FormatText("%d", {std::string("text")}), "text");
    EXPECT_EQ(FormatText("%s", {1.5}), "1.5");
    EXPECT_EQ(FormatText("%d", {1e300}), "1e+300");
    EXPECT_EQ(FormatText("%d", {2.9}), "2");
}

TEST(FormatText, HugeWidthsAndPrecisionsAreCapped) {
    EXPECT_EQ(FormatText("%999999999999d", {1LL}).size(), 1024u);
    EXPECT_EQ(FormatText("%.99999f", {1.0}).size(), 1026u);  // "1." and 1024 decimals
    EXPECT_EQ(FormatText("%.3s", {std::string("abcdef")}), "abc");
    std::string many(10000, 'x');
    EXPECT_EQ(FormatText("%s", {many}), many);                 // long arguments are not cut
}

TEST(FormatText, NumberedConversionsTakeTheArgumentTheyName) {
    EXPECT_EQ(FormatText("%2$s, %1$s", {std::string("a"), std::string("b")}), "b, a");
    EXPECT_EQ(FormatText("%2$02d.%1$02d.%3$04d", {3LL, 5LL, 2006LL}), "05.03.2006");
    EXPECT_EQ(FormatText("%1$s, once more %1$s", {std::string("a")}), "a, once more a");
    EXPECT_EQ(FormatText("[%2$-4s|%1$6.2f] 100%%", {1.5, std::string("ab")}), "[ab  |  1.50] 100%");
    EXPECT_EQ(FormatText("only %2$d", {1LL, 2LL, 3LL}), "only 2");  // arguments left out are skipped
}

TEST(FormatText, HostileNumberedConversionsAreCopiedAsWritten) {
    struct Case {
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {"%1$d %s", "42 %s"},                   // mixed with a plain one: that one takes nothing
        {"%s %2$s", "%s x"},
        {"%3$d", "%3$d"},                       // no such argument
        {"%0$d", "%0$d"},
        {"%99999999999$s", "%99999999999$s"},
        {"%4294967297$s", "%4294967297$s"},     // would wrap to 1 in 32 bits
        {"%$s", "%$s"},
        {"%1$", "%1$"},
        {"%1$n", "%1$n"},
        {"%1$p", "%1$p"},
        {"%1$*2$d", "%1$*2$d"},                 // widths and precisions from arguments are not taken
        {"%1$.*2$f", "%1$.*2$f"},
        {"%1$d %1$s %1$f", "42 42 42.000000"},  // one argument in three kinds: each prints it its way
        {"%2$d", "x"},                          // a string asked as a number: the string
        {"%1$s %", "42 %"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatText(c.format, {42LL, std::string("x")}), c.expected);
    }
    EXPECT_EQ(FormatText("%1$999999999d", {1LL}).size(), 1024u);
    EXPECT_EQ(FormatText("%1$s", {}), "%1$s");
}
