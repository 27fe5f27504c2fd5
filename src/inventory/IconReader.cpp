// SPDX-License-Identifier: MIT
#include "inventory/IconReader.h"

#include "base/Bytes.h"
#include "inventory/PeResources.h"

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

using bytes::fits;
using bytes::readAt;
using bytes::readBe32;
using bytes::readLe16;
using bytes::readLe32;

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

constexpr int kDisplayDepth = 32;
constexpr std::uint32_t kMaxImageSide = 1024;
// Real groups hold a dozen images or so; the cap bounds the work a hostile directory can cause.
constexpr std::size_t kMaxGroupEntries = 256;
constexpr std::array<std::uint8_t, 8> kPngSignature { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };

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
    if (!header || readLe16(header->reserved) != 0 || readLe16(header->type) != 1)
        return std::nullopt;
    const std::size_t count = std::min(
        { std::size_t { readLe16(header->count) }, (dir.size() - 6) / sizeof(Entry), kMaxGroupEntries });
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
        d.bitCount = readLe16(e->bitCount);
        d.bytes = readLe32(e->bytes);
        if constexpr (std::is_same_v<Entry, GroupEntry>)
            d.ref = readLe16(e->id);
        else
            d.ref = readLe32(e->offset);
        entries.push_back(d);
    }
    return entries;
}

// The colour depth of an image whose directory entry gives none: its own header tells.
int imageDepth(Bytes image)
{
    if (isPng(image))
        return 32;
    const auto h = readAt<BitmapInfoHeader>(image, 0);
    return h ? readLe16(h->bitCount) : 0;
}

// Checks that the image is a PNG file or a whole icon DIB (header, colour table, XOR and AND masks)
// of a sane size, so that whoever decodes it never reads past its end.
std::optional<IconImage> makeImage(Bytes data)
{
    IconImage image;
    if (isPng(data)) {
        // The IHDR chunk must come first: length 13, type, width, height.
        if (data.size() < 33 || readBe32(data, 8) != 13 || std::memcmp(data.data() + 12, "IHDR", 4) != 0)
            return std::nullopt;
        const std::uint32_t width = readBe32(data, 16);
        const std::uint32_t height = readBe32(data, 20);
        if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
            return std::nullopt;
        image.format = IconImage::Format::Png;
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
    } else {
        const auto h = readAt<BitmapInfoHeader>(data, 0);
        if (!h)
            return std::nullopt;
        const std::uint32_t headerSize = readLe32(h->size);
        // Width and height are signed; a negative (top-down) icon is not valid, nor is compression.
        const std::uint32_t width = readLe32(h->width);
        const std::uint32_t doubleHeight = readLe32(h->height); // the XOR and the AND mask stacked
        const std::uint32_t bits = readLe16(h->bitCount);
        const std::uint32_t coloursUsed = readLe32(h->coloursUsed);
        if (headerSize < sizeof(BitmapInfoHeader) || headerSize > data.size() || readLe16(h->planes) != 1
            || readLe32(h->compression) != 0 || width == 0 || width > kMaxImageSide || doubleHeight == 0
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
    return header && readLe16(header->reserved) == 0 && readLe16(header->type) == 1;
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
