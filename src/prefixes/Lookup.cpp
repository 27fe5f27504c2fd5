// SPDX-License-Identifier: MIT
#include "prefixes/Lookup.h"

#include <algorithm>
#include <filesystem>

namespace tw::prefixes {

const Prefix* findByPath(const Discovery& found, const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path canonical = fs::canonical(folder, ec);
    if (ec)
        return nullptr;
    const auto it = std::ranges::find_if(
        found.prefixes, [&](const Prefix& p) { return fs::path(p.path) == canonical; });
    return it == found.prefixes.end() ? nullptr : &*it;
}

std::vector<const Prefix*> findByName(const Discovery& found, const std::string& name)
{
    std::vector<const Prefix*> matches;
    for (const Prefix& p : found.prefixes) {
        if (std::ranges::any_of(p.owners, [&](const Owner& o) { return o.name == name; }))
            matches.push_back(&p);
    }
    return matches;
}

bool hasOwnWine(const Owner& owner)
{
    return owner.frontEnd != "Wine" && owner.frontEnd != "winetricks";
}

const Owner* maker(const Prefix& prefix)
{
    const Owner* first = nullptr;
    for (const Owner& o : prefix.owners) {
        if (!hasOwnWine(o))
            continue;
        if (!o.winePath.empty())
            return &o;
        if (!first)
            first = &o;
    }
    return first;
}

} // namespace tw::prefixes
