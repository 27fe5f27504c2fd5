// SPDX-License-Identifier: MIT
#include "uninstall/UninstallLog.h"

#include "../registry/TestFiles.h"

using namespace tw;

namespace {

// A clock pinned to a given second, with a fixed date form.
Clock fixedClock(const int& second)
{
    Clock c;
    c.now = [&second] { return Clock::TimePoint(std::chrono::seconds(second)); };
    c.generalDateTime = [](Clock::TimePoint t) {
        return "06/12/2026 10:00:"
            + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count());
    };
    c.shortDate = [](Clock::TimePoint) { return std::string("06/12/2026"); };
    return c;
}

} // namespace

TEST(UninstallLog, entriesAreSeparatedByOneEmptyLineAndNoneBeforeTheFirst)
{
    test::TempDir dir;
    const std::string log = dir.file("UnLog.log");
    int second = 10;
    const Clock clock = fixedClock(second);

    EXPECT_TRUE(appendToLog(log, clock.nowGeneral(), clock));
    appendToLog(log, "Uninstalling Quillmark Office", clock);
    appendToLog(log, "Uninstall OK. Uninstaller removed program from the list.", clock);
    second = 11;
    appendToLog(log, clock.nowGeneral(), clock);
    appendToLog(log, "Deleted Entry for Old Tool", clock);
    EXPECT_EQ(test::readAll(log),
        "06/12/2026 10:00:10\r\nUninstalling Quillmark Office\r\n"
        "Uninstall OK. Uninstaller removed program from the list.\r\n"
        "\r\n06/12/2026 10:00:11\r\nDeleted Entry for Old Tool\r\n");
}

TEST(UninstallLog, onlyTextHoldingTheCurrentSecondGetsTheEmptyLine)
{
    test::TempDir dir;
    const std::string log = dir.file("UnLog.log");
    int second = 10;
    const Clock clock = fixedClock(second);
    appendToLog(log, "first", clock);
    const std::string stale = clock.nowGeneral();
    second = 11;
    // Taken a second ago: not recognised, so no empty line.
    appendToLog(log, stale, clock);
    // A display name that happens to hold the current time is.
    appendToLog(log, "Uninstalling Clock " + clock.nowGeneral() + " Pro", clock);
    // Characters outside the code page become '?'.
    appendToLog(log, "Deleted Entry for Caf\xc3\xa9 \xe6\x8e\xa2", clock);
    EXPECT_EQ(test::readAll(log),
        "first\r\n06/12/2026 10:00:10\r\n\r\nUninstalling Clock 06/12/2026 10:00:11 Pro\r\n"
        "Deleted Entry for Caf\xe9 ?\r\n");
}

// Nothing is shown or thrown; the caller learns that the line is lost, to tell the user.
TEST(UninstallLog, aLogThatCannotBeWrittenIsSilentlyLost)
{
    test::TempDir dir;
    int second = 0;
    const Clock clock = fixedClock(second);
    bool written = true;
    EXPECT_NO_THROW(written = appendToLog(dir.file("missing/UnLog.log"), "line", clock));
    EXPECT_FALSE(written);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing/UnLog.log")));
    // A folder where the file should be is not a log file.
    std::filesystem::create_directories(dir.file("UnLog.log"));
    EXPECT_NO_THROW(written = appendToLog(dir.file("UnLog.log"), "line", clock));
    EXPECT_FALSE(written);
}
