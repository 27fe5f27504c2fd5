// SPDX-License-Identifier: MIT
#pragma once

#include "registry/Registry.h"
#include "registry/RegistryApi.h"
#include "registry/RegistryView.h"
#include "session/OpenRegistry.h"
#include "session/PrefixOwners.h"
#include "system/WineServer.h"
#include "uninstall/Processes.h"

#include <functional>
#include <memory>
#include <string>

namespace tw {

// The registry one run works on: the backend opened at start-up (or chosen since), the view the user
// chose, the operations over that view, the prefix's Wine server when the registry is a prefix's, and
// the processes started in it.
struct Session
{
    // Declared in this order so each is destroyed before what it refers to.
    std::unique_ptr<WineServer> wineServer;
    std::unique_ptr<RegistryApi> registryApi; // the backend
    std::unique_ptr<RegistryView> registryView; // the 64-bit or the 32-bit view of it
    std::unique_ptr<Registry> registry; // the registry operations, on the view
    std::unique_ptr<ProcessCalls> processes; // in a prefix, started through the prefix's Wine
    std::string description; // which registry is open, for the status bar
    std::string prefix; // the Wine prefix the registry belongs to, if any
    WineChoice wine; // which Wine starts programs in the prefix

    // Takes over an opened registry, in place of the one open before, and sets up the operations on it.
    // `owners` says who made its prefix; `askSystemWine` is asked (with the question) before the
    // system's Wine starts a program in a prefix whose maker's own Wine was not found; without it the
    // system's Wine is not used there.
    void adopt(OpenedRegistry opened, PrefixOwners owners = {},
        std::function<bool(const std::string& question)> askSystemWine = {});
};

} // namespace tw
