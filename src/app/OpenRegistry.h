// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistryApi.h"

#include <memory>
#include <string>

namespace tw {

struct OpenedRegistry
{
    std::unique_ptr<RegistryApi> api; // null when it could not be opened; see error
    std::string file; // the registry file; empty for the system's registry
    std::string origin;
    std::string error;
};

// Opens the registry the program works on: --registry FILE, else TIDEWELL_REGISTRY, else the system's
// registry where there is one, else the user's copy of the demo (copied from the shipped one the
// first time). A registry file that cannot be read is an error naming the file and the line.
OpenedRegistry openRegistry(const std::string& commandLineFile, const std::string& appFolder);

} // namespace tw
