// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/PathMapping.h"
#include "inventory/ProgramRow.h"
#include "registry/RegistrySource.h"

#include <optional>
#include <string>
#include <vector>

namespace tw {

class Registry;
class RegistryViews;

inline constexpr const char* kUninstallPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr const char* kArpCachePath
    = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache\\";

// The scan's rules: which entries are listed, with what cells and which icon source. The list
// widget only shows what this returns.
class Inventory
{
public:
    // The decimal separator is the user's locale's, for the Size cell.
    // The machine-wide entries `registry` reaches, in whatever view it has.
    Inventory(Registry& registry, std::string osName, PathMapping paths, char decimalSeparator = '.');
    // The entries of every source the views list.
    Inventory(RegistryViews& views, std::string osName, PathMapping paths, char decimalSeparator = '.');

    // One row per listable entry: the sources one after another, each in the registry's enumeration
    // order. A key name is listed once per source, so one found in two sources gives two rows.
    std::vector<ProgramRow> scan();
    // On the 98 family the Size, Last Used On and Frequency columns are hidden and no usage record is read.
    bool usageHidden() const { return m_osName.find("98") != std::string::npos; }
    const PathMapping& paths() const { return m_paths; }

private:
    struct Source
    {
        RegistrySource where;
        Registry* registry;
    };
    void scan(const Source& source, std::vector<ProgramRow>& rows);

    std::vector<Source> m_sources;
    RegistryApi& m_backend; // what every source reads through
    std::string m_osName;
    PathMapping m_paths;
    char m_decimalSeparator;
};

// The icon source an entry's DisplayIcon names: quotes dropped, the index after the last comma when it
// reads as a number. An index that is not a number: none. The scan looks at an empty DisplayIcon before it
// comes here.
std::optional<IconRef> iconFromDisplayIcon(const std::string& displayIcon);

} // namespace tw
