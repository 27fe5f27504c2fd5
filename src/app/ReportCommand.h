// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"

#include <iosfwd>
#include <string>

namespace tw {

// `tidewell --report FILE [--long]`: writes the software audit report of the rows the scan lists,
// in the scan's order, to `outputFile` exactly as the report dialog saves it with its header
// untouched, without a window. The header's date is the clock's short date. Returns the exit status:
// 0, or 2 with a message on `err` when the registry cannot be opened or the file cannot be written.
struct RegistryRequest;

int runReportCommand(const RegistryRequest& request, const std::string& appFolder,
    const std::string& outputFile, bool longFormat, const Clock& clock, char decimalSeparator,
    std::ostream& err);

} // namespace tw
