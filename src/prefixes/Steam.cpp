// SPDX-License-Identifier: MIT
// Steam runs Windows games through Proton with one prefix per game:
// <library>/steamapps/compatdata/<appid>/pfx. Its libraries are the Steam folder itself and those
// listed in steamapps/libraryfolders.vdf; a game's name is in the appmanifest_<appid>.acf of
// whichever library holds it. Proton writes its prefix version to compatdata/<appid>/version and,
// in config_info, that version followed by paths inside the Proton build that made the prefix.
#include "prefixes/Scan.h"
#include "prefixes/Vdf.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace tw::prefixes::scan {

namespace {

bool isNumber(std::string_view s)
{
    return !s.empty() && std::ranges::all_of(s, [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<vdf::Node> readVdf(Findings& f, const fs::path& file)
{
    const auto text = f.read(file);
    if (!text)
        return std::nullopt;
    std::string error;
    auto root = vdf::parse(*text, &error);
    if (!root)
        f.warn(file, error);
    return root;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

// Adds `path` unless a folder already listed is the same folder.
void addFolder(std::vector<fs::path>& folders, std::set<fs::path>& seen, const fs::path& path)
{
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (!ec && seen.insert(real).second)
        folders.push_back(real);
}

std::vector<fs::path> librariesOf(Findings& f, const fs::path& root)
{
    std::vector<fs::path> libraries;
    std::set<fs::path> seen;
    addFolder(libraries, seen, root);
    fs::path file = root / "steamapps/libraryfolders.vdf";
    std::error_code ec;
    if (!fs::exists(file, ec))
        file = root / "config/libraryfolders.vdf";
    const auto vdf = readVdf(f, file);
    if (!vdf)
        return libraries;
    const vdf::Node* folders = vdf->find("libraryfolders");
    if (!folders || !folders->isObject) {
        f.warn(file, "no \"libraryfolders\" object");
        return libraries;
    }
    // Libraries are numbered: "1" "/path" in the old layout, "1" { "path" "/path" ... } in the
    // current one. Other entries are Steam's statistics.
    for (const vdf::Node& entry : folders->children) {
        if (!isNumber(entry.key))
            continue;
        const std::optional<std::string> path = entry.isObject ? entry.text("path") : entry.value;
        if (path && path->starts_with('/'))
            addFolder(libraries, seen, *path);
    }
    return libraries;
}

std::string gameName(Findings& f, const std::vector<fs::path>& libraries, const std::string& appid)
{
    for (const fs::path& library : libraries) {
        const auto manifest = readVdf(f, library / "steamapps" / ("appmanifest_" + appid + ".acf"));
        const vdf::Node* state = manifest ? manifest->find("AppState") : nullptr;
        if (state && state->isObject) {
            if (const auto name = state->text("name"); name && !name->empty())
                return *name;
        }
    }
    return appid; // a game added to Steam by hand has no manifest
}

// The Proton build behind a compatdata folder: its version, and its Wine when it is still on disk.
void protonOf(Findings& f, const fs::path& compat, const fs::path& root,
    const std::vector<fs::path>& libraries, Owner& owner)
{
    const std::vector<std::string> info = linesOf(f.read(compat / "config_info").value_or(""));
    const std::vector<std::string> version = linesOf(f.read(compat / "version").value_or(""));
    if (!version.empty())
        owner.runner = version.front();
    else if (!info.empty())
        owner.runner = info.front();

    std::vector<fs::path> builds;
    // The fonts and library folders of the build (lines 2 and 3); older builds kept them in dist/.
    for (std::size_t i = 1; i < info.size() && i < 3; ++i) {
        std::string line = info[i];
        if (!line.ends_with('/'))
            line += '/';
        for (const std::string_view inside :
            { "/files/share/fonts/", "/dist/share/fonts/", "/files/lib/", "/dist/lib/", "/dist/lib64/" }) {
            if (line.starts_with('/') && line.ends_with(inside))
                builds.push_back(line.substr(0, line.size() - inside.size()));
        }
    }
    // Without config_info, the build the version names: Valve's "Proton 8.0" for "8.0-104", or a
    // custom build installed under its own name.
    const std::string& v = owner.runner;
    if (!v.empty() && v.front() >= '0' && v.front() <= '9') {
        for (const fs::path& library : libraries)
            builds.push_back(library / "steamapps/common" / ("Proton " + v.substr(0, v.find('-'))));
    }
    if (!v.empty() && v.find('/') == std::string::npos)
        builds.push_back(root / "compatibilitytools.d" / v);

    for (const fs::path& build : builds) {
        owner.winePath = firstFile({ build / "files/bin/wine", build / "dist/bin/wine" });
        if (!owner.winePath.empty())
            return;
    }
}

void readRoot(Findings& f, const fs::path& root)
{
    const std::vector<fs::path> libraries = librariesOf(f, root);
    for (const fs::path& library : libraries) {
        for (const fs::path& compat : f.subfolders(library / "steamapps/compatdata")) {
            const std::string appid = compat.filename().string();
            const fs::path prefix = compat / "pfx";
            if (!isPrefix(prefix))
                continue;
            Owner owner { "Steam", gameName(f, libraries, appid), {}, {} };
            protonOf(f, compat, root, libraries, owner);
            f.add(prefix, std::move(owner));
        }
    }
}

} // namespace

void scanSteam(Findings& f)
{
    std::vector<fs::path> roots;
    std::set<fs::path> seen;
    const fs::path flatpak = f.home(".var/app/com.valvesoftware.Steam");
    for (const fs::path& candidate :
        { f.home(".steam/steam"), f.home(".steam/root"), fs::path(f.env().xdgDataHome) / "Steam",
            f.home(".local/share/Steam"), flatpak / ".steam/steam", flatpak / ".local/share/Steam" }) {
        std::error_code ec;
        if (candidate.is_absolute() && fs::is_directory(candidate / "steamapps", ec))
            addFolder(roots, seen, candidate);
    }
    for (const fs::path& root : roots)
        readRoot(f, root);
}

} // namespace tw::prefixes::scan
