// SPDX-License-Identifier: MIT
// The printed page must break lines where a word-wrapping edit box of that width would.
#include "reports/TextWrap.h"

#include <gtest/gtest.h>

#include <random>

using namespace tw;
using Lines = std::vector<std::string>;

TEST(TextWrap, onlyCrLfIsAHardBreak)
{
    EXPECT_EQ(wrapText("", 10), Lines {});
    EXPECT_EQ(wrapText("one", 10), Lines { "one" });
    EXPECT_EQ(wrapText("one\r\ntwo", 10), (Lines { "one", "two" }));
    EXPECT_EQ(wrapText("one\r\n", 10), (Lines { "one", "" }));
    EXPECT_EQ(wrapText("\r\n\r\n", 10), (Lines { "", "", "" }));
    EXPECT_EQ(wrapText("a\r\n\r\nb", 10), (Lines { "a", "", "b" }));
    // A lone CR or LF is a character like any other, as the box shows it.
    EXPECT_EQ(wrapText("ab\ncd", 5), Lines { "ab\ncd" });
    EXPECT_EQ(wrapText("ab\rcde", 5), (Lines { "ab\rcd", "e" }));
}

TEST(TextWrap, aLineThatFitsExactlyStaysWhole)
{
    EXPECT_EQ(wrapText("abcde", 5), Lines { "abcde" });
    EXPECT_EQ(wrapText("abcdef", 5), (Lines { "abcde", "f" }));
    EXPECT_EQ(wrapText("ab cd", 5), Lines { "ab cd" });
    EXPECT_EQ(wrapText("ab cde", 5), (Lines { "ab ", "cde" }));
    // Each UTF-8 character is one column.
    EXPECT_EQ(wrapText("caf\xc3\xa9 caf\xc3\xa9", 4), (Lines { "caf\xc3\xa9 ", "caf\xc3\xa9" }));
}

TEST(TextWrap, breaksAfterTheLastSpaceThatFitsAndLetsSpacesHang)
{
    EXPECT_EQ(wrapText("the quick brown fox jumps", 10), (Lines { "the quick ", "brown fox ", "jumps" }));
    // The space after a word that fills the line hangs past the edge; no line starts with it.
    EXPECT_EQ(wrapText("abcde fgh", 5), (Lines { "abcde ", "fgh" }));
    EXPECT_EQ(wrapText("ab     cd", 3), (Lines { "ab     ", "cd" }));
    // Blanks alone never make a line too wide.
    EXPECT_EQ(wrapText("ab          ", 3), Lines { "ab          " });
    EXPECT_EQ(wrapText("       ", 3), Lines { "       " });
    // Leading blanks before a word that does not fit are a line of their own.
    EXPECT_EQ(wrapText("    abcdef", 5), (Lines { "    ", "abcde", "f" }));
}

TEST(TextWrap, breaksInsideAWordLongerThanTheLine)
{
    EXPECT_EQ(wrapText("abcdefghijkl", 5), (Lines { "abcde", "fghij", "kl" }));
    // A long word after a short one starts on the next line, then breaks where it fills it.
    EXPECT_EQ(wrapText("ab cdefghijkl mn", 5), (Lines { "ab ", "cdefg", "hijkl ", "mn" }));
    EXPECT_EQ(wrapText("C:\\Program Files\\Kestrel\\uninstall.exe /S", 12),
        (Lines { "C:\\Program ", "Files\\Kestre", "l\\uninstall.", "exe /S" }));
    // Too narrow a box still shows one character a line.
    EXPECT_EQ(wrapText("ab", 0), (Lines { "a", "b" }));
}

TEST(TextWrap, tabsMoveToTheNextStopOfEight)
{
    EXPECT_EQ(wrapText("a\tb", 9), Lines { "a\tb" });
    EXPECT_EQ(wrapText("a\tb", 8), (Lines { "a\t", "b" }));
    EXPECT_EQ(expandTabs("a\tb"), "a       b");
    EXPECT_EQ(expandTabs("12345678\tx\t"), "12345678        x       ");
    EXPECT_EQ(expandTabs("\xc3\xa9\tx"), "\xc3\xa9       x");
}

TEST(TextWrap, neverLosesTextAndNeverOverflows)
{
    std::mt19937 random(20260612);
    const std::string alphabet = "abc  de\tf";
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        const int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i)
            line += alphabet[random() % alphabet.size()];
        const int columns = 1 + static_cast<int>(random() % 20);
        const Lines lines = wrapText(line, columns);
        std::string joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            joined += lines[i];
            std::string visible = expandTabs(lines[i]);
            visible.erase(visible.find_last_not_of(' ') + 1);
            EXPECT_LE(static_cast<int>(visible.size()), columns) << '"' << line << "\" at " << columns;
            if (i > 0) {
                EXPECT_NE(lines[i].front(), ' ') << '"' << line << "\" at " << columns;
                EXPECT_NE(lines[i].front(), '\t') << '"' << line << "\" at " << columns;
            }
        }
        EXPECT_EQ(joined, line) << "at " << columns;
    }
}
