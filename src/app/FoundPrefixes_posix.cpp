// SPDX-License-Identifier: MIT
#include "app/FoundPrefixes.h"

#include "app/ListCommand.h"
#include "prefixes/Discovery.h"
#include "prefixes/Lookup.h"
#include "session/OpenRegistry.h"

#include <filesystem>

namespace tw {

namespace {

prefixes::Discovery discoverHere()
{
    return prefixes::discover(prefixes::Environment::fromProcess());
}

// "Bottles: Games, Lutris: Games"
std::string ownerList(const prefixes::Prefix& p)
{
    std::string text;
    for (const prefixes::Owner& o : p.owners)
        text += (text.empty() ? "" : ", ") + o.frontEnd + ": " + o.name;
    return text;
}

} // namespace

bool findsPrefixes()
{
    return true;
}

FoundPrefixes findPrefixes(MachineViews views)
{
    const prefixes::Discovery found = discoverHere();
    FoundPrefixes result;
    result.warnings = found.warnings;
    for (const prefixes::Prefix& p : found.prefixes) {
        FoundPrefix row;
        row.path = p.path;
        for (const prefixes::Owner& o : p.owners) {
            row.frontEnds.push_back(o.frontEnd);
            row.names.push_back(o.name);
        }
        RegistryRequest request;
        request.prefix = p.path;
        request.views = views;
        request.scope = listingScope();
        const OpenedRegistry opened = openRegistry(request, {});
        if (opened.views)
            row.programs = listedPrograms(opened).size();
        else
            row.error = opened.error;
        result.prefixes.push_back(std::move(row));
    }
    return result;
}

std::string prefixFolder(const std::string& word, std::string& error)
{
    // A folder comes first, as --prefix took only folders before it took names.
    std::error_code ec;
    if (word.empty() || word.find('/') != std::string::npos || std::filesystem::is_directory(word, ec))
        return word;
    const prefixes::Discovery found = discoverHere();
    const std::vector<const prefixes::Prefix*> matches = prefixes::findByName(found, word);
    if (matches.size() == 1)
        return matches.front()->path;
    if (matches.empty()) {
        error = "\"" + word + "\" is neither a folder nor the name of a Wine prefix found here";
        if (found.prefixes.empty())
            error += " (none was found)";
        else
            error += "; the names found are:";
        for (const prefixes::Prefix& p : found.prefixes) {
            for (const prefixes::Owner& o : p.owners)
                error += "\n  " + o.name + " (" + o.frontEnd + ")";
        }
    } else {
        error = "\"" + word + "\" names " + std::to_string(matches.size())
            + " Wine prefixes; give the folder of the one meant:";
        for (const prefixes::Prefix* p : matches)
            error += "\n  " + p->path + " (" + ownerList(*p) + ")";
    }
    return {};
}

PrefixOwners ownersOf(const std::string& prefix)
{
    if (prefix.empty())
        return {};
    const prefixes::Discovery found = discoverHere();
    const prefixes::Prefix* p = prefixes::findByPath(found, prefix);
    if (!p)
        return {};
    PrefixOwners owners;
    for (const prefixes::Owner& o : p->owners) {
        if (prefixes::hasOwnWine(o))
            owners.label += (owners.label.empty() ? "" : ", ") + o.frontEnd + ": " + o.name;
    }
    if (const prefixes::Owner* maker = prefixes::maker(*p))
        owners.wine = { maker->winePath, maker->frontEnd, maker->runner };
    return owners;
}

} // namespace tw
