// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <string>

namespace tw {

// The broken-down local time of `t` (the platform's thread-safe call).
std::tm localTime(std::time_t t);

// The current time and the locale's date forms. The UI fills the forms from the user's locale; tests
// pin all three so nothing depends on the machine's clock or locale.
struct Clock
{
    using TimePoint = std::chrono::system_clock::time_point;

    std::function<TimePoint()> now;
    // The general date-and-time form: the short date, a space, the long time.
    std::function<std::string(TimePoint)> generalDateTime;
    std::function<std::string(TimePoint)> shortDate;

    std::string nowGeneral() const { return generalDateTime(now()); }

    // The system clock with the C library's locale forms ("%x %X").
    static Clock system();
};

} // namespace tw
