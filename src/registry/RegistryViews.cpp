// SPDX-License-Identifier: MIT
#include "registry/RegistryViews.h"

namespace tw {

std::string sourceName(const RegistrySource& source)
{
    if (source.root == kHKeyCurrentUser)
        return "Per user";
    // A machine-wide entry is every user's; "64-bit" would be untrue on a registry with one view.
    return source.wow32 ? "All users, 32-bit" : "All users";
}

std::string sourceDescription(const RegistrySource& source)
{
    if (source.root == kHKeyCurrentUser)
        return sourceName(source) + " (HKEY_CURRENT_USER)";
    return sourceName(source)
        + (source.wow32 ? " (HKEY_LOCAL_MACHINE, Wow6432Node)" : " (HKEY_LOCAL_MACHINE)");
}

RegistryViews::RegistryViews(RegistryApi& backend, MachineViews shown)
    : m_backend(backend)
    , m_shown(shown)
    , m_view64(backend)
    , m_view32(backend)
    , m_registry64(m_view64)
    , m_registry32(m_view32)
{
    m_view32.setWow32(true);
}

bool RegistryViews::hasWow32()
{
    m_view32.setWow32(true);
    return m_view32.redirects();
}

Registry& RegistryViews::registryFor(const RegistrySource& source)
{
    // The view redirects only HKEY_LOCAL_MACHINE, so the user's entries read the same through either.
    return source.root == kHKeyLocalMachine && source.wow32 ? m_registry32 : m_registry64;
}

std::vector<RegistrySource> RegistryViews::listed()
{
    const bool wow32 = hasWow32();
    std::vector<RegistrySource> sources;
    if (m_shown != MachineViews::Only32 || !wow32)
        sources.push_back({ kHKeyLocalMachine, false });
    if (m_shown != MachineViews::Only64 && wow32)
        sources.push_back({ kHKeyLocalMachine, true });
    sources.push_back({ kHKeyCurrentUser, false });
    return sources;
}

RegistrySource RegistryViews::newEntrySource()
{
    return { kHKeyLocalMachine, m_shown == MachineViews::Only32 && hasWow32() };
}

} // namespace tw
