// SPDX-License-Identifier: MIT
#pragma once

#include "base/Clock.h"
#include "session/PrefixOwners.h"

#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>

namespace tw {

struct RegistryRequest;

struct UninstallOptions
{
    // Removes an entry the uninstaller left behind as the clean-up dialog would, and one whose
    // uninstaller is not there as Delete From List would.
    bool force = false;
    // How long to wait for the uninstaller (and Wine's server); it is left running after that.
    std::optional<std::chrono::seconds> timeout;
};

// `tidewell --uninstall KEY [--force] [--timeout SECONDS]`: runs the uninstall of the listed entry KEY
// as the window does (log lines, start, wait, verify) and prints the verdict line. Returns the exit
// status: 0 when the entry is gone, 1 when it is still there, 2 on an error (message on `err`). In a
// prefix, `owners` tells whose Wine starts the uninstaller; where that Wine was not found the command
// refuses (2) rather than run the system's Wine, unless TIDEWELL_WINE names one.
int runUninstallCommand(const RegistryRequest& request, const std::string& appFolder, const std::string& key,
    const UninstallOptions& options, const Clock& clock, std::ostream& out, std::ostream& err,
    const PrefixLookup& owners = {});

} // namespace tw
