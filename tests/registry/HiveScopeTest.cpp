// SPDX-License-Identifier: MIT
// A registry file read in part for a command: every answer is the whole file's, and a change writes
// the whole file back.
#include "registry/HiveRegistry.h"

#include "TestFiles.h"
#include "registry/Hive.h"

#include <regex>

using namespace tw;

namespace {

// Out of order, with a key named again in another spelling, and keys beside, above and below the scope.
const char* const kFile = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Classes\\.txt] 1700000000
@="txtfile"

[Software\\Microsoft\\Windows\\CurrentVersion] 1700000000
"ProgramFilesDir"="C:\\Program Files"

[Software\\Microsoft\\Windows\\CurrentVersion\\Run] 1700000000
"Tray"="tray.exe"

[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Alpha] 1700000000
"DisplayName"="Alpha"

[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Beta\\Sub] 1700000000
"X"=dword:00000001

[Software\\Wow6432Node\\Classes] 1700000000
"a"="b"

[SOFTWARE\\microsoft\\Windows\\CurrentVersion\\Uninstall\\Alpha] 1700000001
"Size"=dword:00000002

[System\\CurrentControlSet] 1700000000
"c"=hex:01,02,\
  03
)";

ReadScope scope()
{
    return ReadScope()
        .branch("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall")
        .branch("Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall")
        .values("Software\\Microsoft\\Windows\\CurrentVersion");
}

enum class Ask { Open, Subkeys, Values, Query };

// What the registry answers to one question about the key at `path`, as text.
std::string answer(HiveRegistry& reg, const char* path, Ask ask)
{
    RegKey key = 0;
    const long rc = reg.RegOpenKeyExA(kHKeyLocalMachine, path, 0, kKeyRead, &key);
    std::string out = "open " + std::to_string(rc);
    if (rc != kErrorSuccess || ask == Ask::Open)
        return out;
    char name[256];
    std::uint8_t data[256];
    for (std::uint32_t i = 0;; ++i) {
        std::uint32_t cch = sizeof name;
        std::uint32_t cb = sizeof data;
        std::uint32_t type = 0;
        long got = 0;
        if (ask == Ask::Subkeys) {
            got = reg.RegEnumKeyExA(key, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
        } else if (ask == Ask::Values) {
            got = reg.RegEnumValueA(key, i, name, &cch, nullptr, &type, data, &cb);
        } else {
            got = i == 0 ? reg.RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, data, &cb) : -1;
            cch = 0;
        }
        if (got != kErrorSuccess)
            break;
        out += "; " + std::string(name, cch);
        if (ask != Ask::Subkeys)
            out += "=" + std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), cb);
    }
    reg.RegCloseKey(key);
    return out;
}

// A file's text without the times a change sets.
std::string withoutTimes(const std::string& text)
{
    return std::regex_replace(
        std::regex_replace(text, std::regex(R"(\] \d+\n)"), "]\n"), std::regex("#time=[0-9a-f]+\n"), "");
}

} // namespace

TEST(ReadInPart, everyAnswerIsTheWholeFilesInsideTheScopeOrNot)
{
    test::TempDir dir;
    const std::string file = dir.file("system.reg");
    test::writeAll(file, kFile);
    HiveRegistry whole(file);
    ASSERT_FALSE(whole.loadError());
    const char* const paths[] = { "", "Software", "SOFTWARE\\Classes", "Software\\Microsoft\\Windows",
        "Software\\Microsoft\\Windows\\CurrentVersion", "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        "software\\microsoft\\windows\\currentversion\\uninstall\\ALPHA",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Beta",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Beta\\Sub",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gamma", "Software\\Wow6432Node",
        "Software\\Wow6432Node\\Microsoft", "System\\CurrentControlSet", "System\\Missing" };
    for (const char* path : paths) {
        for (const Ask ask : { Ask::Open, Ask::Subkeys, Ask::Values, Ask::Query }) {
            // Each question first, of a registry that has read only the scope.
            HiveRegistry part(file, hive::HiveRoot::Machine, scope());
            ASSERT_TRUE(part.holdsPart());
            EXPECT_EQ(answer(part, path, ask), answer(whole, path, ask))
                << path << ", question " << static_cast<int>(ask);
        }
    }
    // What the listing asks stays within the part read.
    HiveRegistry part(file, hive::HiveRoot::Machine, scope());
    answer(part, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", Ask::Subkeys);
    answer(part, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Alpha", Ask::Values);
    answer(part, "Software\\Microsoft\\Windows\\CurrentVersion", Ask::Query);
    answer(part, "Software\\Wow6432Node", Ask::Open);
    EXPECT_TRUE(part.holdsPart());
}

TEST(ReadInPart, aChangeWritesBackTheWholeFile)
{
    test::TempDir dir;
    const std::string partFile = dir.file("part.reg");
    const std::string wholeFile = dir.file("whole.reg");
    test::writeAll(partFile, kFile);
    test::writeAll(wholeFile, kFile);
    HiveRegistry part(partFile, hive::HiveRoot::Machine, scope());
    HiveRegistry whole(wholeFile);
    for (HiveRegistry* reg : { &part, &whole }) {
        RegKey key = 0;
        ASSERT_EQ(reg->RegOpenKeyA(kHKeyLocalMachine,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Alpha", &key),
            kErrorSuccess);
        const std::uint8_t data[] = { 'B', 0 };
        ASSERT_EQ(reg->RegSetValueExA(key, "Publisher", 0, kRegSz, data, 2), kErrorSuccess);
        reg->RegCloseKey(key);
    }
    EXPECT_FALSE(part.holdsPart());
    const std::string written = test::readAll(partFile);
    EXPECT_EQ(withoutTimes(written), withoutTimes(test::readAll(wholeFile)));
    // The blocks outside the scope come back byte for byte.
    EXPECT_NE(written.find("[System\\\\CurrentControlSet] 1700000000\n\"c\"=hex:01,02,\\\n  03\n"),
        std::string::npos);
    EXPECT_NE(written.find("[Software\\\\Classes\\\\.txt] 1700000000\n@=\"txtfile\"\n"), std::string::npos);
}

TEST(ReadInPart, aFileBrokenAnywhereIsRefusedAsWhenReadWhole)
{
    const std::string good = kFile;
    test::TempDir dir;
    const std::pair<std::string, std::string> breaks[] = {
        { "\"c\"=hex:01,02,\\\n  03\n", "\"c\"=hex:01,0x2\n" }, // outside the scope
        { "\"Tray\"=\"tray.exe\"", "\"Tray\"=tray.exe" }, // beside it
        { "\"X\"=dword:00000001", "\"X\"=dword:1x" }, // inside it
        { "[System\\\\CurrentControlSet] 1700000000", "[System\\\\Current\\xZZ] 1" }, // a key's name
        { "\n  03\n", "\n  03" }, // cut short
    };
    // An empty file is an empty registry, read in part as whole.
    {
        const std::string file = dir.file("empty.reg");
        test::writeAll(file, "");
        HiveRegistry part(file, hive::HiveRoot::Machine, scope());
        EXPECT_FALSE(part.loadError());
        EXPECT_EQ(answer(part, "Software", Ask::Open), "open 2");
    }
#ifndef _WIN32
    // A device is no registry file, though it reads as an empty one.
    std::filesystem::create_symlink("/dev/null", dir.path() / "device.reg");
    HiveRegistry device(dir.file("device.reg"), hive::HiveRoot::Machine, scope());
    ASSERT_TRUE(device.loadError());
    EXPECT_NE(device.loadError()->text().find("not a regular file"), std::string::npos);
#endif
    for (const auto& [from, to] : breaks) {
        std::string broken = good;
        broken.replace(broken.find(from), from.size(), to);
        const std::string file = dir.file("system.reg");
        test::writeAll(file, broken);
        HiveRegistry whole(file);
        HiveRegistry part(file, hive::HiveRoot::Machine, scope());
        ASSERT_TRUE(whole.loadError()) << to;
        ASSERT_TRUE(part.loadError()) << to;
        EXPECT_EQ(part.loadError()->text(), whole.loadError()->text());
        EXPECT_EQ(test::readAll(file), broken);
    }
}

TEST(ReadInPart, blocksLargerThanAPieceAreReadWhole)
{
    // Values of 600 KB, over many lines, inside the scope and outside it, read a piece at a time.
    std::string hex;
    for (int line = 0; line < 24'000; ++line)
        hex += "  01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,\\\n";
    hex += "  ff\n";
    const std::string text = std::string(kFile)
        + "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Big] 1\n\"Blob\"=hex:\\\n"
        + hex + "\n[Zeta] 1\n\"Blob\"=hex:\\\n" + hex;
    test::TempDir dir;
    const std::string file = dir.file("system.reg");
    test::writeAll(file, text);
    HiveRegistry whole(file);
    HiveRegistry part(file, hive::HiveRoot::Machine, scope());
    ASSERT_FALSE(part.loadError());
    std::vector<std::uint8_t> data[2];
    for (HiveRegistry* reg : { &part, &whole }) {
        RegKey key = 0;
        ASSERT_EQ(reg->RegOpenKeyExA(kHKeyLocalMachine,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Big", 0, kKeyRead, &key),
            kErrorSuccess);
        std::vector<std::uint8_t>& got = data[reg == &whole];
        got.resize(1 << 20);
        auto size = static_cast<std::uint32_t>(got.size());
        ASSERT_EQ(reg->RegQueryValueExA(key, "Blob", nullptr, nullptr, got.data(), &size), kErrorSuccess);
        got.resize(size);
    }
    EXPECT_EQ(data[0].size(), 24'000u * 25 + 1);
    EXPECT_EQ(data[0], data[1]);
    EXPECT_TRUE(part.holdsPart());
    test::writeAll(file, text.substr(0, text.size() - 1));
    HiveRegistry cut(file, hive::HiveRoot::Machine, scope());
    ASSERT_TRUE(cut.loadError());
    EXPECT_NE(cut.loadError()->text().find("cut short"), std::string::npos);
}
