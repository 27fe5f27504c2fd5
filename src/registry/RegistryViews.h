// SPDX-License-Identifier: MIT
#pragma once

#include "registry/Registry.h"
#include "registry/RegistryApi.h"
#include "registry/RegistrySource.h"
#include "registry/RegistryView.h"

#include <string>
#include <vector>

namespace tw {

// A registry's two views and the operations on each: what the list is read from and what each row's
// operations work on.
class RegistryViews
{
public:
    explicit RegistryViews(RegistryApi& backend, MachineViews shown = MachineViews::Both);

    RegistryApi& backend() { return m_backend; }
    MachineViews shown() const { return m_shown; }
    void show(MachineViews shown) { m_shown = shown; }
    // Whether the registry has a 32-bit view of its own (Software\Wow6432Node); asked anew each time.
    bool hasWow32();
    // The operations for the entries of `source`.
    Registry& registryFor(const RegistrySource& source);
    // The sources the list holds, in its order: the machine's 64-bit view, its 32-bit view (where the
    // registry has one), the user's.
    std::vector<RegistrySource> listed();
    // Where a new entry goes: machine-wide, in the 32-bit view when only that view is shown.
    RegistrySource newEntrySource();

private:
    RegistryApi& m_backend;
    MachineViews m_shown;
    RegistryView m_view64;
    RegistryView m_view32;
    Registry m_registry64;
    Registry m_registry32;
};

} // namespace tw
