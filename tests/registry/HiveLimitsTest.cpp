// SPDX-License-Identifier: MIT
// Files at and past the limits a registry file may reach: read up to each limit, refused beyond it with the
// line at fault, in time and memory that grow with the file, never with the stack.
#include "registry/Hive.h"

#include "TestFiles.h"
#include "base/Text.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"

#include <algorithm>
#include <chrono>

using namespace tw;
using namespace tw::hive;

namespace {

const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n";

// A file whose only key block is `depth` levels of "k" below the root, on line 4.
std::string nestedFile(std::size_t depth)
{
    std::string path = "k";
    for (std::size_t i = 1; i < depth; ++i)
        path += "\\\\k";
    return kHeader + "[" + path + "] 1700000000\n#time=1da1a2b3c4d5e6f\n\"v\"=\"deep\"\n";
}

ParseError parseError(const std::string& content)
{
    try {
        parseHive(content, "limits.reg");
    } catch (const ParseError& e) {
        return e;
    }
    ADD_FAILURE() << "accepted";
    return {};
}

const Key* descend(const Key& from, std::size_t levels)
{
    const Key* k = &from;
    for (std::size_t i = 0; i < levels && k; ++i)
        k = k->findSubkey(u"k");
    return k;
}

} // namespace

TEST(HiveLimits, keysAreReadAndWrittenBackUpTo512LevelsDeepAndRefusedBeyond)
{
    const std::string content = nestedFile(kMaxKeyDepth);
    const auto hive = parseHive(content, "deep.reg");
    const Key* deepest = descend(hive->root, kMaxKeyDepth);
    ASSERT_NE(deepest, nullptr);
    EXPECT_TRUE(deepest->subkeys.empty());
    EXPECT_NE(deepest->findValue(u"v"), nullptr);
    EXPECT_EQ(serializeHive(*hive), content);
    for (std::size_t depth : { kMaxKeyDepth + 1, std::size_t { 200000 } }) {
        const auto started = std::chrono::steady_clock::now();
        const ParseError e = parseError(nestedFile(depth));
        EXPECT_EQ(e.line, 4);
        EXPECT_EQ(e.message,
            "the key is nested " + std::to_string(depth)
                + " levels deep, deeper than the 512 levels a key may have");
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    }
}

TEST(HiveLimits, aValueIsReadUpTo16MiBAndRefusedBeyondAtItsFirstLine)
{
    // The largest string: its characters and the closing NUL fill the limit exactly, on one line of 8 MiB.
    const std::string largest(kMaxValueSize / 2 - 1, 'a');
    const std::string content
        = kHeader + "[Big] 1700000000\n#time=1da1a2b3c4d5e6f\n\"s\"=\"" + largest + "\"\n";
    const auto hive = parseHive(content, "big.reg");
    EXPECT_EQ(hive->root.findSubkey(u"Big")->findValue(u"s")->data.size(), kMaxValueSize);
    EXPECT_EQ(serializeHive(*hive), content);

    ParseError e = parseError(kHeader + "[Big] 1\n\"s\"=\"" + largest + "a\"\n");
    EXPECT_EQ(e.line, 5);
    EXPECT_EQ(e.message, "the value holds more than 16 MiB of data, the most a value may hold");

    // A binary value over many continued lines is refused where it starts, without reading it to the end.
    std::string hex = "\"b\"=hex:00";
    for (std::size_t i = 1; i <= kMaxValueSize; ++i)
        hex += i % 25 == 0 ? ",\\\n  00" : ",00";
    e = parseError(kHeader + "[Big] 1\n\"first\"=dword:00000001\n" + hex + "\n\"after\"=dword:00000002\n");
    EXPECT_EQ(e.line, 6);
    EXPECT_NE(e.message.find("more than 16 MiB"), std::string::npos) << e.message;

    // A name longer than Windows allows is refused too, before it is read whole.
    e = parseError(kHeader + "[Big] 1\n\"" + std::string(4u << 20, 'n') + "\"=dword:00000001\n");
    EXPECT_EQ(e.line, 5);
    EXPECT_NE(e.message.find("16383 characters"), std::string::npos) << e.message;
}

TEST(HiveLimits, linesOfSeveralMegabytesAreReadOrRefusedInTimeWithTheirLine)
{
    const auto started = std::chrono::steady_clock::now();
    // A comment is kept as read, whatever its length.
    const std::string comment = ";" + std::string(6u << 20, 'c');
    const std::string kept = kHeader + "[A] 1700000000\n#time=1da1a2b3c4d5e6f\n" + comment + "\n";
    EXPECT_EQ(serializeHive(*parseHive(kept, "long.reg")), kept);
    // Text that is no registry line, and an unterminated string running to the end of a long line.
    EXPECT_EQ(parseError(kHeader + "[A] 1\n\"x\"=dword:1\n" + std::string(6u << 20, '\0') + "\n").line, 6);
    const ParseError e = parseError(kHeader + "[A] 1\n\"x\"=\"" + std::string(6u << 20, 'q') + "\n");
    EXPECT_EQ(e.line, 5);
    EXPECT_NE(e.message.find("not closed"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

// Files in an order Wine does not write must still read into Windows' order, in time that grows with the
// file rather than with its square, with names that differ only in case taken as the same key or value.
TEST(HiveLimits, keysAndValuesInAnyOrderReadIntoWindowsOrder)
{
    constexpr int kKeys = 100000;
    std::string content = kHeader;
    for (int i = kKeys - 1; i >= 0; --i)
        content += "[Software\\\\K" + std::to_string(100000 + i) + "] 1\n\"v\"=dword:00000001\n\n";
    content
        += "[SOFTWARE\\\\k100000] 1\n\"v\"=dword:00000002\n\n[Software\\\\A_B] 1\n\n[software\\\\ab] 1\n\n";
    content += "[Many] 1\n";
    for (int i = 0; i < kKeys; ++i)
        content += "\"v" + std::to_string(i) + "\"=dword:00000001\n";
    content += "\"V17\"=dword:00000011\n";
    // One key named again in a block of its own for each of its values.
    for (int i = 0; i < 20000; ++i)
        content += "\n[Again] 1\n\"v" + std::to_string(i) + "\"=\"\"\n";

    const auto started = std::chrono::steady_clock::now();
    const auto hive = parseHive(content, "order.reg");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

    const Key* software = hive->root.findSubkey(u"software");
    ASSERT_NE(software, nullptr);
    std::vector<std::u16string> names;
    for (const auto& sub : software->subkeys)
        names.push_back(sub->name);
    ASSERT_EQ(names.size(), static_cast<std::size_t>(kKeys + 2));
    EXPECT_EQ(names.front(), u"ab");
    EXPECT_EQ(names[1], u"A_B");
    EXPECT_EQ(names[2], u"K100000");
    EXPECT_EQ(names.back(), u"K" + text::utf8ToUtf16(std::to_string(100000 + kKeys - 1)));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), lessWindows));
    for (int i = 0; i < kKeys; i += 997)
        EXPECT_NE(software->findSubkey(u"k" + text::utf8ToUtf16(std::to_string(100000 + i))), nullptr) << i;
    EXPECT_EQ(software->findSubkey(u"K100000")->findValue(u"v")->data[0], 2);

    const Key* many = hive->root.findSubkey(u"Many");
    ASSERT_EQ(many->values.size(), static_cast<std::size_t>(kKeys));
    // A value read again keeps its place and takes the later data.
    EXPECT_TRUE(text::equalsIgnoreCase(many->values[17].name, u"v17"));
    EXPECT_EQ(many->values[17].data[0], 0x11);
    EXPECT_EQ(many->values[18].name, u"v18");
    EXPECT_EQ(hive->root.findSubkey(u"Again")->values.size(), 20000u);
}

// The registry calls on a tree nested as deep as it may go: handles, enumeration and creation.
TEST(HiveLimits, deepKeysCanBeOpenedEnumeratedAndExtendedToTheLimitOnly)
{
    constexpr int kDeep = static_cast<int>(kMaxKeyDepth) - 12;
    test::TempDir dir;
    const std::string file = dir.file("system.reg");
    test::writeAll(file, nestedFile(kDeep));
    HiveRegistry hive(file);
    ASSERT_FALSE(hive.loadError());
    Registry reg(hive);

    // Paths longer than the ANSI calls take are walked one level per handle.
    std::vector<RegKey> handles { kHKeyLocalMachine };
    for (int level = 0; level < kDeep; ++level) {
        std::vector<std::string> names;
        reg.GetKeyNames(handles.back(), "k", names);
        EXPECT_EQ(names, level < kDeep - 1 ? std::vector<std::string> { "k" } : std::vector<std::string> {})
            << level;
        RegKey next = 0;
        ASSERT_EQ(hive.RegOpenKeyA(handles.back(), "k", &next), kErrorSuccess) << level;
        handles.push_back(next);
    }
    EXPECT_EQ(reg.GetStringValue(handles[kDeep - 1], "k", "v"), "deep");

    // Twelve levels more make the limit.
    const std::string twelve = "a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\l\\m";
    RegKey created = 0;
    EXPECT_EQ(hive.RegCreateKeyA(handles.back(), twelve.c_str(), &created), kErrorSuccess);
    RegKey tooDeep = 0;
    EXPECT_EQ(hive.RegCreateKeyA(created, "n", &tooDeep), kErrorInvalidParameter);
    EXPECT_EQ(hive.RegCreateKeyA(handles.back(), (twelve + "\\n").c_str(), &tooDeep), kErrorInvalidParameter);
    EXPECT_EQ(hive.RegSetValueExA(created, "at256", 0, kRegDword, std::vector<std::uint8_t>(4, 1).data(), 4),
        kErrorSuccess);
    hive.RegCloseKey(created);
    for (RegKey h : handles)
        hive.RegCloseKey(h);
    EXPECT_EQ(hive.openHandleCount(), 0u);

    // What was saved reads back whole.
    const auto again = parseHive(test::readAll(file), file);
    const Key* k = descend(again->root, kDeep);
    for (char c : twelve) {
        if (k && c != '\\')
            k = k->findSubkey(std::u16string(1, static_cast<char16_t>(c)));
    }
    ASSERT_NE(k, nullptr);
    EXPECT_NE(k->findValue(u"at256"), nullptr);
}

TEST(HiveLimits, aValueTheFileCouldNotHoldIsNotSet)
{
    HiveRegistry hive("");
    RegKey key = 0;
    ASSERT_EQ(hive.RegCreateKeyA(kHKeyLocalMachine, "Software\\Big", &key), kErrorSuccess);
    std::vector<std::uint8_t> data(kMaxValueSize + 1, 'x');
    data.back() = 0;
    EXPECT_EQ(
        hive.RegSetValueExA(key, "b", 0, kRegBinary, data.data(), static_cast<std::uint32_t>(data.size())),
        kErrorInvalidParameter);
    EXPECT_EQ(hive.RegSetValueExA(key, "b", 0, kRegBinary, data.data(), kMaxValueSize), kErrorSuccess);
    // Text doubles in size as UTF-16: half the limit in ANSI characters is too much.
    EXPECT_EQ(
        hive.RegSetValueExA(key, "s", 0, kRegSz, data.data() + kMaxValueSize / 2, kMaxValueSize / 2 + 1),
        kErrorInvalidParameter);
    EXPECT_EQ(
        hive.RegSetValueExA(key, "s", 0, kRegSz, data.data() + kMaxValueSize / 2 + 2, kMaxValueSize / 2 - 1),
        kErrorSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(hive.RegQueryValueExA(key, "b", nullptr, nullptr, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, kMaxValueSize);
    hive.RegCloseKey(key);
}
