// SPDX-License-Identifier: MIT
#include "session/PrefixOwners.h"

#include <cstdlib>

namespace tw {

bool WineChoice::asksFirst() const
{
    // A Wine named explicitly is the user's own choice, made knowing the prefix.
    const char* named = std::getenv("TIDEWELL_WINE");
    return program.empty() && !maker.empty() && !(named && *named);
}

std::string WineChoice::warning() const
{
    return "This prefix was made by " + maker + " with its own Wine"
        + (runner.empty() ? std::string() : " (" + runner + ")")
        + ", which was not found. Running the system's Wine in it may upgrade the prefix and break it for "
        + maker + ".";
}

std::string WineChoice::question() const
{
    return warning() + " Use the system's Wine anyway?";
}

} // namespace tw
