// SPDX-License-Identifier: MIT
// What a help link or support address from the registry may open.
#include "reports/LinkRule.h"
#include "reports/ShellOpen.h"

#include "../registry/TestFiles.h"

using namespace tw;

TEST(LinkRule, webAndMailAddressesOpenAndWwwIsReadAsHttp)
{
    EXPECT_EQ(linkTarget("https://example.com/a?b=c#d"), "https://example.com/a?b=c#d");
    EXPECT_EQ(linkTarget("ftp://ftp.example.com/pub"), "ftp://ftp.example.com/pub");
    EXPECT_EQ(linkTarget("MailTo:support@example.com"), "MailTo:support@example.com");
    EXPECT_EQ(linkTarget("  HTTP://EXAMPLE.COM  "), "HTTP://EXAMPLE.COM");
    EXPECT_EQ(linkTarget(" WWW.example.com/help "), "http://WWW.example.com/help");
    // Addresses written without their scheme.
    EXPECT_EQ(linkTarget("example.com"), "http://example.com");
    EXPECT_EQ(linkTarget("help.example.com/faq?q=1"), "http://help.example.com/faq?q=1");
    EXPECT_EQ(linkTarget("support@example.com"), "mailto:support@example.com");
}

TEST(LinkRule, programsFilesAndOtherSchemesAreNoLinks)
{
    for (const char* text : { "", "   ", "N/A", "C:\\Program Files\\Tool\\uninst.exe",
             "\"C:\\Windows\\system32\\cmd.exe\" /c del *", "/usr/bin/xterm", "file:///etc/passwd",
             "\\\\server\\share\\tool.exe", "javascript:alert(1)", "shell:startup", "uninst.exe",
             "setup.exe /remove", "..\\evil.com", "a@b", "user:pw@example.com", "example.c0m", "www.",
             "http://", "http:///etc/passwd", "http:\\\\example.com", "mailto:", "https://example.com/a b",
             "https://example.com\r\nC:\\evil.exe" }) {
        EXPECT_EQ(linkTarget(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(ShellOpen, aFileThatIsNotThereIsNotOpened)
{
    test::TempDir dir;
    EXPECT_FALSE(shellOpen(dir.file("no such document.txt")));
    // Where the system opens things itself, a program is opened (started) through it.
    EXPECT_EQ(shellOpen(TIDEWELL_TEST_UNINSTALLER), haveShellOpen());
}
