// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/PathMapping.h"
#include "inventory/ProgramRow.h"

#include <optional>
#include <string>
#include <vector>

namespace tw {

class Registry;

inline constexpr const char* kUninstallPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr const char* kArpCachePath
    = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache\\";

// The scan's rules: which entries are listed, with what cells and which icon source. The list
// widget only shows what this returns.
class Inventory
{
public:
    // The decimal separator is the user's locale's, for the Size cell.
    Inventory(Registry& registry, std::string osName, PathMapping paths, char decimalSeparator = '.')
        : m_registry(registry)
        , m_osName(std::move(osName))
        , m_paths(std::move(paths))
        , m_decimalSeparator(decimalSeparator)
    { }

    // One row per listable entry, in the registry's enumeration order.
    std::vector<ProgramRow> scan();
    // On the 98 family the Size, Last Used On and Frequency columns are hidden and no usage record is read.
    bool usageHidden() const { return m_osName.find("98") != std::string::npos; }
    const PathMapping& paths() const { return m_paths; }

private:
    Registry& m_registry;
    std::string m_osName;
    PathMapping m_paths;
    char m_decimalSeparator;
};

// The icon source an entry's DisplayIcon names: quotes dropped, the index after the last comma when it
// reads as a number. An index that is not a number: none. The scan looks at an empty DisplayIcon before it
// comes here.
std::optional<IconRef> iconFromDisplayIcon(const std::string& displayIcon);

} // namespace tw
