// SPDX-License-Identifier: MIT
#include "base/Text.h"

#include <gtest/gtest.h>

using namespace tw::text;

TEST(Text, stripNullCutsAtTheFirstNul)
{
    EXPECT_EQ(StripNull(std::string("abc\0def", 7)), "abc");
    EXPECT_EQ(StripNull(std::string("\0abc", 4)), "");
    EXPECT_EQ(StripNull("abc"), "abc");
    EXPECT_EQ(StripNull(""), "");
}

#ifndef _WIN32
// Windows-1252 stands in for the ANSI code page off Windows.
TEST(Text, ansiIsWindows1252WithQuestionMarksForTheRest)
{
    EXPECT_EQ(utf8ToAnsi("\xe2\x82\xac \xc3\xa9 \xc5\xb8"), "\x80 \xe9 \x9f");
    EXPECT_EQ(ansiToUtf8("\x80 \xe9 \x9f \x81"), "\xe2\x82\xac \xc3\xa9 \xc5\xb8 \xc2\x81");
    // A character outside the page is one '?', also one beyond the 16-bit range.
    EXPECT_EQ(utf8ToAnsi("\xe6\x8e\xa2 \xf0\x9f\x98\x80!"), "? ?!");
    // Broken UTF-8 does not throw or swallow what follows.
    EXPECT_EQ(utf8ToAnsi("a\xff"
                         "b\xe2\x82"),
        "a?b??");
}
#endif

TEST(Text, utf16RoundTripsAndFoldsCase)
{
    const std::string s = "Tidewell \xc3\x9c"
                          "n\xc3\xaf"
                          "code \xe2\x9c\x93 \xf0\x9f\x98\x80";
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(s)), s);
    EXPECT_TRUE(equalsIgnoreCase(u"Tidewell\u00dcnicode", u"TIDEWELL\u00fcNICODE"));
    EXPECT_TRUE(equalsIgnoreCase(u"\u0416\u0101", u"\u0436\u0100"));
    EXPECT_FALSE(equalsIgnoreCase(u"A_B", u"AB"));
    // The ASCII-only fold for names that are ASCII: bytes above 0x7F are compared as they are.
    EXPECT_TRUE(startsWithIgnoreAsciiCase("C:\\Windows\\System32\\x.exe", "c:\\windows\\system32\\"));
    EXPECT_FALSE(startsWithIgnoreAsciiCase("Soft", "software"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("\xc3\x9c", "\xc3\xbc"));
    EXPECT_TRUE(equalsIgnoreAsciiCase("Wow6432Node", "WOW6432NODE"));
    EXPECT_EQ(foldUpper(u'\u00ff'), u'\u0178');
    EXPECT_EQ(foldLower(u'\u0178'), u'\u00ff');
}
