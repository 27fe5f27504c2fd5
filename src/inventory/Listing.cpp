// SPDX-License-Identifier: MIT
#include "inventory/Listing.h"

namespace tw {

namespace {

void appendField(std::string& out, const std::string& field)
{
    for (char c : field) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
}

} // namespace

std::string formatListing(const std::vector<ProgramRow>& rows)
{
    std::string out;
    for (const ProgramRow& row : rows)
        out += listingLine(
            { row.key, row.text, row.size, row.lastUsedOn, row.frequency, row.uninstallCommand });
    return out;
}

std::string listingLine(const std::vector<std::string>& fields)
{
    std::string out;
    bool first = true;
    for (const std::string& f : fields) {
        if (!first)
            out += '\t';
        first = false;
        appendField(out, f);
    }
    out += '\n';
    return out;
}

} // namespace tw
