// SPDX-License-Identifier: MIT
#include "registry/Hive.h"

#include "TestFiles.h"
#include "base/Text.h"
#include "registry/FileStore.h"
#include "registry/RegistryApi.h"

#include <algorithm>
#include <functional>

using namespace tw;
using namespace tw::hive;

namespace {

const Key* findPath(const Hive& h, std::u16string_view path)
{
    const Key* k = &h.root;
    for (std::size_t start = 0; k && start <= path.size();) {
        const auto end = std::min(path.find(u'\\', start), path.size());
        k = k->findSubkey(path.substr(start, end - start));
        start = end + 1;
    }
    return k;
}

std::vector<std::uint8_t> utf16z(std::u16string_view s)
{
    std::vector<std::uint8_t> out;
    for (char16_t c : s) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

std::vector<std::u16string> subkeyNames(const Key& k)
{
    std::vector<std::u16string> names;
    for (const auto& sub : k.subkeys)
        names.push_back(sub->name);
    return names;
}

using WineFiles = ::testing::TestWithParam<const char*>;

} // namespace

TEST_P(WineFiles, loadAndSaveIsByteIdentical)
{
    const std::string content = test::readAll(test::dataPath(GetParam()));
    const auto hive = parseHive(content, GetParam());
    EXPECT_EQ(serializeHive(*hive), content);
}

// The writer is checked against every value and key line Wine wrote in the file, not just a few.
TEST_P(WineFiles, writerProducesWinesOwnFormForEveryValueAndKeyLine)
{
    const auto hive = parseHive(test::readAll(test::dataPath(GetParam())), GetParam());
    int values = 0;
    int mismatches = 0;
    std::function<void(const Key&)> check = [&](const Key& k) {
        if (!k.text.empty()) {
            const std::string line = formatKeyLine(k);
            if (k.text.compare(0, line.size(), line) != 0 && ++mismatches < 5)
                ADD_FAILURE() << "key line\n" << line << "\nexpected\n" << k.text.substr(0, line.size());
        }
        for (const auto& v : k.values) {
            ++values;
            if (formatValue(v) != v.text && ++mismatches < 5)
                ADD_FAILURE() << "wrote " << formatValue(v) << "read  " << v.text;
        }
        for (const auto& sub : k.subkeys)
            check(*sub);
    };
    check(hive->root);
    EXPECT_GT(values, 200);
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(Shared, WineFiles,
    ::testing::Values("wine/system.reg", "wine/system-edge-cases.reg", "wine/system-uninstall-excerpt.reg"));

TEST(HiveFormat, readsEveryValueFormWineWrites)
{
    const auto hive = parseHive(test::readAll(test::dataPath("wine/system-edge-cases.reg")), "edge");
    const Key* probe
        = findPath(*hive, u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TidewellProbe");
    ASSERT_NE(probe, nullptr);
    auto typeAndData = [&](std::u16string_view name) {
        const Value* v = probe->findValue(name);
        return v ? std::pair(v->type, v->data) : std::pair(0u, std::vector<std::uint8_t>());
    };
    EXPECT_EQ(typeAndData(u"comments"),
        std::pair(kRegSz,
            utf16z(
                u"Back\\slash, \"quotes\", tab\there, euro \u20ac, CJK \u63a2\u9488, emoji \xd83d\xde00")));
    EXPECT_EQ(
        typeAndData(u"EstimatedSize"), std::pair(kRegDword, std::vector<std::uint8_t> { 0x2a, 0, 0, 0 }));
    EXPECT_EQ(typeAndData(u"Readme").first, kRegExpandSz);

    const Key* unicode
        = findPath(*hive, u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tidewell\u00dcnicode");
    ASSERT_NE(unicode, nullptr);
    EXPECT_EQ(unicode->name, u"Tidewell\u00dcnicode");
    // Names are found without regard to case, and keep their own case.
    EXPECT_EQ(
        findPath(*hive, u"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\TIDEWELL\u00fcNICODE"),
        unicode);
}

// Files read into Windows' order (HiveLimits); Wine's own order is kept for writing: upper-cased, "AB" comes
// before "A_B" because 'B' (0x42) < '_' (0x5F), while lower-casing puts A_B first.
TEST(HiveFormat, wineComparesLowerCasedNames)
{
    EXPECT_TRUE(lessWine(u"A_B", u"ab"));
    EXPECT_TRUE(lessWindows(u"ab", u"A_B"));
}

TEST(HiveFormat, newKeysAndValuesAreWrittenAsWineWritesThem)
{
    auto hive = parseHive(defaultHeader(), "new");
    Key& sw = hive->root.addSubkey(u"Software");
    Key& k = sw.addSubkey(u"Br[ack]et");
    k.values.push_back(Value { u"", kRegSz, utf16z(u"d\u00e9fault"), {} });
    k.values.push_back(Value { u"q\"uote", kRegExpandSz, utf16z(u"%x%\\1"), {} });
    k.values.push_back(Value { u"multi", kRegMultiSz, utf16z(std::u16string(u"a\0b\0", 4)), {} });
    k.values.push_back(Value { u"n", kRegDword, { 1, 2, 3, 4 }, {} });
    k.values.push_back(Value { u"short", kRegDword, { 1, 0 }, {} });
    k.values.push_back(Value { u"odd", kRegSz, { 'a', 0, 'b' }, {} });
    k.values.push_back(Value { u"ctl", kRegSz, utf16z(u"\u00017\u001b\u00e9a"), {} });
    k.touch(0x1dd854ea6721164ull);
    EXPECT_EQ(serializeHive(*hive),
        defaultHeader()
            + "[Software\\\\Br\\[ack\\]et] 1796540073\n"
              "#time=1dd854ea6721164\n"
              "@=\"d\\x00e9fault\"\n"
              "\"q\\\"uote\"=str(2):\"%x%\\\\1\"\n"
              "\"multi\"=str(7):\"a\\0b\\0\"\n"
              "\"n\"=dword:04030201\n"
              "\"short\"=hex(4):01,00\n"
              "\"odd\"=hex(1):61,00,62\n"
              "\"ctl\"=\"\\0017\\e\\x00e9a\"\n");
    // And what was written reads back to the same data.
    const auto again = parseHive(serializeHive(*hive), "again");
    const Key* k2 = findPath(*again, u"software\\BR[ACK]ET");
    ASSERT_NE(k2, nullptr);
    ASSERT_EQ(k2->values.size(), k.values.size());
    for (std::size_t i = 0; i < k.values.size(); ++i) {
        EXPECT_EQ(k2->values[i].type, k.values[i].type);
        EXPECT_EQ(k2->values[i].data, k.values[i].data);
    }
}

struct BadFile
{
    const char* name;
    const char* content;
    int line;
    const char* fragment;
};

using BadFiles = ::testing::TestWithParam<BadFile>;

TEST_P(BadFiles, areRejectedWithFileAndLine)
{
    const BadFile& bad = GetParam();
    try {
        parseHive(bad.content, "bad.reg");
        FAIL() << "accepted " << bad.name;
    } catch (const ParseError& e) {
        EXPECT_EQ(e.file, "bad.reg");
        EXPECT_EQ(e.line, bad.line) << e.text();
        EXPECT_NE(e.message.find(bad.fragment), std::string::npos) << e.message;
        EXPECT_EQ(e.text().rfind("bad.reg, line " + std::to_string(bad.line) + ": ", 0), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Hive, BadFiles,
    ::testing::Values(BadFile { "notRegistry", "hello world\n", 1, "not a registry" },
        BadFile { "userHive", "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1\n", 2,
            "machine" },
        BadFile { "truncatedString", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=\"abc", 4, "not closed" },
        BadFile { "truncatedKey", "WINE REGISTRY Version 2\n\n[Software\\\\Mic", 3, "not closed" },
        BadFile { "badEscape", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=\"a\\qb\"\n", 4, "unknown escape" },
        BadFile { "badHexEscape", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=\"a\\xzz\"\n", 4, "\\x" },
        BadFile { "badHex", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=hex:01,zz\n", 4, "hexadecimal" },
        BadFile { "hexPastEnd", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=hex:01,\\\n", 4, "end of the file" },
        BadFile { "longDword", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=dword:123456789\n", 4, "8 digits" },
        BadFile {
            "unknownForm", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=qword:1\n", 4, "unknown value form" },
        BadFile { "garbageLine", "WINE REGISTRY Version 2\n\n[A] 1\nrubbish\n", 4, "unrecognised" },
        BadFile { "valueBeforeKey", "WINE REGISTRY Version 2\n\"x\"=\"y\"\n", 2, "before the first key" },
        BadFile { "badUtf8", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=\"\xff\"\n", 4, "UTF-8" },
        BadFile { "crOnly",
            "WINE REGISTRY Version 2\r;; All keys relative to REGISTRY\\\\Machine\r\r[A] 1\r\n", 1,
            "carriage return alone" },
        BadFile { "textAfterKey", "WINE REGISTRY Version 2\n\n[A] 1 junk\n", 3, "after the key's name" },
        BadFile { "cutInTimestamp", "WINE REGISTRY Version 2\n\n[A] 1031", 3, "cut short" },
        BadFile { "cutInHex", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=hex:00,0", 4, "cut short" },
        BadFile { "cutInDword", "WINE REGISTRY Version 2\n\n[A] 1\n\"x\"=dword:0000", 4, "cut short" }),
    [](const auto& param) { return std::string(param.param.name); });

// A key line is read from where it stops naming the levels of the line before; escapes of varying length
// at those boundaries (\x5c and \134 stand for the separator too) must not make two keys one.
TEST(HiveFormat, keyLinesThatBeginAlikeNameTheirOwnKeys)
{
    const auto hive = parseHive(defaultHeader()
            + "[A\\x5cQ] 0\n[A\\x5c1] 0\n[A\\x5c\\x5cR] 0\n[A\\134D] 0\n[A\\1345] 0\n[a\\\\Q\\\\E] 0\n",
        "paths.reg");
    EXPECT_EQ(subkeyNames(hive->root), (std::vector<std::u16string> { u"A", u"A\u05c1" }));
    const Key& a = *hive->root.subkeys.front();
    EXPECT_EQ(subkeyNames(a), (std::vector<std::u16string> { u"5", u"D", u"Q", u"R" }));
    EXPECT_EQ(subkeyNames(*a.findSubkey(u"Q")), std::vector<std::u16string> { u"E" });
}

// The text kept of a value ends its lines with LF alone, as a changed key's block is written; its key's
// block, written back when unchanged, keeps them as they were.
TEST(HiveFormat, valuesOfACrLfFileAreKeptWithLfLineEnds)
{
    const std::string block = "[A] 1700000000\r\n\"s\"=\"x\"\r\n\"b\"=hex:01,\\\r\n  02\r\n\r\n";
    const std::string content = defaultHeader() + block;
    const auto hive = parseHive(content, "crlf.reg");
    const Key& a = *hive->root.findSubkey(u"A");
    EXPECT_EQ(a.text, block);
    EXPECT_EQ(a.values[0].text, "\"s\"=\"x\"\n");
    EXPECT_EQ(a.values[1].text, "\"b\"=hex:01,\\\n  02\n");
    EXPECT_EQ(serializeHive(*hive), content);
}

// A save writes what it holds as read in runs as long as they follow each other in the file, what changed
// in between; written one after another, the pieces make the whole text.
TEST(HiveFormat, aSaveWritesTheTextAsReadInRunsBetweenChangedBlocks)
{
    auto hive = parseHive(test::readAll(test::dataPath("wine/system-uninstall-excerpt.reg")), "excerpt");
    EXPECT_EQ(hiveText(*hive).pieces().size(), 2u); // the header, then every block
    std::vector<Key*> keys { &hive->root };
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (const auto& sub : keys[i]->subkeys)
            keys.push_back(sub.get());
        if (i % 2 == 1)
            keys[i]->touch(keys[i]->modified);
    }
    const HiveText text = hiveText(*hive);
    EXPECT_GT(text.pieces().size(), 100u);
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(filestore::replaceFile(dir.file("system.reg"), text.pieces(), error)) << error;
    EXPECT_EQ(test::readAll(dir.file("system.reg")), serializeHive(*hive));
}

TEST(HiveFormat, aFileCutShortAnywhereButAtALineEndIsRefusedAtItsLastLine)
{
    // A cut at a line end cannot be told from a whole file; anywhere else the last line is incomplete.
    const std::string whole = test::readAll(test::dataPath("wine/system-uninstall-excerpt.reg"));
    int refused = 0;
    int cuts = 0;
    for (std::size_t cut = 1; cut < whole.size(); cut += 37, ++cuts) {
        const std::string_view part(whole.data(), cut);
        const int lines = static_cast<int>(std::count(part.begin(), part.end(), '\n'));
        try {
            parseHive(part, "cut.reg");
            EXPECT_EQ(whole[cut - 1], '\n') << "cut at " << cut << " accepted";
        } catch (const ParseError& e) {
            ++refused;
            if (e.message.find("cut short") != std::string::npos) {
                EXPECT_EQ(e.line, lines + 1) << e.text();
            }
        }
    }
    EXPECT_GT(refused, cuts * 9 / 10);
}

TEST(HiveFormat, emptyFileIsAnEmptyRegistry)
{
    // What a new file holds between its creation for the lock and its first save.
    const auto hive = parseHive("", "empty");
    EXPECT_TRUE(hive->root.subkeys.empty());
    EXPECT_EQ(serializeHive(*hive), defaultHeader());
}

// Older Wine and other builds name the root without "REGISTRY": both forms read, and the file is
// written back in the form it had. A user's file names its SID.
TEST(HiveFormat, bothFormsOfTheHeadersRootAreReadAndKept)
{
    const std::string body = "\n[Software\\\\Probe] 1700000000\n#time=1d9e1234567890a\n\"v\"=\"x\"\n";
    for (const char* root : { "REGISTRY\\\\Machine", "\\\\Machine" }) {
        const std::string file
            = std::string("WINE REGISTRY Version 2\n;; All keys relative to ") + root + "\n" + body;
        const auto hive = parseHive(file, "system.reg");
        EXPECT_EQ(hive->branch, HiveRoot::Machine) << root;
        EXPECT_EQ(serializeHive(*hive), file) << root;
    }
    for (const char* line : { ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000",
             ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000" })
        EXPECT_EQ(headerRoot(line), HiveRoot::User) << line;
    for (const char* line : { ";; All keys relative to Machine", ";; All keys relative to \\\\User\\\\Bob",
             ";; All keys relative to REGISTRY\\\\Machine\\\\Software" })
        EXPECT_EQ(headerRoot(line), std::nullopt) << line;
}
