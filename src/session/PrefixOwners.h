// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>

namespace tw {

// Which Wine starts programs in a prefix. A prefix made by a front-end was made with that front-end's
// Wine; another Wine run in it upgrades the prefix and can break it for the front-end.
struct WineChoice
{
    std::string program; // the Wine of the front-end that made the prefix; empty: the system's
    std::string maker; // that front-end, when it keeps a Wine of its own ("Bottles")
    std::string runner; // its name for that Wine, when it says

    // The system's Wine would run in a prefix its maker keeps with its own Wine, which was not found,
    // and TIDEWELL_WINE names no Wine instead: the user must agree first.
    bool asksFirst() const;
    // What may happen, in two sentences.
    std::string warning() const;
    // The warning and the question.
    std::string question() const;
};

// What the front-ends' own files say about a prefix (prefix discovery, where there is one).
struct PrefixOwners
{
    std::string label; // "Bottles: Office", the owners with a Wine of their own; empty when none
    WineChoice wine;
};

// The owners of a prefix folder; nothing known when no front-end lists it.
using PrefixLookup = std::function<PrefixOwners(const std::string& prefix)>;

} // namespace tw
