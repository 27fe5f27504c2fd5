// SPDX-License-Identifier: MIT
#include "inventory/IconCache.h"

#include "base/FsPath.h"

#include <filesystem>

namespace tw::icons {

const std::optional<IconPair>& IconCache::extract(const std::string& file, std::int32_t index)
{
    static const std::optional<IconPair> none;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p = toFsPath(file);
    const auto size = fs::file_size(p, ec);
    if (ec)
        return none;
    const auto modified = fs::last_write_time(p, ec).time_since_epoch().count();
    if (ec)
        return none;
    auto& entry = m_entries[{ file, index }];
    if (entry.fileSize != size || entry.modified != modified
        || (entry.fileSize == 0 && entry.modified == 0)) {
        entry.fileSize = size;
        entry.modified = static_cast<std::int64_t>(modified);
        entry.icons = ExtractIconExA(file, index);
    }
    return entry.icons;
}

} // namespace tw::icons
