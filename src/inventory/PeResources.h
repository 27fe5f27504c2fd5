// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/IconReader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace tw::icons {

// The resource section of a PE32/PE32+ file: the directory tree that starts at its root, and the
// sections that map the data entries' RVAs to file offsets. Every offset is checked against the file.
class PeResources
{
public:
    using Bytes = std::span<const std::uint8_t>;

    // Nothing when the file is no PE file or has no resource directory.
    static std::optional<PeResources> open(Bytes file);

    // The RT_GROUP_ICON entries as stored.
    std::vector<IconGroup> groups() const;
    // The bytes of group `index` (see chooseIcon) and which group it is.
    std::optional<std::pair<IconGroup, Bytes>> group(std::int32_t index) const;
    // The RT_ICON resource `id`, and where it starts in the file.
    std::optional<std::pair<std::size_t, Bytes>> icon(std::uint16_t id) const;

private:
    struct Directory
    {
        std::uint64_t offset = 0; // from the tree's root
        std::uint16_t named = 0;
        std::uint16_t ids = 0;
        std::size_t count() const { return std::size_t { named } + ids; }
    };

    struct Entry
    {
        static constexpr std::uint32_t kHighBit = 0x80000000u;
        std::uint32_t name = 0;
        std::uint32_t target = 0;
        bool isString() const { return (name & kHighBit) != 0; }
        std::uint16_t id() const { return static_cast<std::uint16_t>(name & 0xFFFF); }
        bool isDirectory() const { return (target & kHighBit) != 0; }
        std::uint32_t offset() const { return target & ~kHighBit; }
        IconGroup asGroup() const { return { isString(), isString() ? std::uint16_t { 0 } : id() }; }
    };

    // Where the optional header's data directories say the resource tree starts, as an RVA.
    static std::optional<std::uint32_t> resourceRva(Bytes file, std::uint64_t optional, std::uint32_t size);
    std::optional<std::pair<std::uint64_t, std::uint64_t>> map(std::uint32_t rva) const;
    std::optional<Directory> directory(std::uint64_t offset) const;
    std::optional<Entry> entry(const Directory& dir, std::size_t i) const;
    std::optional<Entry> findId(const Directory& dir, std::uint16_t id) const;
    std::optional<Directory> typeDirectory(std::uint16_t type) const;
    std::optional<Bytes> firstLanguageData(const Entry& named) const;

    Bytes m_file;
    std::uint64_t m_sections = 0;
    std::uint32_t m_sectionCount = 0;
    Bytes m_tree;
};

} // namespace tw::icons
