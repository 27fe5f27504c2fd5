// SPDX-License-Identifier: MIT
// The published version file against the running version 1.0.6, compared as dotted numbers.
#include "base/VersionCompare.h"

#include <gtest/gtest.h>

using namespace tw;

TEST(VersionCompare, judgesTheVersionFileAgainstTheRunningVersion)
{
    struct Case
    {
        const char* body;
        UpdateStatus status;
        const char* published;
    };
    const Case cases[] = {
        { "1.0.6", UpdateStatus::Current, "1.0.6" },
        { "1.0.7", UpdateStatus::UpdateAvailable, "1.0.7" },
        { "1.0.5", UpdateStatus::RunningNewer, "1.0.5" },
        // Numbers, not text: 10 is above 6, and a version is not smaller for being shorter.
        { "1.0.10", UpdateStatus::UpdateAvailable, "1.0.10" },
        { "1.1", UpdateStatus::UpdateAvailable, "1.1" },
        { "0.9.99", UpdateStatus::RunningNewer, "0.9.99" },
        { "1.0.6.0", UpdateStatus::Current, "1.0.6.0" },
        { "01.00.006", UpdateStatus::Current, "01.00.006" },
        // A line break, surrounding blanks or a byte-order mark change nothing.
        { "1.0.6\r\n", UpdateStatus::Current, "1.0.6" },
        { " 1.0.7 \t\n\n", UpdateStatus::UpdateAvailable, "1.0.7" },
        { "\xEF\xBB\xBF"
          "1.0.6\n",
            UpdateStatus::Current, "1.0.6" },
        // Anything else is no answer, however it would have sorted as text.
        { "", UpdateStatus::NotAVersion, "" },
        { "\r\n", UpdateStatus::NotAVersion, "" },
        { "<html>Not Found</html>", UpdateStatus::NotAVersion, "<html>Not Found</html>" },
        { "v1.0.7", UpdateStatus::NotAVersion, "v1.0.7" },
        { "1.0.7-beta", UpdateStatus::NotAVersion, "1.0.7-beta" },
        { "1.0.7\n<p>", UpdateStatus::NotAVersion, "1.0.7\n<p>" },
        { "1..7", UpdateStatus::NotAVersion, "1..7" },
        { "1.0.", UpdateStatus::NotAVersion, "1.0." },
        { ".1", UpdateStatus::NotAVersion, ".1" },
        { "1.0.99999999999999999999", UpdateStatus::NotAVersion, "1.0.99999999999999999999" },
    };
    for (const Case& c : cases) {
        const UpdateVerdict verdict = judgeVersionFile(c.body, DottedVersion { { 1, 0, 6 } });
        EXPECT_EQ(static_cast<int>(verdict.status), static_cast<int>(c.status)) << '"' << c.body << '"';
        EXPECT_EQ(verdict.published, c.published) << '"' << c.body << '"';
    }
}

TEST(VersionCompare, missingNumbersCountAsZero)
{
    const auto compare = [](const char* a, const char* b) {
        return compareVersions(*parseDottedVersion(a), *parseDottedVersion(b));
    };
    EXPECT_EQ(compare("1", "1.0.0"), std::strong_ordering::equal);
    EXPECT_EQ(compare("1.0.0", "1"), std::strong_ordering::equal);
    EXPECT_EQ(compare("1", "1.0.0.1"), std::strong_ordering::less);
    EXPECT_EQ(compare("18446744073709551615", "18446744073709551614"), std::strong_ordering::greater);
}
