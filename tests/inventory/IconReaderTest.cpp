// SPDX-License-Identifier: MIT
#include "inventory/IconReader.h"

#include "../registry/TestFiles.h"
#include "inventory/IconExtractor.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <set>

using namespace tw;
using namespace tw::icons;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes sample(const std::string& name)
{
    const std::string s = test::readAll(test::dataPath("wine/" + name));
    return Bytes(s.begin(), s.end());
}

std::uint32_t get32(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t get16(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

void put16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// An icon DIB filled with one colour (0xRRGGBB), fully opaque.
Bytes dib(int side, int bits, std::uint32_t rgb)
{
    const std::size_t colours = bits <= 8 ? std::size_t { 1 } << bits : 0;
    const std::size_t xorRow = (static_cast<std::size_t>(side) * bits + 31) / 32 * 4;
    const std::size_t andRow = (static_cast<std::size_t>(side) + 31) / 32 * 4;
    Bytes b(40 + colours * 4 + (xorRow + andRow) * side, 0);
    put32(b, 0, 40);
    put32(b, 4, side);
    put32(b, 8, 2 * side);
    put16(b, 12, 1);
    put16(b, 14, bits);
    if (colours)
        put32(b, 40 + 4, rgb); // palette entry 1
    for (std::size_t y = 0; y < static_cast<std::size_t>(side); ++y) {
        const std::size_t row = 40 + colours * 4 + y * xorRow;
        for (std::size_t x = 0; x < static_cast<std::size_t>(side); ++x) {
            if (bits == 32)
                put32(b, row + 4 * x, rgb | 0xFF000000u);
            else
                b[row + x * bits / 8] = bits == 8 ? 1 : 0x11; // palette entry 1
        }
    }
    return b;
}

// Signature and header chunk only: the reader checks no more, decoding is the UI's.
Bytes pngStub(std::uint32_t width, std::uint32_t height)
{
    Bytes b { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R' };
    for (std::uint32_t v : { width, height })
        for (int shift = 24; shift >= 0; shift -= 8)
            b.push_back(static_cast<std::uint8_t>(v >> shift));
    b.insert(b.end(), { 8, 6, 0, 0, 0, 0, 0, 0, 0 });
    return b;
}

struct TestImage
{
    int side; // 256 is stored as 0
    int dirBits; // the depth the group directory claims
    Bytes data;
};

struct TestGroup
{
    std::u16string name; // empty: the group has `id`
    std::uint16_t id = 0;
    std::vector<TestImage> images;
};

// A small PE32+ file whose one section holds the groups in the order given (named ones must come first) and
// their images as RT_ICON 1, 2, ... Offsets of the parts a test may want to damage are kept.
struct TestPe
{
    Bytes bytes;
    std::size_t sectionHeader = 0;
    std::size_t groupTypeEntry = 0; // the root's entry for RT_GROUP_ICON
    std::size_t firstGroupData = 0; // the first group's directory
    std::vector<std::size_t> iconDataEntry; // per RT_ICON id - 1
    std::vector<std::size_t> iconData;
};

TestPe makePe(const std::vector<TestGroup>& groups)
{
    std::vector<const TestImage*> icons;
    std::vector<Bytes> groupDirs;
    for (const auto& g : groups) {
        Bytes dir(6 + 14 * g.images.size(), 0);
        put16(dir, 2, 1);
        put16(dir, 4, static_cast<std::uint32_t>(g.images.size()));
        for (std::size_t i = 0; i < g.images.size(); ++i) {
            const TestImage& img = g.images[i];
            const std::size_t e = 6 + 14 * i;
            dir[e] = dir[e + 1] = static_cast<std::uint8_t>(img.side == 256 ? 0 : img.side);
            put16(dir, e + 4, img.dirBits ? 1 : 0);
            put16(dir, e + 6, img.dirBits);
            put32(dir, e + 8, static_cast<std::uint32_t>(img.data.size()));
            icons.push_back(&img);
            put16(dir, e + 12, static_cast<std::uint32_t>(icons.size()));
        }
        groupDirs.push_back(std::move(dir));
    }
    const std::size_t leaves = icons.size() + groups.size();
    const std::size_t iconTypeDir = 32;
    const std::size_t groupTypeDir = iconTypeDir + 16 + 8 * icons.size();
    const std::size_t languageDirs = groupTypeDir + 16 + 8 * groups.size();
    const std::size_t dataEntries = languageDirs + 24 * leaves;
    std::size_t end = dataEntries + 16 * leaves;
    std::vector<std::size_t> nameAt;
    for (const auto& g : groups) {
        nameAt.push_back(end);
        end += 2 + 2 * g.name.size();
    }
    Bytes rsrc(end, 0);
    const auto directory = [&](std::size_t at, std::size_t named, std::size_t ids) {
        put16(rsrc, at + 12, static_cast<std::uint32_t>(named));
        put16(rsrc, at + 14, static_cast<std::uint32_t>(ids));
    };
    std::size_t leaf = 0;
    std::vector<std::size_t> leafData;
    // One language per resource, then its data entry and the data itself.
    const auto resource = [&](std::size_t entryAt, std::uint32_t name, const Bytes& data) {
        const std::size_t lang = languageDirs + 24 * leaf;
        const std::size_t dataEntry = dataEntries + 16 * leaf++;
        put32(rsrc, entryAt, name);
        put32(rsrc, entryAt + 4, 0x80000000u | static_cast<std::uint32_t>(lang));
        directory(lang, 0, 1);
        put32(rsrc, lang + 16, 0x409);
        put32(rsrc, lang + 20, static_cast<std::uint32_t>(dataEntry));
        rsrc.resize((rsrc.size() + 3) & ~std::size_t { 3 });
        put32(rsrc, dataEntry, static_cast<std::uint32_t>(0x1000 + rsrc.size()));
        put32(rsrc, dataEntry + 4, static_cast<std::uint32_t>(data.size()));
        leafData.push_back(rsrc.size());
        rsrc.insert(rsrc.end(), data.begin(), data.end());
    };
    directory(0, 0, 2);
    put32(rsrc, 16, 3);
    put32(rsrc, 20, 0x80000000u | iconTypeDir);
    put32(rsrc, 24, 14);
    put32(rsrc, 28, 0x80000000u | static_cast<std::uint32_t>(groupTypeDir));
    directory(iconTypeDir, 0, icons.size());
    for (std::size_t i = 0; i < icons.size(); ++i)
        resource(iconTypeDir + 16 + 8 * i, static_cast<std::uint32_t>(i + 1), icons[i]->data);
    const auto named
        = std::count_if(groups.begin(), groups.end(), [](const auto& g) { return !g.name.empty(); });
    directory(groupTypeDir, named, groups.size() - named);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        std::uint32_t name = groups[i].id;
        if (!groups[i].name.empty()) {
            put16(rsrc, nameAt[i], static_cast<std::uint32_t>(groups[i].name.size()));
            for (std::size_t c = 0; c < groups[i].name.size(); ++c)
                put16(rsrc, nameAt[i] + 2 + 2 * c, groups[i].name[c]);
            name = 0x80000000u | static_cast<std::uint32_t>(nameAt[i]);
        }
        resource(groupTypeDir + 16 + 8 * i, name, groupDirs[i]);
    }

    TestPe pe;
    const std::size_t opt = 0x58; // the optional header, PE32+ with 16 data directories
    pe.sectionHeader = opt + 240;
    const auto rsrcSize = static_cast<std::uint32_t>(rsrc.size());
    const std::uint32_t raw = (rsrcSize + 0x1FFu) & ~0x1FFu;
    Bytes& b = pe.bytes;
    b.assign(0x200 + raw, 0);
    std::memcpy(b.data(), "MZ", 2);
    std::memcpy(b.data() + 0x40, "PE\0\0", 4);
    std::memcpy(b.data() + pe.sectionHeader, ".rsrc", 5);
    // Machine x86-64 and one section; the optional header's sizes, alignments and versions a loader checks;
    // the resource data directory; the section header.
    for (const auto& [at, v] :
        { std::pair<std::size_t, std::uint32_t> { 0x44, 0x8664 }, { 0x46, 1 }, { 0x54, 240 }, { 0x56, 0x22 },
            { opt, 0x20B }, { opt + 40, 6 }, { opt + 48, 6 }, { opt + 68, 2 } })
        put16(b, at, v);
    for (const auto& [at, v] : { std::pair<std::size_t, std::uint32_t> { 0x3C, 0x40 }, { opt + 24, 0x400000 },
             { opt + 32, 0x1000 }, { opt + 36, 0x200 },
             { opt + 56, 0x1000 + ((rsrcSize + 0xFFFu) & ~0xFFFu) }, { opt + 60, 0x200 }, { opt + 108, 16 },
             { opt + 128, 0x1000 }, { opt + 132, rsrcSize }, { pe.sectionHeader + 8, rsrcSize },
             { pe.sectionHeader + 12, 0x1000 }, { pe.sectionHeader + 16, raw },
             { pe.sectionHeader + 20, 0x200 }, { pe.sectionHeader + 36, 0x40000040 } })
        put32(b, at, v);
    std::copy(rsrc.begin(), rsrc.end(), b.begin() + 0x200);

    pe.groupTypeEntry = 0x200 + 24;
    pe.firstGroupData = 0x200 + leafData.at(icons.size());
    for (std::size_t i = 0; i < icons.size(); ++i) {
        pe.iconDataEntry.push_back(0x200 + dataEntries + 16 * i);
        pe.iconData.push_back(0x200 + leafData[i]);
    }
    return pe;
}

// A group of one 32 and one 16 pixel image, in colours told apart by `tag`.
TestGroup plainGroup(std::u16string name, std::uint16_t id, std::uint32_t tag)
{
    return { std::move(name), id,
        { { 32, 32, dib(32, 32, 0x100000 * tag + 0x20) }, { 16, 32, dib(16, 32, 0x100000 * tag + 0x10) } } };
}

// Which of a test group's images was chosen, found by its bytes.
int chosenImage(const TestGroup& g, const std::optional<IconChoice>& c)
{
    if (!c)
        return -1;
    for (std::size_t i = 0; i < g.images.size(); ++i)
        if (g.images[i].data == c->image.data)
            return static_cast<int>(i);
    return -2;
}

// What any answer must be, whatever the input: an image the file holds where the answer says, of a sane
// size, in the format its bytes show. Empty when it is.
std::string insane(const Bytes& file, const std::optional<IconChoice>& c)
{
    if (!c)
        return {};
    const IconImage& img = c->image;
    if (c->offset > file.size() || img.data.size() > file.size() - c->offset)
        return "image beyond the file";
    if (!std::equal(img.data.begin(), img.data.end(), file.begin() + static_cast<std::ptrdiff_t>(c->offset)))
        return "image is not the file's bytes at its offset";
    if (img.width < 1 || img.width > 1024 || img.height < 1 || img.height > 1024)
        return "size " + std::to_string(img.width) + "x" + std::to_string(img.height);
    const bool png = img.data.size() >= 8 && img.data[0] == 0x89 && img.data[1] == 'P';
    if (png != (img.format == IconImage::Format::Png))
        return "format does not match the bytes";
    if (!png
        && (get32(img.data, 4) != static_cast<std::uint32_t>(img.width)
            || get32(img.data, 8) != 2u * img.height))
        return "DIB size does not match";
    return {};
}

// The file range of a PE file's resource section; all of an .ico file.
std::pair<std::size_t, std::size_t> resourceSection(const Bytes& pe)
{
    if (pe[0] != 'M')
        return { 0, pe.size() };
    const std::size_t nt = get32(pe, 0x3C);
    const std::size_t sections = nt + 24 + get16(pe, nt + 20);
    for (std::size_t i = 0; i < get16(pe, nt + 6); ++i) {
        const std::size_t s = sections + 40 * i;
        if (std::memcmp(pe.data() + s, ".rsrc", 6) == 0)
            return { get32(pe, s + 20), get32(pe, s + 16) };
    }
    return { 0, 0 };
}

struct SelectionCase
{
    const char* what;
    TestGroup group;
    int size;
    int expected; // the image chosen
};

std::vector<SelectionCase> selectionCases()
{
    constexpr std::uint32_t a = 0x3060C0;
    constexpr std::uint32_t b = 0xC06030;
    const auto images = [](std::vector<TestImage> i) { return TestGroup { {}, 1, std::move(i) }; };
    return {
        { "smaller beats farther larger", images({ { 48, 32, dib(48, 32, a) }, { 24, 32, dib(24, 32, b) } }),
            32, 1 },
        { "equal distance: first", images({ { 24, 32, dib(24, 32, a) }, { 40, 32, dib(40, 32, b) } }), 32,
            0 },
        { "equal distance: depth decides", images({ { 24, 8, dib(24, 8, a) }, { 40, 32, dib(40, 32, b) } }),
            32, 1 },
        { "size before depth", images({ { 32, 4, dib(32, 4, a) }, { 48, 32, dib(48, 32, b) } }), 32, 0 },
        { "eight bits over four", images({ { 32, 4, dib(32, 4, a) }, { 32, 8, dib(32, 8, b) } }), 32, 1 },
        { "same depth: first", images({ { 32, 32, dib(32, 32, a) }, { 32, 32, dib(32, 32, b) } }), 32, 0 },
        { "no depth in directory: 32-bit header",
            images({ { 32, 8, dib(32, 8, a) }, { 32, 0, dib(32, 32, b) } }), 32, 1 },
        { "no depth in directory: 4-bit header",
            images({ { 32, 0, dib(32, 4, a) }, { 32, 8, dib(32, 8, b) } }), 32, 1 },
        { "PNG at any size", images({ { 48, 32, pngStub(48, 48) }, { 16, 32, dib(16, 32, b) } }), 32, 0 },
    };
}

const char* const kSamples[]
    = { "uninst.exe", "uninst-group103.ico", "TidewellProbe.exe", "TidewellProbe-x86.exe" };

} // namespace

TEST(IconReader, uninstallerGroupGivesTheEightBitImagesOverTheFourBitOnes)
{
    const Bytes exe = sample("uninst.exe");
    const auto groups = listIconGroups(exe);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_TRUE(groups[0].id == 103 && !groups[0].named);

    const auto large = chooseIcon(exe, 0, 32);
    const auto small = chooseIcon(exe, 0, 16);
    ASSERT_TRUE(large && small);
    EXPECT_EQ(large->group.id, 103);
    // Entries 0 and 1 are the 4-bit 32 and 16, 4 and 5 the 8-bit ones.
    EXPECT_EQ(large->entry, 4u);
    EXPECT_EQ(small->entry, 5u);
    // The entries say which images were taken; the headers must agree (insane() checks the sizes).
    for (const auto& [c, side] : { std::pair { &*large, 32 }, { &*small, 16 } }) {
        EXPECT_EQ(insane(exe, *c), "");
        EXPECT_EQ(c->image.width, side);
        EXPECT_EQ(get16(c->image.data, 14), 8);
    }

    // A negative index names the group by id, and ids have 16 bits.
    EXPECT_EQ(chooseIcon(exe, -103, 32)->image.data, large->image.data);
    for (std::int32_t index : { 1, 1000, INT_MAX, -1, -102, -65536, -(65536 + 103), INT_MIN })
        EXPECT_FALSE(chooseIcon(exe, index, 32)) << index;

    // The 256-pixel image (0 in the directory) is a PNG file and comes back as one.
    const auto huge = chooseIcon(exe, 0, 256);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->image.format, IconImage::Format::Png);
    EXPECT_EQ(huge->image.width, 256);
    EXPECT_EQ(insane(exe, huge), "");
}

TEST(IconReader, icoFileIsOneGroupWithTheSameChoices)
{
    const Bytes ico = sample("uninst-group103.ico");
    const Bytes exe = sample("uninst.exe");
    ASSERT_EQ(listIconGroups(ico).size(), 1u);
    for (int size : { 16, 32, 48, 256 }) {
        const auto fromIco = chooseIcon(ico, 0, size);
        const auto fromExe = chooseIcon(exe, 0, size);
        ASSERT_TRUE(fromIco && fromExe) << size;
        EXPECT_EQ(fromIco->entry, fromExe->entry) << size;
        EXPECT_EQ(fromIco->image.data, fromExe->image.data) << size;
        // The bytes are those the directory entry points at.
        EXPECT_EQ(fromIco->offset, get32(ico, 6 + 16 * fromIco->entry + 12));
        EXPECT_EQ(insane(ico, fromIco), "");
    }
    // An .ico file has no resource ids: every index below 1 means its one group.
    EXPECT_FALSE(chooseIcon(ico, 1, 32));
    for (std::int32_t index : { -1, -103, INT_MIN })
        EXPECT_EQ(chooseIcon(ico, index, 32)->entry, 4u) << index;
}

// The probes' directories give no depth for their 4-bit images; their headers do.
TEST(IconReader, probeGivesThirtyTwoBitImagesEvenWhereTheDirectoryOmitsDepths)
{
    for (const char* name : { "TidewellProbe.exe", "TidewellProbe-x86.exe" })
        for (int side : { 16, 32, 48 }) {
            const auto c = chooseIcon(sample(name), 0, side);
            ASSERT_TRUE(c) << name << side;
            EXPECT_EQ(c->image.width, side);
            EXPECT_EQ(get16(c->image.data, 14), 32) << name << side;
        }
}

TEST(IconReader, extractGivesLargeAndSmallOrNothing)
{
    for (const char* name : kSamples) {
        const auto pair = ExtractIconExA(test::dataPath(std::string("wine/") + name), 0);
        ASSERT_TRUE(pair) << name;
        EXPECT_EQ(pair->large.width, 32);
        EXPECT_EQ(pair->small.width, 16);
        EXPECT_FALSE(ExtractIconExA(test::dataPath(std::string("wine/") + name), 1)) << name;
    }
    EXPECT_FALSE(ExtractIconExA(test::dataPath("wine/missing.exe"), 0));
    EXPECT_FALSE(ExtractIconExA(test::dataPath("wine/system.reg"), 0));
    EXPECT_FALSE(readIconFile(test::dataPath("wine/missing.exe")));
}

TEST(IconReader, groupsCountInDirectoryOrderAndNegativeIndexesNameIds)
{
    const std::vector<TestGroup> groups { plainGroup(u"ALPHA", 0, 1), plainGroup(u"BETA", 0, 2),
        plainGroup({}, 7, 3), plainGroup({}, 42, 4), plainGroup({}, 300, 5) };
    const Bytes pe = makePe(groups).bytes;
    const auto listed = listIconGroups(pe);
    ASSERT_EQ(listed.size(), 5u);
    EXPECT_TRUE(listed[0].named && listed[1].named && !listed[2].named);
    EXPECT_EQ(listed[3].id, 42);
    for (std::int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(chosenImage(groups[i], chooseIcon(pe, i, 32)), 0) << i;
        EXPECT_EQ(chosenImage(groups[i], chooseIcon(pe, i, 16)), 1) << i;
    }
    EXPECT_FALSE(chooseIcon(pe, 5, 32));
    EXPECT_EQ(chosenImage(groups[3], chooseIcon(pe, -42, 32)), 0);
    EXPECT_EQ(chosenImage(groups[4], chooseIcon(pe, -300, 16)), 1);
    EXPECT_FALSE(chooseIcon(pe, -43, 32));
}

TEST(IconReader, choosesTheNearestSizeThenTheDepthNearestThirtyTwoBits)
{
    for (const SelectionCase& c : selectionCases()) {
        const auto choice = chooseIcon(makePe({ c.group }).bytes, 0, c.size);
        EXPECT_EQ(chosenImage(c.group, choice), c.expected) << c.what;
    }
}

TEST(IconReaderHostile, malformedStructuresGiveNothing)
{
    const TestGroup group { {}, 1,
        { { 32, 32, dib(32, 32, 1) }, { 16, 8, dib(16, 8, 2) }, { 48, 32, pngStub(48, 48) } } };
    const TestPe good = makePe({ group });
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(chosenImage(group, chooseIcon(good.bytes, 0, group.images[i].side)), i);
    const std::size_t dib32 = good.iconData[0];
    const std::size_t dib8 = good.iconData[1];
    const std::size_t png = good.iconData[2];
    const std::size_t groupDir = good.firstGroupData;
    const std::size_t section = good.sectionHeader;

    // Each damage writes one little-endian value of 1, 2 or 4 bytes.
    struct Damage
    {
        const char* what;
        int size; // the image asked for
        std::size_t at;
        int bytes;
        std::uint32_t value;
    };
    const Damage damages[] = {
        { "header offset past the end", 32, 0x3C, 4, 0xFFFFFFF0u },
        { "no PE signature", 32, 0x41, 1, 'X' },
        { "unknown optional header", 32, 0x58, 2, 0x107 },
        { "optional header too short for the resource directory", 32, 0x54, 2, 128 },
        { "too few data directories", 32, 0x58 + 108, 4, 2 },
        { "section table past the end", 32, 0x46, 2, 0xFFFF },
        { "section data past the end", 32, section + 20, 4, 0xFFFFFF00u },
        { "resource RVA in no section", 32, 0x58 + 112 + 16, 4, 0x9000 },
        { "group type loops to the root", 32, good.groupTypeEntry + 4, 4, 0x80000000u },
        { "group type points past the tree", 32, good.groupTypeEntry + 4, 4, 0xFFFFFFF0u },
        { "image size reaching past the section", 32, good.iconDataEntry[0] + 4, 4, 0xFFFFFFFFu },
        { "image RVA wraps around", 32, good.iconDataEntry[0], 4, 0xFFFFFFF0u },
        { "group names a missing image", 32, groupDir + 6 + 12, 2, 99 },
        { "group directory of cursors", 32, groupDir + 2, 2, 2 },
        { "group directory with no entries", 32, groupDir + 4, 2, 0 },
        { "huge DIB width", 32, dib32 + 4, 4, 0x7FFFFFFF },
        { "negative DIB height", 32, dib32 + 8, 4, static_cast<std::uint32_t>(-64) },
        { "odd DIB height", 32, dib32 + 8, 4, 63 },
        { "DIB depth 7", 32, dib32 + 14, 2, 7 },
        { "compressed DIB", 32, dib32 + 16, 4, 1 },
        { "DIB header size past the data", 32, dib32, 4, 0x10000 },
        { "palette larger than 256", 16, dib8 + 32, 4, 257 },
        { "DIB without its AND mask", 16, good.iconDataEntry[1] + 4, 4,
            static_cast<std::uint32_t>(group.images[1].data.size() - 1) },
        { "huge PNG", 48, png + 16, 1, 0x7F },
        { "PNG without its header chunk", 48, png + 12, 1, 'X' },
    };
    for (const Damage& d : damages) {
        Bytes b = good.bytes;
        for (int i = 0; i < d.bytes; ++i)
            b[d.at + i] = static_cast<std::uint8_t>(d.value >> (8 * i));
        EXPECT_FALSE(chooseIcon(b, 0, d.size)) << d.what;
    }

    // A count larger than the directory holds is cut to the entries there, as the platform does.
    Bytes counted = good.bytes;
    put16(counted, groupDir + 4, 0xFFFF);
    EXPECT_EQ(chosenImage(group, chooseIcon(counted, 0, 16)), 1);

    Bytes ico = sample("uninst-group103.ico");
    put32(ico, 6 + 16 * 4 + 12, 0xFFFFFFF0u); // the 8-bit 32-pixel image's offset: wraps around
    EXPECT_FALSE(chooseIcon(ico, 0, 32));
    put16(ico, 0, 1);
    EXPECT_FALSE(chooseIcon(ico, 0, 16));
    EXPECT_TRUE(listIconGroups(ico).empty());
}

// Every cut of the sample files, with the cut bytes gone from the heap as well so that the sanitizers see
// any read past the end.
TEST(IconReaderHostile, truncatedFilesGiveTheSameImageOrNothing)
{
    int checked = 0;
    for (const char* name : kSamples) {
        const Bytes full = sample(name);
        std::set<std::size_t> lengths;
        const auto addRange = [&](std::size_t from, std::size_t to) {
            for (std::size_t n = from; n < std::min(to, full.size() + 1); ++n)
                lengths.insert(n);
        };
        const std::size_t step = full.size() < 20000 ? 1 : 251;
        for (std::size_t n = 0; n <= full.size(); n += step)
            lengths.insert(n);
        addRange(full.size() > 4096 ? full.size() - 4096 : 0, full.size() + 1);
        const std::size_t rsrc = resourceSection(full).first;
        addRange(rsrc > 512 ? rsrc - 512 : 0, rsrc + 1024);
        std::optional<IconChoice> expected[2] = { chooseIcon(full, 0, 16), chooseIcon(full, 0, 32) };
        for (const auto& e : expected) {
            ASSERT_TRUE(e) << name;
            const std::size_t end = e->offset + e->image.data.size();
            addRange(e->offset - std::min<std::size_t>(e->offset, 64), e->offset + 64);
            addRange(end - 64, end + 64);
        }
        // Once a cut holds everything the choice needs, every longer one does too.
        bool worked[2] = { false, false };
        for (std::size_t n : lengths) {
            const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
            listIconGroups(cut);
            for (int k = 0; k < 2; ++k) {
                const auto c = chooseIcon(cut, 0, expected[k]->image.width);
                ASSERT_EQ(insane(cut, c), "") << name << " cut at " << n;
                if (c) {
                    ASSERT_EQ(c->offset, expected[k]->offset) << name << " cut at " << n;
                }
                ASSERT_TRUE(c || !worked[k]) << name << " cut at " << n;
                worked[k] = c.has_value();
                ++checked;
            }
        }
        EXPECT_TRUE(worked[0] && worked[1]) << name;
    }
    EXPECT_GT(checked, 40000);
}

TEST(IconReaderHostile, corruptedBytesGiveAValidImageOrNothing)
{
    std::mt19937 random(20240601);
    int found = 0;
    int rejected = 0;
    for (const char* name : kSamples) {
        const Bytes full = sample(name);
        // The damage goes where the reader looks: the headers, the resource tree at the start of its section,
        // the chosen images' headers, and anywhere else in the section.
        const auto [rsrc, rsrcSize] = resourceSection(full);
        std::vector<std::pair<std::size_t, std::size_t>> targets {
            { 0, std::min<std::size_t>(0x400, full.size()) }, { rsrc, std::min<std::size_t>(1024, rsrcSize) },
            { rsrc, rsrcSize }
        };
        for (int size : { 16, 32 })
            targets.emplace_back(chooseIcon(full, 0, size)->offset, 64);
        for (int round = 0; round < 1000; ++round) {
            Bytes b = full;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < flips; ++i) {
                const auto& [from, length] = targets[random() % targets.size()];
                b.at(from + random() % length)
                    = static_cast<std::uint8_t>(random() % 3 == 0 ? 0xFF : random());
            }
            for (int size : { 16, 32 }) {
                const auto c = chooseIcon(b, 0, size);
                ASSERT_EQ(insane(b, c), "") << name << " round " << round;
                ++(c ? found : rejected);
                ASSERT_EQ(insane(b, chooseIcon(b, -103, size)), "") << name << " round " << round;
            }
            listIconGroups(b);
        }
    }
    // Both outcomes occur: the damage reaches the parts that matter, and much of it is survivable.
    EXPECT_GT(found, 2000);
    EXPECT_GT(rejected, 1000);
}

#ifdef _WIN32
// The platform's own ExtractIconExA against the reader: the same image must be chosen.
namespace {

// A DIB as straight BGRA rows, top row first, the transparency from the AND mask unless it has alpha.
Bytes decodeDib(const IconImage& img)
{
    const Bytes& d = img.data;
    const std::size_t w = static_cast<std::size_t>(img.width);
    const std::size_t h = static_cast<std::size_t>(img.height);
    const int bits = get16(d, 14);
    const std::size_t colours = bits <= 8 && get32(d, 32) == 0 ? std::size_t { 1 } << bits : get32(d, 32);
    const std::size_t xorRow = (w * bits + 31) / 32 * 4;
    const std::size_t andRow = (w + 31) / 32 * 4;
    const std::uint8_t* palette = d.data() + get32(d, 0);
    const std::uint8_t* xorBits = palette + 4 * colours;
    const std::uint8_t* andBits = xorBits + xorRow * h;
    Bytes out(w * h * 4);
    bool hasAlpha = false;
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* src = xorBits + (h - 1 - y) * xorRow;
        for (std::size_t x = 0; x < w; ++x) {
            std::uint8_t* px = &out[(y * w + x) * 4];
            if (bits == 32) {
                std::memcpy(px, src + 4 * x, 4);
                hasAlpha = hasAlpha || px[3] != 0;
            } else if (bits == 24) {
                std::memcpy(px, src + 3 * x, 3);
            } else {
                const int shift = static_cast<int>(8 - bits - (x * bits) % 8);
                std::memcpy(px, palette + 4 * ((src[x * bits / 8] >> shift) & ((1 << bits) - 1)), 3);
            }
        }
    }
    for (std::size_t y = 0; !hasAlpha && y < h; ++y)
        for (std::size_t x = 0; x < w; ++x)
            out[(y * w + x) * 4 + 3] = (andBits[(h - 1 - y) * andRow + x / 8] >> (7 - x % 8)) & 1 ? 0 : 0xFF;
    return out;
}

// The share of pixels whose opacity or colour differ noticeably.
double mismatch(const Bytes& a, const Bytes& b)
{
    std::size_t differ = 0;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        bool same = std::abs(a[i + 3] - b[i + 3]) <= 8;
        for (std::size_t c = 0; c < 3 && same && a[i + 3] > 0; ++c)
            same = std::abs(a[i + c] - b[i + c]) <= 8;
        differ += same ? 0 : 1;
    }
    return static_cast<double>(differ) / static_cast<double>(a.size() / 4);
}

std::uint32_t centre(const Bytes& bgra, int side)
{
    const std::size_t at = (static_cast<std::size_t>(side / 2) * side + side / 2) * 4;
    return bgra[at] | (bgra[at + 1] << 8) | (bgra[at + 2] << 16);
}

} // namespace

// Wine 8 makes the small icon from the image it chose for the large one, scaled down, where the reader
// takes the image nearest 16 pixels; so only the large icons' pixels are compared. -1 is left out: Wine
// reads it as a request for the number of icons even when handles are passed.
TEST(IconExtractorWine, platformChoosesTheReadersImagesFromTheSamples)
{
    for (const char* name : kSamples) {
        const Bytes file = sample(name);
        for (std::int32_t index : { 0, -103, -2, 1, -(65536 + 103) }) {
            const auto platform = ExtractIconExA(test::dataPath(std::string("wine/") + name), index);
            const auto large = chooseIcon(file, index, 32);
            const auto small = chooseIcon(file, index, 16);
            ASSERT_EQ(platform.has_value(), large && small) << name << " " << index;
            if (!platform)
                continue;
            for (const auto& [got, chosen] :
                { std::pair { &platform->large, &*large }, { &platform->small, &*small } }) {
                EXPECT_EQ(got->format, IconImage::Format::Bgra);
                ASSERT_EQ(got->width, chosen->image.width) << name;
                ASSERT_EQ(got->height, chosen->image.height) << name;
                ASSERT_EQ(got->data.size(), static_cast<std::size_t>(got->width * got->height * 4));
            }
            EXPECT_LT(mismatch(platform->large.data, decodeDib(large->image)), 0.02) << name << " " << index;
        }
    }
}

// Several groups, named and numbered, and the selection cases the platform can show (32 pixels, DIBs):
// every image has a colour of its own, so the centre pixel tells which one was taken. Cases with a depth
// of 0 in the directory are left out: Wine takes the 0 at its word, the reader asks the image.
TEST(IconExtractorWine, platformCountsAndChoosesAsTheReaderDoes)
{
    std::vector<TestGroup> groups { plainGroup(u"ALPHA", 0, 1), plainGroup(u"BETA", 0, 2),
        plainGroup({}, 7, 3), plainGroup({}, 42, 4), plainGroup({}, 300, 5) };
    for (auto& c : selectionCases()) {
        const bool shown = std::all_of(c.group.images.begin(), c.group.images.end(),
            [](const TestImage& i) { return i.data[0] != 0x89 && i.dirBits != 0; });
        if (c.size == 32 && shown) {
            c.group.id = static_cast<std::uint16_t>(1000 + groups.size());
            groups.push_back(c.group);
        }
    }
    test::TempDir dir;
    const TestPe pe = makePe(groups);
    test::writeAll(dir.path() / "groups.dll", std::string(pe.bytes.begin(), pe.bytes.end()));
    const std::string path = dir.file("groups.dll");

    std::vector<std::int32_t> indexes { static_cast<std::int32_t>(groups.size()), -42, -300, -(65536 + 7), -8,
        -65536 };
    for (std::size_t i = 0; i < groups.size(); ++i)
        indexes.push_back(static_cast<std::int32_t>(i));
    for (std::int32_t index : indexes) {
        const auto platform = ExtractIconExA(path, index);
        const auto large = chooseIcon(pe.bytes, index, 32);
        const auto small = chooseIcon(pe.bytes, index, 16);
        ASSERT_EQ(platform.has_value(), large && small) << index;
        if (!platform)
            continue;
        EXPECT_EQ(centre(platform->large.data, 32), centre(decodeDib(large->image), large->image.width))
            << index;
        const std::uint32_t smallColour = centre(platform->small.data, 16);
        EXPECT_TRUE(smallColour == centre(decodeDib(small->image), small->image.width)
            || smallColour == centre(decodeDib(large->image), large->image.width))
            << index;
    }
}
#endif
