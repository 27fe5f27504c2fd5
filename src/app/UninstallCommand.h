// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"
#include "session/PrefixOwners.h"

#include <iosfwd>
#include <string>

namespace tw {

struct RegistryRequest;

// `tidewell --uninstall KEY [--force]`: runs the uninstall of the listed entry KEY as the window does
// (log lines, start, wait, verify) and prints the verdict line. With `force`, an entry the uninstaller
// left behind is removed as the clean-up dialog would. Returns the exit status: 0 when the entry is
// gone, 1 when it is still there, 2 on an error (message on `err`). In a prefix, `owners` tells whose
// Wine starts the uninstaller; where that Wine was not found the command refuses (2) rather than run
// the system's Wine, unless TIDEWELL_WINE names one.
int runUninstallCommand(const RegistryRequest& request, const std::string& appFolder, const std::string& key,
    bool force, const Clock& clock, std::ostream& out, std::ostream& err, const PrefixLookup& owners = {});

} // namespace tw
