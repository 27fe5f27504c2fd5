// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

#include <string>

namespace tw::test {

// A clock fixed on one moment with fixed texts, so log lines and report dates do not depend on the
// machine's time or locale.
inline Clock pinnedClock()
{
    Clock c;
    c.now = [] { return Clock::TimePoint(std::chrono::seconds(1796540073)); };
    c.generalDateTime = [](Clock::TimePoint) { return std::string("06/12/2026 10:00:00"); };
    c.shortDate = [](Clock::TimePoint) { return std::string("06/12/2026"); };
    return c;
}

} // namespace tw::test
