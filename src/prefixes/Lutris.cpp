// SPDX-License-Identifier: MIT
// Lutris writes one YAML file per installed game, named <slug>-<install time>.yml, whose game:
// section names the prefix and whose wine: section names the Wine build (a folder under
// <data>/runners/wine). The games sit in its configuration folder while that folder exists
// (older installs), else in its data folder.
#include "prefixes/Scan.h"
#include "prefixes/Yaml.h"

#include <algorithm>

namespace tw::prefixes::scan {

namespace {

// "my-game-1700000000" -> "my-game": the file name without the install time.
std::string slugOf(const fs::path& file)
{
    std::string stem = file.stem().string();
    const std::size_t dash = stem.rfind('-');
    if (dash != std::string::npos && dash > 0 && dash + 1 < stem.size()
        && std::all_of(stem.begin() + static_cast<std::ptrdiff_t>(dash) + 1, stem.end(),
            [](char c) { return c >= '0' && c <= '9'; }))
        stem.erase(dash);
    return stem;
}

void readGame(Findings& f, const fs::path& data, const fs::path& file)
{
    const auto yml = f.read(file);
    if (!yml)
        return;
    try {
        const YAML::Node game = YAML::Load(*yml);
        if (!game.IsMap())
            throw std::runtime_error("not a game's configuration");
        const auto prefix = text(entry(game, "game"), "prefix");
        if (!prefix || prefix->empty())
            return; // not a Wine game
        const auto name = text(game, "name");
        Owner owner { "Lutris", name && !name->empty() ? *name : slugOf(file), {}, {} };
        if (const auto version = text(entry(game, "wine"), "version"); version && !version->empty()) {
            owner.runner = *version;
            owner.winePath = firstFile({ data / "runners/wine" / *version / "bin/wine" });
        }
        f.add(f.expand(*prefix), std::move(owner));
    } catch (const std::exception& e) {
        f.warn(file, e.what());
    }
}

void readInstall(Findings& f, const fs::path& config, const fs::path& data)
{
    std::error_code ec;
    const fs::path games = (fs::is_directory(config, ec) ? config : data) / "games";
    for (const fs::path& file : f.list(games)) {
        if (file.extension() == ".yml")
            readGame(f, data, file);
    }
}

} // namespace

void scanLutris(Findings& f)
{
    if (!f.env().xdgConfigHome.empty() && !f.env().xdgDataHome.empty())
        readInstall(f, fs::path(f.env().xdgConfigHome) / "lutris", fs::path(f.env().xdgDataHome) / "lutris");
    const fs::path flatpak = f.home(".var/app/net.lutris.Lutris");
    if (!flatpak.empty())
        readInstall(f, flatpak / "config/lutris", flatpak / "data/lutris");
}

} // namespace tw::prefixes::scan
