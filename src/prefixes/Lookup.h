// SPDX-License-Identifier: MIT
// Questions asked of a discovery: which prefix a folder or a name means, and whose Wine runs it.
#pragma once

#include "prefixes/Discovery.h"

#include <string>
#include <vector>

namespace tw::prefixes {

// The prefix in `folder` (symbolic links resolved), or nullptr when no front-end lists it.
const Prefix* findByPath(const Discovery& found, const std::string& folder);

// The prefixes that one of their owners calls `name`, each once.
std::vector<const Prefix*> findByName(const Discovery& found, const std::string& name);

// Plain Wine and winetricks run a prefix with the system's Wine; every other front-end keeps the Wine
// it made the prefix with.
bool hasOwnWine(const Owner& owner);

// The owner whose Wine runs the prefix's programs: the first with a Wine of its own that is on disk,
// else the first with a Wine of its own (which was not found); nullptr when the system's Wine is the
// prefix's own.
const Owner* maker(const Prefix& prefix);

} // namespace tw::prefixes
