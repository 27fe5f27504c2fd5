// SPDX-License-Identifier: MIT
#include "inventory/PeResources.h"

#include "base/Bytes.h"

#include <algorithm>
#include <cstring>

namespace tw::icons {
namespace {

using bytes::fits;
using bytes::readAt;
using bytes::readLe16;
using bytes::readLe32;

// The on-disk layouts, as byte arrays so that they have no padding and no byte order of their own.

struct CoffHeader
{
    std::uint8_t machine[2];
    std::uint8_t sectionCount[2];
    std::uint8_t timeAndSymbols[12];
    std::uint8_t optionalHeaderSize[2];
    std::uint8_t characteristics[2];
};
static_assert(sizeof(CoffHeader) == 20);

struct SectionHeader
{
    std::uint8_t name[8];
    std::uint8_t virtualSize[4];
    std::uint8_t virtualAddress[4];
    std::uint8_t rawSize[4];
    std::uint8_t rawOffset[4];
    std::uint8_t unused[16];
};
static_assert(sizeof(SectionHeader) == 40);

struct ResourceDirectory
{
    std::uint8_t characteristicsTimeAndVersion[12];
    std::uint8_t namedCount[2];
    std::uint8_t idCount[2];
};
static_assert(sizeof(ResourceDirectory) == 16);

struct ResourceDirEntry
{
    std::uint8_t name[4];
    std::uint8_t target[4];
};
static_assert(sizeof(ResourceDirEntry) == 8);

struct ResourceDataEntry
{
    std::uint8_t rva[4];
    std::uint8_t size[4];
    std::uint8_t codePageAndReserved[8];
};
static_assert(sizeof(ResourceDataEntry) == 16);

constexpr std::uint16_t kGroupIconType = 14; // RT_GROUP_ICON
constexpr std::uint16_t kIconType = 3; // RT_ICON

std::optional<std::uint16_t> u16At(PeResources::Bytes b, std::uint64_t offset)
{
    if (!fits(b, offset, 2))
        return std::nullopt;
    return readLe16(b, static_cast<std::size_t>(offset));
}

std::optional<std::uint32_t> u32At(PeResources::Bytes b, std::uint64_t offset)
{
    if (!fits(b, offset, 4))
        return std::nullopt;
    return readLe32(b, static_cast<std::size_t>(offset));
}

} // namespace

std::optional<std::uint32_t> PeResources::resourceRva(Bytes file, std::uint64_t optional, std::uint32_t size)
{
    // The data directories follow the fixed fields, which are longer in PE32+.
    std::uint32_t countAt = 0;
    const auto magic = u16At(file, optional);
    if (magic == 0x10B)
        countAt = 92;
    else if (magic == 0x20B)
        countAt = 108;
    else
        return std::nullopt;
    const std::uint32_t resourceDirAt = countAt + 4 + 2 * 8;
    if (size < resourceDirAt + 8)
        return std::nullopt;
    const auto dirCount = u32At(file, optional + countAt);
    const auto rva = u32At(file, optional + resourceDirAt);
    if (!dirCount || !rva || *dirCount < 3 || *rva == 0)
        return std::nullopt;
    return rva;
}

std::optional<PeResources> PeResources::open(Bytes file)
{
    if (file.size() < 0x40 || file[0] != 'M' || file[1] != 'Z')
        return std::nullopt;
    const auto pe = u32At(file, 0x3C);
    if (!pe || !fits(file, *pe, 4) || std::memcmp(file.data() + *pe, "PE\0\0", 4) != 0)
        return std::nullopt;
    const auto coff = readAt<CoffHeader>(file, *pe + 4);
    if (!coff)
        return std::nullopt;
    const std::uint64_t optional = *pe + 4 + sizeof(CoffHeader);
    const std::uint32_t optionalSize = readLe16(coff->optionalHeaderSize);
    const auto rva = resourceRva(file, optional, optionalSize);
    if (!rva)
        return std::nullopt;

    PeResources r;
    r.m_file = file;
    r.m_sections = optional + optionalSize;
    r.m_sectionCount = readLe16(coff->sectionCount);
    if (!fits(file, r.m_sections, std::uint64_t { r.m_sectionCount } * sizeof(SectionHeader)))
        return std::nullopt;
    // Directory offsets are relative to the root; the tree may use the rest of its section.
    const auto root = r.map(*rva);
    if (!root)
        return std::nullopt;
    r.m_tree = file.subspan(root->first, root->second);
    return r;
}

std::vector<IconGroup> PeResources::groups() const
{
    std::vector<IconGroup> out;
    const auto dir = typeDirectory(kGroupIconType);
    if (!dir)
        return out;
    out.reserve(dir->count());
    for (std::size_t i = 0; i < dir->count(); ++i) {
        const auto e = entry(*dir, i);
        if (!e)
            return {};
        out.push_back(e->asGroup());
    }
    return out;
}

std::optional<std::pair<IconGroup, PeResources::Bytes>> PeResources::group(std::int32_t index) const
{
    const auto dir = typeDirectory(kGroupIconType);
    if (!dir)
        return std::nullopt;
    std::optional<Entry> e;
    if (index >= 0) {
        if (static_cast<std::uint32_t>(index) >= dir->count())
            return std::nullopt;
        e = entry(*dir, static_cast<std::size_t>(index));
    } else {
        // Resource ids are 16 bits: -index beyond them names no group, it is not cut to its low word.
        const std::uint32_t id = 0u - static_cast<std::uint32_t>(index);
        if (id > 0xFFFF)
            return std::nullopt;
        e = findId(*dir, static_cast<std::uint16_t>(id));
    }
    if (!e)
        return std::nullopt;
    const auto data = firstLanguageData(*e);
    if (!data)
        return std::nullopt;
    return std::pair { e->asGroup(), *data };
}

std::optional<std::pair<std::size_t, PeResources::Bytes>> PeResources::icon(std::uint16_t id) const
{
    const auto dir = typeDirectory(kIconType);
    if (!dir)
        return std::nullopt;
    const auto e = findId(*dir, id);
    if (!e)
        return std::nullopt;
    const auto data = firstLanguageData(*e);
    if (!data)
        return std::nullopt;
    return std::pair { static_cast<std::size_t>(data->data() - m_file.data()), *data };
}

// The file offset of `rva`, and how many bytes from there the file holds of the same section's raw data.
std::optional<std::pair<std::uint64_t, std::uint64_t>> PeResources::map(std::uint32_t rva) const
{
    for (std::uint32_t i = 0; i < m_sectionCount; ++i) {
        const auto s
            = readAt<SectionHeader>(m_file, m_sections + std::uint64_t { i } * sizeof(SectionHeader));
        const std::uint32_t va = readLe32(s->virtualAddress);
        const std::uint32_t rawSize = readLe32(s->rawSize);
        if (rva < va || rva - va >= rawSize)
            continue;
        const std::uint64_t start = std::uint64_t { readLe32(s->rawOffset) } + (rva - va);
        if (start >= m_file.size())
            return std::nullopt;
        return std::pair { start, std::min<std::uint64_t>(rawSize - (rva - va), m_file.size() - start) };
    }
    return std::nullopt;
}

std::optional<PeResources::Directory> PeResources::directory(std::uint64_t offset) const
{
    const auto d = readAt<ResourceDirectory>(m_tree, offset);
    if (!d)
        return std::nullopt;
    Directory dir { offset, readLe16(d->namedCount), readLe16(d->idCount) };
    if (!fits(m_tree, offset + sizeof(ResourceDirectory), dir.count() * sizeof(ResourceDirEntry)))
        return std::nullopt;
    return dir;
}

std::optional<PeResources::Entry> PeResources::entry(const Directory& dir, std::size_t i) const
{
    const auto e = readAt<ResourceDirEntry>(
        m_tree, dir.offset + sizeof(ResourceDirectory) + std::uint64_t { i } * sizeof(ResourceDirEntry));
    if (!e)
        return std::nullopt;
    return Entry { readLe32(e->name), readLe32(e->target) };
}

// Ids follow the named entries; the first match wins.
std::optional<PeResources::Entry> PeResources::findId(const Directory& dir, std::uint16_t id) const
{
    for (std::size_t i = dir.named; i < dir.count(); ++i) {
        const auto e = entry(dir, i);
        if (e && !e->isString() && e->id() == id)
            return e;
    }
    return std::nullopt;
}

std::optional<PeResources::Directory> PeResources::typeDirectory(std::uint16_t type) const
{
    const auto root = directory(0);
    if (!root)
        return std::nullopt;
    const auto e = findId(*root, type);
    if (!e || !e->isDirectory())
        return std::nullopt;
    return directory(e->offset());
}

// Below a name or id is one directory of languages; like the platform, take the first.
std::optional<PeResources::Bytes> PeResources::firstLanguageData(const Entry& named) const
{
    if (!named.isDirectory())
        return std::nullopt;
    const auto languages = directory(named.offset());
    if (!languages || languages->count() == 0)
        return std::nullopt;
    const auto lang = entry(*languages, 0);
    if (!lang || lang->isDirectory())
        return std::nullopt;
    const auto data = readAt<ResourceDataEntry>(m_tree, lang->offset());
    if (!data)
        return std::nullopt;
    const std::uint32_t size = readLe32(data->size);
    if (size == 0)
        return std::nullopt;
    const auto where = map(readLe32(data->rva));
    if (!where || size > where->second)
        return std::nullopt;
    return m_file.subspan(where->first, size);
}

} // namespace tw::icons
