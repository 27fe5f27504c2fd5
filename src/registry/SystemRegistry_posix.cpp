// SPDX-License-Identifier: MIT
#include "registry/RegistryFactory.h"

namespace tw {

// Only Windows has a registry of its own; elsewhere a prefix's files stand in for it.
std::unique_ptr<RegistryApi> makeSystemRegistry()
{
    return nullptr;
}

} // namespace tw
