// SPDX-License-Identifier: MIT
#pragma once

#include "registry/Registry.h"
#include "registry/RegistryApi.h"
#include "registry/RegistryView.h"
#include "session/OpenRegistry.h"
#include "system/WineServer.h"

#include <memory>
#include <string>

namespace tw {

// The registry one run works on: the backend opened at start-up, the view the user chose, the
// operations over that view, and the prefix's Wine server when the registry is a prefix's.
struct Session
{
    // Declared in this order so each is destroyed before what it refers to.
    std::unique_ptr<WineServer> wineServer;
    std::unique_ptr<RegistryApi> registryApi; // the backend
    std::unique_ptr<RegistryView> registryView; // the 64-bit or the 32-bit view of it
    std::unique_ptr<Registry> registry; // the registry operations, on the view
    std::string description; // which registry is open, for the status bar

    // Takes over an opened registry and sets up the operations on it.
    void adopt(OpenedRegistry opened);
};

} // namespace tw
