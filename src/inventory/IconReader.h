// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/IconExtractor.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Finds icon images in the bytes of an .ico file or of a PE32/PE32+ program or library the way
// ExtractIconEx does. The bytes are untrusted: every offset and size is checked before it is used,
// and anything malformed gives nothing.
namespace tw::icons {

inline constexpr std::size_t kMaxIconFileSize = std::size_t { 64 } << 20;

// The file's bytes; nothing when it cannot be read or is larger than kMaxIconFileSize.
std::optional<std::vector<std::uint8_t>> readIconFile(const std::string& path);

// One icon group: the directory of an .ico file, or one RT_GROUP_ICON resource of a PE file.
struct IconGroup
{
    bool named = false; // a resource with a name instead of an id
    std::uint16_t id = 0; // the resource id; 0 for named groups and .ico files
};

// The icon groups in the order icon indexes count them: the one group of an .ico file, or the entries
// of the PE file's RT_GROUP_ICON directory as stored (named ones first, then ids in ascending order).
// Empty when the file is neither, or malformed.
std::vector<IconGroup> listIconGroups(std::span<const std::uint8_t> file);

struct IconChoice
{
    IconGroup group;
    std::size_t entry = 0; // position of the chosen image in the group's directory
    std::size_t offset = 0; // where the image's bytes start in the file
    IconImage image; // Png or Dib; width and height are the image's own
};

// The image nearest `size` pixels square in icon group `index`: 0-based over listIconGroups, or for a
// negative index the group whose id is -index; an .ico file's one group answers to every index below 1.
// Among the images of the best size, the one whose colour depth is nearest 32 bits wins, the first in
// directory order on a tie; a directory entry without a depth takes it from the image's own header.
std::optional<IconChoice> chooseIcon(std::span<const std::uint8_t> file, std::int32_t index, int size);

} // namespace tw::icons
