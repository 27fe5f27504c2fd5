// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistryApi.h"

#include <memory>
#include <string>

namespace tw {

// The platform's own registry, or nullptr where there is none (everywhere but Windows).
std::unique_ptr<RegistryApi> makeSystemRegistry();

// Which registry to open, in this order: the file named on the command line, the prefix named on the
// command line, the file in TIDEWELL_REGISTRY, the system's registry where there is one, the Wine
// prefix in WINEPREFIX, ~/.wine when it holds a registry, else the user's copy of the demo registry.
struct RegistrySources
{
    std::string commandLineFile;
    std::string commandLinePrefix;
    std::string environmentFile;
    std::string environmentPrefix;
    std::string homeFolder;
};
struct RegistryChoice
{
    std::string file; // empty: the system registry
    std::string origin; // "command line", "environment", "system", "prefix", "demo"
    std::string prefix; // the Wine prefix, when one was chosen as such
};
RegistryChoice chooseRegistry(const RegistrySources& sources, bool haveSystemRegistry,
    const std::string& userDemoFile, bool (*exists)(const std::string& file));

// Copies the shipped demo (registry and files) into the user's folder once, so the shipped copy
// is never changed. Returns the user's registry file, or empty with `error` set.
std::string provideDemoCopy(
    const std::string& shippedDemoFolder, const std::string& userDemoFolder, std::string& error);

} // namespace tw
