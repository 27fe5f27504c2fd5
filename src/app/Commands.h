// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

#include <iosfwd>
#include <string>

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

struct RegistryRequest;

// The registry the line names (--registry, --user-registry, --prefix, --demo, --view); false with
// `error` set when --prefix names no prefix.
bool registryRequestOf(const CommandLine& line, RegistryRequest& request, std::string& error);

// Runs what a command line that wants no window asks for (--help, --version, --list, --report,
// --uninstall, --prefixes) and returns the exit status. The line has been read without error.
int runCommand(const CommandLine& line, LocaleForms& locale, std::ostream& out, std::ostream& err);

} // namespace tw
