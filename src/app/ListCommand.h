// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"
#include "registry/ReadScope.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tw {

struct OpenedRegistry;
struct RegistryRequest;

// `tidewell --list`: prints the rows the scan lists, without a window. Returns the exit status: 0, or
// 2 with a message on `err` when the registry cannot be opened.
int runListCommand(const RegistryRequest& request, const std::string& appFolder, char decimalSeparator,
    std::ostream& out, std::ostream& err);

// What listing the programs reads of a registry file: each source's entries and usage records, and the
// Windows version. A registry opened for it alone need not read the rest.
ReadScope listingScope();
// The registry a command that lists the programs reads, opened for that alone.
OpenedRegistry openForListing(
    const RegistryRequest& request, const std::string& appFolder, std::ostream& err);

// The rows --list prints for an opened registry (reading the file only).
std::vector<ProgramRow> listedPrograms(const OpenedRegistry& opened, char decimalSeparator = '.');

} // namespace tw
