// SPDX-License-Identifier: MIT
// A save cut short by the system (here a file size limit standing in for a full disk) keeps the
// file the user chose intact.
#include "reports/TextFiles.h"

#include "../registry/TestFiles.h"

#include <csignal>
#include <sys/resource.h>

using namespace tw;

TEST(TextFiles, aWriteCutShortKeepsTheEarlierFileWhole)
{
    test::TempDir dir;
    const std::string file = dir.file("report.txt");
    test::writeAll(file, "the earlier report\r\n");

    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = writeTextFile(file, std::string(100000, 'x'), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find(file), std::string::npos) << error;
    EXPECT_EQ(test::readAll(file), "the earlier report\r\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}
