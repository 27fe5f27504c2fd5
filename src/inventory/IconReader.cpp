// SPDX-License-Identifier: MIT
#include "inventory/IconReader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <type_traits>

namespace tw::icons {
namespace {

// The on-disk layouts, as byte arrays so that they have no padding and no byte order of their own.

struct IconDirHeader
{
    std::uint8_t reserved[2];
    std::uint8_t type[2];
    std::uint8_t count[2];
};
static_assert(sizeof(IconDirHeader) == 6);

struct IcoFileEntry
{
    std::uint8_t width, height, colours, reserved;
    std::uint8_t planes[2];
    std::uint8_t bitCount[2];
    std::uint8_t bytes[4];
    std::uint8_t offset[4];
};
static_assert(sizeof(IcoFileEntry) == 16);

struct GroupEntry
{
    std::uint8_t width, height, colours, reserved;
    std::uint8_t planes[2];
    std::uint8_t bitCount[2];
    std::uint8_t bytes[4];
    std::uint8_t id[2];
};
static_assert(sizeof(GroupEntry) == 14);

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

struct BitmapInfoHeader
{
    std::uint8_t size[4];
    std::uint8_t width[4];
    std::uint8_t height[4];
    std::uint8_t planes[2];
    std::uint8_t bitCount[2];
    std::uint8_t compression[4];
    std::uint8_t imageSize[4];
    std::uint8_t xPelsPerMeter[4];
    std::uint8_t yPelsPerMeter[4];
    std::uint8_t coloursUsed[4];
    std::uint8_t coloursImportant[4];
};
static_assert(sizeof(BitmapInfoHeader) == 40);

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint16_t kGroupIconType = 14; // RT_GROUP_ICON
constexpr std::uint16_t kIconType = 3; // RT_ICON
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr int kDisplayDepth = 32;
constexpr std::uint32_t kMaxImageSide = 1024;
// Real groups hold a dozen images or so; the cap bounds the work a hostile directory can cause.
constexpr std::size_t kMaxGroupEntries = 256;
constexpr std::array<std::uint8_t, 8> kPngSignature { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };

std::uint16_t le16(const std::uint8_t (&b)[2])
{
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t le32(const std::uint8_t (&b)[4])
{
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8)
        | (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint32_t be32(Bytes b, std::size_t at)
{
    return (static_cast<std::uint32_t>(b[at]) << 24) | (static_cast<std::uint32_t>(b[at + 1]) << 16)
        | (static_cast<std::uint32_t>(b[at + 2]) << 8) | static_cast<std::uint32_t>(b[at + 3]);
}

bool fits(Bytes b, std::uint64_t offset, std::uint64_t length)
{
    return offset <= b.size() && length <= b.size() - offset;
}

template<class T> std::optional<T> readAt(Bytes b, std::uint64_t offset)
{
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) == 1);
    if (!fits(b, offset, sizeof(T)))
        return std::nullopt;
    T t;
    std::memcpy(&t, b.data() + offset, sizeof(T));
    return t;
}

std::optional<std::uint16_t> u16At(Bytes b, std::uint64_t offset)
{
    std::uint8_t v[2];
    if (!fits(b, offset, sizeof v))
        return std::nullopt;
    std::memcpy(v, b.data() + offset, sizeof v);
    return le16(v);
}

std::optional<std::uint32_t> u32At(Bytes b, std::uint64_t offset)
{
    std::uint8_t v[4];
    if (!fits(b, offset, sizeof v))
        return std::nullopt;
    std::memcpy(v, b.data() + offset, sizeof v);
    return le32(v);
}

bool isPng(Bytes b)
{
    return b.size() >= kPngSignature.size()
        && std::memcmp(b.data(), kPngSignature.data(), kPngSignature.size()) == 0;
}

// One image as a group directory describes it. `ref` is the RT_ICON id in a PE group and the file
// offset in an .ico file.
struct DirEntry
{
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::uint32_t bytes = 0;
    std::uint32_t ref = 0;
};

// A group directory's entries. As the platform does, a count larger than the data holds is cut to the
// entries that are there.
template<class Entry> std::optional<std::vector<DirEntry>> readDirectory(Bytes dir)
{
    const auto header = readAt<IconDirHeader>(dir, 0);
    if (!header || le16(header->reserved) != 0 || le16(header->type) != 1)
        return std::nullopt;
    const std::size_t count = std::min(
        { std::size_t { le16(header->count) }, (dir.size() - 6) / sizeof(Entry), kMaxGroupEntries });
    if (count == 0)
        return std::nullopt;
    std::vector<DirEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto e = readAt<Entry>(dir, 6 + i * sizeof(Entry));
        DirEntry d;
        d.width = e->width;
        d.height = e->height;
        // Both sizes 0 stand for 256, which a byte cannot hold.
        if (d.width == 0 && d.height == 0)
            d.width = d.height = 256;
        d.bitCount = le16(e->bitCount);
        d.bytes = le32(e->bytes);
        if constexpr (std::is_same_v<Entry, GroupEntry>)
            d.ref = le16(e->id);
        else
            d.ref = le32(e->offset);
        entries.push_back(d);
    }
    return entries;
}

// The resource section of a PE file: the directory tree that starts at its root, and the sections that
// map the data entries' RVAs to file offsets.
class PeResources
{
public:
    static std::optional<PeResources> open(Bytes file)
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
        const std::uint32_t optionalSize = le16(coff->optionalHeaderSize);
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
        if (optionalSize < resourceDirAt + 8)
            return std::nullopt;
        const auto dirCount = u32At(file, optional + countAt);
        const auto rva = u32At(file, optional + resourceDirAt);
        if (!dirCount || !rva || *dirCount < 3 || *rva == 0)
            return std::nullopt;

        PeResources r;
        r.m_file = file;
        r.m_sections = optional + optionalSize;
        r.m_sectionCount = le16(coff->sectionCount);
        if (!fits(file, r.m_sections, std::uint64_t { r.m_sectionCount } * sizeof(SectionHeader)))
            return std::nullopt;
        // Directory offsets are relative to the root; the tree may use the rest of its section.
        const auto root = r.map(*rva);
        if (!root)
            return std::nullopt;
        r.m_tree = file.subspan(root->first, root->second);
        return r;
    }

    // The RT_GROUP_ICON entries as stored.
    std::vector<IconGroup> groups() const
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
            out.push_back({ e->isString(), e->isString() ? std::uint16_t { 0 } : e->id() });
        }
        return out;
    }

    // The bytes of group `index` (see chooseIcon) and which group it is.
    std::optional<std::pair<IconGroup, Bytes>> group(std::int32_t index) const
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
        return std::pair { IconGroup { e->isString(), e->isString() ? std::uint16_t { 0 } : e->id() },
            *data };
    }

    // The RT_ICON resource `id`, and where it starts in the file.
    std::optional<std::pair<std::size_t, Bytes>> icon(std::uint16_t id) const
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
        std::uint32_t name = 0;
        std::uint32_t target = 0;
        bool isString() const { return (name & kHighBit) != 0; }
        std::uint16_t id() const { return static_cast<std::uint16_t>(name & 0xFFFF); }
        bool isDirectory() const { return (target & kHighBit) != 0; }
        std::uint32_t offset() const { return target & ~kHighBit; }
    };

    // The file offset of `rva`, and how many bytes from there the file holds of the same section's raw data.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> map(std::uint32_t rva) const
    {
        for (std::uint32_t i = 0; i < m_sectionCount; ++i) {
            const auto s
                = readAt<SectionHeader>(m_file, m_sections + std::uint64_t { i } * sizeof(SectionHeader));
            const std::uint32_t va = le32(s->virtualAddress);
            const std::uint32_t rawSize = le32(s->rawSize);
            if (rva < va || rva - va >= rawSize)
                continue;
            const std::uint64_t start = std::uint64_t { le32(s->rawOffset) } + (rva - va);
            if (start >= m_file.size())
                return std::nullopt;
            return std::pair { start, std::min<std::uint64_t>(rawSize - (rva - va), m_file.size() - start) };
        }
        return std::nullopt;
    }

    std::optional<Directory> directory(std::uint64_t offset) const
    {
        const auto d = readAt<ResourceDirectory>(m_tree, offset);
        if (!d)
            return std::nullopt;
        Directory dir { offset, le16(d->namedCount), le16(d->idCount) };
        if (!fits(m_tree, offset + sizeof(ResourceDirectory), dir.count() * sizeof(ResourceDirEntry)))
            return std::nullopt;
        return dir;
    }

    std::optional<Entry> entry(const Directory& dir, std::size_t i) const
    {
        const auto e = readAt<ResourceDirEntry>(
            m_tree, dir.offset + sizeof(ResourceDirectory) + std::uint64_t { i } * sizeof(ResourceDirEntry));
        if (!e)
            return std::nullopt;
        return Entry { le32(e->name), le32(e->target) };
    }

    // Ids follow the named entries; the first match wins.
    std::optional<Entry> findId(const Directory& dir, std::uint16_t id) const
    {
        for (std::size_t i = dir.named; i < dir.count(); ++i) {
            const auto e = entry(dir, i);
            if (e && !e->isString() && e->id() == id)
                return e;
        }
        return std::nullopt;
    }

    std::optional<Directory> typeDirectory(std::uint16_t type) const
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
    std::optional<Bytes> firstLanguageData(const Entry& named) const
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
        const std::uint32_t size = le32(data->size);
        if (size == 0)
            return std::nullopt;
        const auto where = map(le32(data->rva));
        if (!where || size > where->second)
            return std::nullopt;
        return m_file.subspan(where->first, size);
    }

    Bytes m_file;
    std::uint64_t m_sections = 0;
    std::uint32_t m_sectionCount = 0;
    Bytes m_tree;
};

// The colour depth of an image whose directory entry gives none: its own header tells.
int imageDepth(Bytes image)
{
    if (isPng(image))
        return 32;
    const auto h = readAt<BitmapInfoHeader>(image, 0);
    return h ? le16(h->bitCount) : 0;
}

// Checks that the image is a PNG file or a whole icon DIB (header, colour table, XOR and AND masks)
// of a sane size, so that whoever decodes it never reads past its end.
std::optional<IconImage> makeImage(Bytes data)
{
    IconImage image;
    if (isPng(data)) {
        // The IHDR chunk must come first: length 13, type, width, height.
        if (data.size() < 33 || be32(data, 8) != 13 || std::memcmp(data.data() + 12, "IHDR", 4) != 0)
            return std::nullopt;
        const std::uint32_t width = be32(data, 16);
        const std::uint32_t height = be32(data, 20);
        if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
            return std::nullopt;
        image.format = IconImage::Format::Png;
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
    } else {
        const auto h = readAt<BitmapInfoHeader>(data, 0);
        if (!h)
            return std::nullopt;
        const std::uint32_t headerSize = le32(h->size);
        // Width and height are signed; a negative (top-down) icon is not valid, nor is compression.
        const std::uint32_t width = le32(h->width);
        const std::uint32_t doubleHeight = le32(h->height); // the XOR and the AND mask stacked
        const std::uint32_t bits = le16(h->bitCount);
        const std::uint32_t coloursUsed = le32(h->coloursUsed);
        if (headerSize < sizeof(BitmapInfoHeader) || headerSize > data.size() || le16(h->planes) != 1
            || le32(h->compression) != 0 || width == 0 || width > kMaxImageSide || doubleHeight == 0
            || doubleHeight % 2 != 0 || doubleHeight / 2 > kMaxImageSide || coloursUsed > 256)
            return std::nullopt;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return std::nullopt;
        const std::uint64_t height = doubleHeight / 2;
        const std::uint64_t colours
            = bits <= 8 && coloursUsed == 0 ? std::uint64_t { 1 } << bits : coloursUsed;
        const std::uint64_t xorRow = (std::uint64_t { width } * bits + 31) / 32 * 4;
        const std::uint64_t andRow = (std::uint64_t { width } + 31) / 32 * 4;
        if (headerSize + colours * 4 + (xorRow + andRow) * height > data.size())
            return std::nullopt;
        image.format = IconImage::Format::Dib;
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
    }
    image.data.assign(data.begin(), data.end());
    return image;
}

// The entry nearest `size` as the platform picks it: the smallest sum of width and height differences
// (the first such in directory order), then among entries with exactly those differences the colour
// depth nearest the display's, again the first on a tie. `depthOf` is asked only for those candidates.
template<class DepthOf>
std::optional<std::size_t> bestEntry(const std::vector<DirEntry>& entries, int size, DepthOf depthOf)
{
    unsigned bestTotal = UINT_MAX;
    unsigned bestX = 0;
    unsigned bestY = 0;
    for (const DirEntry& e : entries) {
        const auto dx = static_cast<unsigned>(std::abs(size - e.width));
        const auto dy = static_cast<unsigned>(std::abs(size - e.height));
        if (dx + dy < bestTotal) {
            bestTotal = dx + dy;
            bestX = dx;
            bestY = dy;
        }
    }
    std::optional<std::size_t> best;
    unsigned bestDepthDiff = UINT_MAX;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const DirEntry& e = entries[i];
        if (static_cast<unsigned>(std::abs(size - e.width)) != bestX
            || static_cast<unsigned>(std::abs(size - e.height)) != bestY)
            continue;
        const int depth = e.bitCount != 0 ? e.bitCount : depthOf(i);
        const auto diff = static_cast<unsigned>(std::abs(kDisplayDepth - depth));
        if (diff < bestDepthDiff) {
            bestDepthDiff = diff;
            best = i;
        }
    }
    return best;
}

std::optional<Bytes> icoImage(Bytes file, const DirEntry& e)
{
    if (!fits(file, e.ref, e.bytes) || e.bytes == 0)
        return std::nullopt;
    return file.subspan(e.ref, e.bytes);
}

bool looksLikeIco(Bytes file)
{
    const auto header = readAt<IconDirHeader>(file, 0);
    return header && le16(header->reserved) == 0 && le16(header->type) == 1;
}

} // namespace

std::optional<std::vector<std::uint8_t>> readIconFile(const std::string& path)
{
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    if (!in)
        return std::nullopt;
    // Read in pieces rather than trusting a size asked beforehand; the file may change meanwhile.
    std::vector<std::uint8_t> bytes;
    std::array<char, 65536> buffer;
    while (in) {
        in.read(buffer.data(), buffer.size());
        const auto n = static_cast<std::size_t>(in.gcount());
        if (bytes.size() + n > kMaxIconFileSize)
            return std::nullopt;
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
    }
    if (in.bad())
        return std::nullopt;
    return bytes;
}

std::vector<IconGroup> listIconGroups(std::span<const std::uint8_t> file)
{
    if (const auto pe = PeResources::open(file))
        return pe->groups();
    if (looksLikeIco(file) && readDirectory<IcoFileEntry>(file))
        return { IconGroup {} };
    return {};
}

std::optional<IconChoice> chooseIcon(std::span<const std::uint8_t> file, std::int32_t index, int size)
{
    IconChoice choice;
    Bytes image;
    if (file.size() >= 2 && file[0] == 'M' && file[1] == 'Z') {
        const auto pe = PeResources::open(file);
        if (!pe)
            return std::nullopt;
        const auto group = pe->group(index);
        if (!group)
            return std::nullopt;
        const auto entries = readDirectory<GroupEntry>(group->second);
        if (!entries)
            return std::nullopt;
        const auto best = bestEntry(*entries, size, [&](std::size_t i) {
            const auto icon = pe->icon(static_cast<std::uint16_t>((*entries)[i].ref));
            return icon ? imageDepth(icon->second) : 0;
        });
        if (!best)
            return std::nullopt;
        const auto icon = pe->icon(static_cast<std::uint16_t>((*entries)[*best].ref));
        if (!icon)
            return std::nullopt;
        choice.group = group->first;
        choice.entry = *best;
        choice.offset = icon->first;
        image = icon->second;
    } else {
        // An .ico file holds one group and no ids: the platform gives it for every index below 1.
        if (index > 0 || !looksLikeIco(file))
            return std::nullopt;
        const auto entries = readDirectory<IcoFileEntry>(file);
        if (!entries)
            return std::nullopt;
        const auto best = bestEntry(*entries, size, [&](std::size_t i) {
            const auto data = icoImage(file, (*entries)[i]);
            return data ? imageDepth(*data) : 0;
        });
        if (!best)
            return std::nullopt;
        const auto data = icoImage(file, (*entries)[*best]);
        if (!data)
            return std::nullopt;
        choice.entry = *best;
        choice.offset = (*entries)[*best].ref;
        image = *data;
    }
    auto made = makeImage(image);
    if (!made)
        return std::nullopt;
    choice.image = std::move(*made);
    return choice;
}

} // namespace tw::icons
