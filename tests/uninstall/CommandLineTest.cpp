// SPDX-License-Identifier: MIT
#include "uninstall/CommandLine.h"

#include <gtest/gtest.h>
#include <set>

using namespace tw;

namespace {

SplitCommand split(const std::string& line, std::set<std::string> files = {})
{
    return splitCommandLine(line, [&](const std::string& p) { return files.count(p) > 0; });
}

using Args = std::vector<std::string>;

} // namespace

TEST(CommandLine, aQuotedProgramEndsAtItsClosingQuote)
{
    const SplitCommand c = split("\"C:\\Program Files\\Tidewell Probe\\uninst.exe\" /S _?=C:\\x");
    EXPECT_EQ(c.program, "C:\\Program Files\\Tidewell Probe\\uninst.exe");
    EXPECT_EQ(c.arguments, (Args { "/S", "_?=C:\\x" }));
    EXPECT_EQ(split("\"C:\\unterminated path").program, "C:\\unterminated path");
    // Quoted and without its extension, as unquoted: ".exe" is tried when the name itself is no file.
    EXPECT_EQ(split("\"C:\\My App\\un inst\" /S", { "C:\\My App\\un inst.exe" }).program,
        "C:\\My App\\un inst.exe");
    EXPECT_EQ(
        split("\"C:\\My App\\un inst\" /S", { "C:\\My App\\un inst", "C:\\My App\\un inst.exe" }).program,
        "C:\\My App\\un inst");
}

TEST(CommandLine, anUnquotedProgramWithSpacesIsTheFirstPrefixThatExists)
{
    const std::set<std::string> files { "C:\\Program Files\\App\\uninst.exe" };
    SplitCommand c = split("C:\\Program Files\\App\\uninst.exe /S", files);
    EXPECT_EQ(c.program, "C:\\Program Files\\App\\uninst.exe");
    EXPECT_EQ(c.arguments, Args { "/S" });
    // Without an extension, ".exe" is tried too.
    c = split("C:\\Program Files\\App\\uninst /S", files);
    EXPECT_EQ(c.program, "C:\\Program Files\\App\\uninst.exe");
    // A shorter prefix that exists wins, as it does for Windows.
    c = split(
        "C:\\Program Files\\App\\uninst.exe /S", { "C:\\Program.exe", "C:\\Program Files\\App\\uninst.exe" });
    EXPECT_EQ(c.program, "C:\\Program.exe");
    EXPECT_EQ(c.arguments, (Args { "Files\\App\\uninst.exe", "/S" }));
    // Nothing exists: the first word, which then cannot be started.
    c = split("MsiExec.exe /X{7F3B0C1E-1D2A-4C5B-9E8F-0123456789AB}");
    EXPECT_EQ(c.program, "MsiExec.exe");
    EXPECT_EQ(c.arguments, Args { "/X{7F3B0C1E-1D2A-4C5B-9E8F-0123456789AB}" });
}

TEST(CommandLine, argumentsFollowTheRuntimesQuoteAndBackslashRules)
{
    EXPECT_EQ(splitArguments(" a  b\tc "), (Args { "a", "b", "c" }));
    EXPECT_EQ(splitArguments("\"a b\" c"), (Args { "a b", "c" }));
    EXPECT_EQ(splitArguments("a\\\\b"), Args { "a\\\\b" });
    EXPECT_EQ(splitArguments("a\\\"b"), Args { "a\"b" });
    EXPECT_EQ(splitArguments("a\\\\\"b c\""), Args { "a\\b c" });
    EXPECT_EQ(splitArguments("\"a\"\"b\""), Args { "a\"b" });
    EXPECT_EQ(splitArguments("\"\""), Args { "" });
    EXPECT_EQ(splitArguments("/D=\"C:\\Program Files\\x\""), Args { "/D=C:\\Program Files\\x" });
    EXPECT_EQ(splitArguments(""), Args {});
}
