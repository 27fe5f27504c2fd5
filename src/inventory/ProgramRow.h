// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistrySource.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// Where a row's icon comes from: a file (a Windows path as the registry holds it, or a POSIX path) and
// the icon's index in it (0-based; negative: a resource id).
struct IconRef
{
    std::string path;
    std::int32_t index = 0;
    bool operator==(const IconRef&) const = default;
};

// One row of the program list, as the scan makes it. Text is UTF-8.
struct ProgramRow
{
    std::string key; // the registry name
    std::string text; // DisplayName, exactly as read
    std::string size;
    std::string lastUsedOn;
    std::string frequency;
    std::string uninstallCommand;
    std::optional<IconRef> icon; // none: the default picture
    RegistrySource source; // where the entry lives; every operation on the row goes there
};

} // namespace tw
