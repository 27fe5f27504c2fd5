// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Finds the current user's Wine prefixes by reading the files of the front-ends that make them
// (plain Wine, winetricks, Bottles, Lutris, Steam's Proton, Heroic, PlayOnLinux; native and
// Flatpak installs). Nothing is started: a front-end's own files are the only source, so a list
// can be shown at once and without side effects.
namespace tw::prefixes {

// One front-end's view of a prefix.
struct Owner
{
    std::string frontEnd; // "Wine", "winetricks", "Bottles", "Lutris", "Steam", "Heroic", "PlayOnLinux"
    std::string name; // what the front-end calls the prefix (bottle, game, folder name)
    std::string runner; // the front-end's Wine as it names it (Bottles runner, Lutris wine version, Proton
                        // version, Heroic wine name, PlayOnLinux wine version); empty when it does not say
    std::string winePath; // that Wine's executable when it is on disk, else empty

    bool operator==(const Owner&) const = default;
};

struct Prefix
{
    std::string path; // canonical: symbolic links resolved
    std::vector<Owner> owners; // at least one, in the order below
};

struct Discovery
{
    // Ordered by the first owner: front-ends in the order of Owner::frontEnd's list, then by name
    // (ignoring case), then by path. A prefix's owners are in that same order.
    std::vector<Prefix> prefixes;
    // One line per configuration file that could not be read: "<file>: <what is wrong>". Such a
    // file is left out; everything else is still found.
    std::vector<std::string> warnings;
};

// Where to look. Empty XDG folders mean their defaults under `home`.
struct Environment
{
    std::string home;
    std::string xdgDataHome; // XDG_DATA_HOME, else ~/.local/share
    std::string xdgConfigHome; // XDG_CONFIG_HOME, else ~/.config
    std::string winePrefix; // WINEPREFIX
    std::string winePrefixes; // WINE_PREFIXES (winetricks), else $XDG_DATA_HOME/wineprefixes

    // From this process's environment (HOME, else the password database).
    static Environment fromProcess();
};

Discovery discover(const Environment& env);

// A folder Wine has set up as a prefix: it holds system.reg and drive_c/.
bool isPrefix(const std::filesystem::path& folder);

} // namespace tw::prefixes
