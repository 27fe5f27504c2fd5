// SPDX-License-Identifier: MIT
// The Wine prefixes the front-ends of this machine made, as prefix discovery finds them on Linux;
// elsewhere there are none, and a prefix is only ever a folder.
#pragma once

#include "session/PrefixOwners.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tw {

struct FoundPrefix
{
    std::string path; // symbolic links resolved
    std::vector<std::string> frontEnds; // its owners ("Bottles"), in discovery's order
    std::vector<std::string> names; // what each of them calls it
    std::optional<std::size_t> programs; // how many --list lists; none when the registry cannot be read
    std::string error; // then why
};

struct FoundPrefixes
{
    std::vector<FoundPrefix> prefixes;
    std::vector<std::string> warnings; // configuration files that could not be read
};

// Whether this platform finds prefixes at all.
bool findsPrefixes();

// Every prefix found, with its programs counted in the view asked for (the files are read; no Wine runs).
FoundPrefixes findPrefixes(bool wow32);

// --prefix takes a folder, or a name --prefixes printed for exactly one prefix. Returns the folder;
// empty with `error` when the word is no folder and names no prefix, or several.
std::string prefixFolder(const std::string& word, std::string& error);

// Who made `prefix` and which Wine runs it.
PrefixOwners ownersOf(const std::string& prefix);

} // namespace tw
