// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"

#include <string>
#include <vector>

namespace tw {

// The rows as `tidewell --list` prints them: one line each, LF ended, the fields separated by one TAB
// (registry name, display name, size, last used on, frequency, uninstall command), with a TAB, CR, LF
// or backslash inside a field written as \t, \r, \n, \\.
std::string formatListing(const std::vector<ProgramRow>& rows);

// One line of fields in that form, LF ended.
std::string listingLine(const std::vector<std::string>& fields);

} // namespace tw
