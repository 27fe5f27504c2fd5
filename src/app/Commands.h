// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

#include <iosfwd>

namespace tw {

class CommandLine;

// What the commands take from the user's locale: the decimal separator of sizes and the date forms of
// the report's header and the uninstall log. Asked only by the commands that use them.
class LocaleForms
{
public:
    virtual ~LocaleForms() = default;
    virtual char decimalSeparator() = 0;
    virtual Clock clock() = 0;
};

// Runs what a command line that wants no window asks for (--help, --version, --list, --report,
// --uninstall, --prefixes) and returns the exit status. The line has been read without error.
int runCommand(const CommandLine& line, LocaleForms& locale, std::ostream& out, std::ostream& err);

} // namespace tw
