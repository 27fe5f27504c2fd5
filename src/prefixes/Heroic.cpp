// SPDX-License-Identifier: MIT
// Heroic writes one JSON file per game to <config>/heroic/GamesConfig/<game id>.json; its object
// keyed by the game id holds winePrefix and wineVersion { bin, name, type }. A Proton game's
// winePrefix is Proton's compatdata-style folder, with the prefix itself in pfx/. The games' titles
// are in the stores' library caches.
#include "prefixes/Scan.h"

#include <nlohmann/json.hpp>

namespace tw::prefixes::scan {

namespace {

using nlohmann::json;

std::optional<std::string> textOf(const json& object, const char* key)
{
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string())
        return std::nullopt;
    return it->get<std::string>();
}

std::optional<json> readJson(Findings& f, const fs::path& file)
{
    const auto text = f.read(file);
    if (!text)
        return std::nullopt;
    try {
        return json::parse(*text);
    } catch (const json::exception& e) {
        f.warn(file, e.what());
        return std::nullopt;
    }
}

// Game id -> title, from whichever library caches are there.
std::map<std::string, std::string> titlesOf(Findings& f, const fs::path& heroic)
{
    std::map<std::string, std::string> titles;
    for (const char* cache : { "store_cache/legendary_library.json", "store_cache/gog_library.json",
             "store_cache/nile_library.json", "sideload_apps/library.json" }) {
        const auto library = readJson(f, heroic / cache);
        if (!library || !library->is_object())
            continue;
        for (const char* list : { "library", "games" }) {
            const auto games = library->find(list);
            if (games == library->end() || !games->is_array())
                continue;
            for (const json& game : *games) {
                if (!game.is_object())
                    continue;
                const auto id = textOf(game, "app_name");
                const auto title = textOf(game, "title");
                if (id && title && !title->empty())
                    titles.emplace(*id, *title);
            }
        }
    }
    return titles;
}

void readGames(Findings& f, const fs::path& file, const std::map<std::string, std::string>& titles)
{
    const auto config = readJson(f, file);
    if (!config)
        return;
    if (!config->is_object()) {
        f.warn(file, "not a JSON object");
        return;
    }
    // Beside the game's own entry the file holds a few bookkeeping values ("version", "explicit").
    for (const auto& [id, game] : config->items()) {
        if (!game.is_object())
            continue;
        const auto winePrefix = textOf(game, "winePrefix");
        if (!winePrefix || winePrefix->empty())
            continue;
        const auto title = titles.find(id);
        Owner owner { "Heroic", title != titles.end() ? title->second : id, {}, {} };
        fs::path prefix = f.expand(*winePrefix);
        if (const auto wine = game.find("wineVersion"); wine != game.end() && wine->is_object()) {
            const std::string bin = textOf(*wine, "bin").value_or("");
            const std::string name = textOf(*wine, "name").value_or("");
            owner.runner = name.empty() ? bin : name;
            const fs::path wineFile = f.expand(bin);
            if (textOf(*wine, "type") == "proton") {
                prefix /= "pfx";
                // bin is the build's proton script; Wine sits beside it.
                const fs::path build = wineFile.parent_path();
                owner.winePath = firstFile({ build / "files/bin/wine", build / "dist/bin/wine" });
            } else {
                owner.winePath = firstFile({ wineFile });
            }
        }
        f.add(prefix, std::move(owner));
    }
}

void readInstall(Findings& f, const fs::path& heroic)
{
    std::vector<fs::path> files = f.list(heroic / "GamesConfig");
    std::erase_if(files, [](const fs::path& p) { return p.extension() != ".json"; });
    if (files.empty())
        return;
    const auto titles = titlesOf(f, heroic);
    for (const fs::path& file : files)
        readGames(f, file, titles);
}

} // namespace

void scanHeroic(Findings& f)
{
    if (!f.env().xdgConfigHome.empty())
        readInstall(f, fs::path(f.env().xdgConfigHome) / "heroic");
    readInstall(f, f.home(".var/app/com.heroicgameslauncher.hgl/config/heroic"));
}

} // namespace tw::prefixes::scan
