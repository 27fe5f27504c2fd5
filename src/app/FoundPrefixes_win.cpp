// SPDX-License-Identifier: MIT
// Windows keeps one registry of its own and no prefixes.
#include "app/FoundPrefixes.h"

namespace tw {

bool findsPrefixes()
{
    return false;
}

FoundPrefixes findPrefixes(bool)
{
    return {};
}

std::string prefixFolder(const std::string& word, std::string&)
{
    return word;
}

PrefixOwners ownersOf(const std::string&)
{
    return {};
}

} // namespace tw
