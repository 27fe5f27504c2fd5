// SPDX-License-Identifier: MIT
// Bottles keeps its data in <data>/bottles (XDG_DATA_HOME, or the Flatpak's own): one folder per
// bottle under bottles/ (or under the custom_bottles_path of data.yml), each with a bottle.yml,
// and the Wine builds it downloads under runners/.
#include "prefixes/Scan.h"
#include "prefixes/Yaml.h"

namespace tw::prefixes::scan {

namespace {

void readBottle(Findings& f, const fs::path& data, const fs::path& bottles, const fs::path& folder)
{
    Owner owner { "Bottles", folder.filename().string(), {}, {} };
    fs::path prefix = folder;
    const fs::path config = folder / "bottle.yml";
    // A bottle whose configuration cannot be read is still listed under its folder's name.
    if (const auto yml = f.read(config)) {
        try {
            const YAML::Node bottle = YAML::Load(*yml);
            if (!bottle.IsMap())
                throw std::runtime_error("not a bottle's configuration");
            if (const auto name = text(bottle, "Name"); name && !name->empty())
                owner.name = *name;
            if (const auto runner = text(bottle, "Runner"); runner && !runner->empty()) {
                owner.runner = *runner;
                // Proton-based runners keep Wine in files/.
                const fs::path home = data / "runners" / *runner;
                owner.winePath = firstFile({ home / "bin/wine", home / "files/bin/wine" });
            }
            const bool custom
                = entry(bottle, "Custom_Path").IsScalar() && entry(bottle, "Custom_Path").as<bool>(false);
            if (const auto path = text(bottle, "Path"); path && !path->empty())
                prefix = custom ? f.expand(*path) : bottles / *path;
        } catch (const std::exception& e) {
            f.warn(config, e.what());
        }
    }
    f.add(prefix, std::move(owner));
}

void readData(Findings& f, const fs::path& data)
{
    std::vector<fs::path> folders { data / "bottles" };
    const fs::path config = data / "data.yml";
    if (const auto yml = f.read(config)) {
        try {
            if (const auto custom = text(YAML::Load(*yml), "custom_bottles_path"); custom && !custom->empty())
                folders.push_back(f.expand(*custom));
        } catch (const std::exception& e) {
            f.warn(config, e.what());
        }
    }
    for (const fs::path& bottles : folders) {
        for (const fs::path& folder : f.subfolders(bottles))
            readBottle(f, data, bottles, folder);
    }
}

} // namespace

void scanBottles(Findings& f)
{
    if (!f.env().xdgDataHome.empty())
        readData(f, fs::path(f.env().xdgDataHome) / "bottles");
    readData(f, f.home(".var/app/com.usebottles.bottles/data/bottles"));
}

} // namespace tw::prefixes::scan
