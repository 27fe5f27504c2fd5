// SPDX-License-Identifier: MIT
#include "base/Clock.h"

#include <ctime>

namespace tw {
namespace {

std::string format(Clock::TimePoint t, const char* pattern)
{
    const std::time_t tt = std::chrono::system_clock::to_time_t(t);
    std::tm tm = localTime(tt);
    char buf[128];
    const std::size_t n = std::strftime(buf, sizeof buf, pattern, &tm);
    return std::string(buf, n);
}

} // namespace

Clock Clock::system()
{
    Clock c;
    c.now = [] { return std::chrono::system_clock::now(); };
    c.generalDateTime = [](TimePoint t) { return format(t, "%x %X"); };
    c.shortDate = [](TimePoint t) { return format(t, "%x"); };
    return c;
}

} // namespace tw
