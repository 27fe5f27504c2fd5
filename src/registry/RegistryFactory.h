// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistryApi.h"

#include <memory>
#include <string>

namespace tw {

// The platform's own registry, or nullptr where there is none (everywhere but Windows).
std::unique_ptr<RegistryApi> makeSystemRegistry();

// Which registry to open: the file named on the command line, else the one in TIDEWELL_REGISTRY,
// else the system's registry where there is one, else the user's copy of the demo registry.
struct RegistryChoice
{
    std::string file; // empty: the system registry
    std::string origin; // "command line", "environment", "system", "demo"
};
RegistryChoice chooseRegistry(const std::string& commandLineFile, const std::string& environmentFile,
    bool haveSystemRegistry, const std::string& userDemoFile);

// Copies the shipped demo (registry and files) into the user's folder once, so the shipped copy
// is never changed. Returns the user's registry file, or empty with `error` set.
std::string provideDemoCopy(
    const std::string& shippedDemoFolder, const std::string& userDemoFolder, std::string& error);

} // namespace tw
