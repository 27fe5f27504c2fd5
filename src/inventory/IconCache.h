// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/IconExtractor.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace tw::icons {

// Remembers what ExtractIconExA gave for a file and index while the file stays the same (size and
// modification time), so a list where many entries share one program file reads that file once.
class IconCache
{
public:
    // What the file gave, kept until the next call for the same file and index.
    const std::optional<IconPair>& extract(const std::string& file, std::int32_t index);
    std::size_t size() const { return m_entries.size(); }

private:
    struct Entry
    {
        std::uintmax_t fileSize = 0;
        std::int64_t modified = 0;
        std::optional<IconPair> icons;
    };
    std::map<std::pair<std::string, std::int32_t>, Entry> m_entries;
};

} // namespace tw::icons
