// SPDX-License-Identifier: MIT
// Saved documents: the ANSI code page, CR LF as given, no byte-order mark, and never half a file.
#include "reports/TextFiles.h"

#include "../registry/TestFiles.h"

using namespace tw;

TEST(TextFiles, writesTheAnsiCodePageWithoutAByteOrderMark)
{
    test::TempDir dir;
    const std::string file = dir.file("report.txt");
    std::string error;
    ASSERT_TRUE(writeTextFile(file, "Caf\xc3\xa9 \xc3\xbc \xe6\x8e\xa2\r\n\r\nend\r\n", error)) << error;
    EXPECT_EQ(test::readAll(file), "Caf\xe9 \xfc ?\r\n\r\nend\r\n");

    // A longer file of that name is replaced, not overwritten in place.
    test::writeAll(file, std::string(1000, 'x'));
    ASSERT_TRUE(writeTextFile(file, "short\r\n", error)) << error;
    EXPECT_EQ(test::readAll(file), "short\r\n");
    ASSERT_TRUE(writeTextFile(file, "", error)) << error;
    EXPECT_EQ(test::readAll(file), "");
}

TEST(TextFiles, aSaveThatFailsSaysWhereAndWhyAndLeavesNothingBehind)
{
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(writeTextFile(dir.file("missing/report.txt"), "text\r\n", error));
    EXPECT_NE(error.find(dir.file("missing/report.txt")), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));

    // A folder where the file should go stays as it was, and no temporary file is left beside it.
    std::filesystem::create_directories(dir.file("taken"));
    test::writeAll(dir.file("taken/inside.txt"), "kept");
    error.clear();
    EXPECT_FALSE(writeTextFile(dir.file("taken"), "text\r\n", error));
    EXPECT_NE(error.find("taken"), std::string::npos) << error;
    EXPECT_EQ(test::readAll(dir.file("taken/inside.txt")), "kept");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}
