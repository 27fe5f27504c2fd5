// SPDX-License-Identifier: MIT
// Where the program file carries its parts itself (on Windows): each is a plain call.
#include "app/Parts.h"
#include "app/QtLocale.h"
#include "app/WindowMain.h"

namespace tw::parts {

int runWindow(int argc, char** argv)
{
    return tidewell_window_main(argc, argv);
}

char decimalSeparator()
{
    return tidewell_decimal_separator();
}

Clock localeClock()
{
    Clock clock;
    tidewell_locale_clock(&clock);
    return clock;
}

} // namespace tw::parts
