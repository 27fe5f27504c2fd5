// SPDX-License-Identifier: MIT
#pragma once

#include <iosfwd>
#include <string>

namespace tw {

// `tidewell --list`: prints the rows the scan lists, without a window. Returns the exit status: 0, or
// 2 with a message on `err` when the registry cannot be opened.
struct RegistryRequest;

int runListCommand(const RegistryRequest& request, const std::string& appFolder, char decimalSeparator,
    std::ostream& out, std::ostream& err);

} // namespace tw
