// SPDX-License-Identifier: MIT
#pragma once

#include <iosfwd>

namespace tw {

// `tidewell --prefixes`: prints one line per prefix found, the fields as --list writes them: the folder,
// its owners (front-ends) and what each calls it (both joined by ", " in the same order, when several
// made or use one prefix), and how many programs --list would list in it (empty when its registry
// cannot be read, which `err` then says, as it does every configuration file that cannot be read).
// Returns 0, also when none is found.
int runPrefixesCommand(bool wow32, std::ostream& out, std::ostream& err);

} // namespace tw
