// SPDX-License-Identifier: MIT
#include "app/PrefixesCommand.h"

#include "app/FoundPrefixes.h"
#include "inventory/Listing.h"

#include <ostream>

namespace tw {

namespace {

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

} // namespace

int runPrefixesCommand(bool wow32, std::ostream& out, std::ostream& err)
{
    const FoundPrefixes found = findPrefixes(wow32);
    for (const std::string& warning : found.warnings)
        err << "tidewell: " << warning << '\n';
    for (const FoundPrefix& p : found.prefixes) {
        if (!p.programs)
            err << "tidewell: " << p.error << '\n';
        out << listingLine({ p.path, joined(p.frontEnds), joined(p.names),
            p.programs ? std::to_string(*p.programs) : std::string() });
    }
    out.flush();
    return 0;
}

} // namespace tw
