// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

#include <stdexcept>

namespace tw::parts {

// The parts of the program that need Qt, each found when a run first uses it, so that the commands
// start without loading Qt's libraries: the window, and Qt's reading of the user's locale. Where a
// part cannot be loaded, these throw PartMissing with the reason.
struct PartMissing : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

int runWindow(int argc, char** argv);
char decimalSeparator();
Clock localeClock();

} // namespace tw::parts
