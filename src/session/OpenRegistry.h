// SPDX-License-Identifier: MIT
#pragma once

#include "registry/ReadScope.h"
#include "registry/RegistryApi.h"
#include "registry/RegistryViews.h"
#include "system/SystemCalls.h"
#include "system/WineServer.h"

#include <iosfwd>
#include <memory>
#include <string>

namespace tw {

// What the command line asks for.
struct RegistryRequest
{
    RegistryRequest() = default;
    // Just a registry file, as most callers name one.
    RegistryRequest(std::string registryFile) // NOLINT(google-explicit-constructor)
        : file(std::move(registryFile))
    { }

    std::string file; // --registry
    std::string userFile; // --user-registry
    std::string prefix; // --prefix
    bool demo = false; // --demo
    MachineViews views = MachineViews::Both; // --view 64|32
    // What the caller will read, where it reads little of a large file; empty: all of it.
    ReadScope scope;
};

struct OpenedRegistry
{
    // Declared in this order so each is destroyed before what it refers to.
    std::unique_ptr<WineServer> server; // the prefix's server, when the registry is a Wine prefix's
    std::unique_ptr<RegistryApi> backend;
    std::unique_ptr<RegistryViews> views; // what the program works on; null when it could not be opened
    std::string file; // the registry file; empty for the system's registry
    std::string userFile; // the user's registry file read beside it, if any
    std::string prefix; // the Wine prefix the file belongs to, if any
    std::string origin;
    std::string error;

    // One line for the status bar: which registry is open; for a prefix, the front-ends that made it
    // (`owners`, "Bottles: Office") come before its folder, which is longer and may not fit.
    std::string description(const std::string& owners = {}) const;
    // The Wine prefix commands run in: the prefix, when its server is watched.
    std::string winePrefix() const { return server ? prefix : std::string(); }
    // The system calls for this registry. The Windows version is one for both views: it is read where
    // the 64-bit view keeps it.
    std::unique_ptr<SystemCalls> systemCalls() const;
};

// Opens the registry the program works on (see chooseRegistry for the order, where the prefix last
// chosen in the window comes before WINEPREFIX); the user's copy of the
// demo is copied from the shipped one the first time. A registry file that cannot be read is an error
// naming the file and the line. A Wine prefix's registry is written only while its server is not
// running.
OpenedRegistry openRegistry(const RegistryRequest& request, const std::string& appFolder);

// The same for the commands that run without a window: a failure is told on `err` (and `api` is null),
// and so is a running Wine, whose registry file may be behind.
OpenedRegistry openForCommand(
    const RegistryRequest& request, const std::string& appFolder, std::ostream& err);

} // namespace tw
