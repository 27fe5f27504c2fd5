// SPDX-License-Identifier: MIT
#include "inventory/Inventory.h"

#include "../registry/TestFiles.h"
#include "base/FsPath.h"
#include "inventory/Listing.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"

using namespace tw;

namespace {

const std::string kUninstall = kUninstallPath;
const std::string kCache = kArpCachePath;

class InventoryTest : public ::testing::Test
{
protected:
    void entry(const std::string& key, const std::string& name, const std::string& command)
    {
        if (!name.empty())
            m_reg.SaveString(kHKeyLocalMachine, kUninstall + key, "DisplayName", name + std::string(1, '\0'));
        if (!command.empty())
            m_reg.SaveString(
                kHKeyLocalMachine, kUninstall + key, "UninstallString", command + std::string(1, '\0'));
    }
    void raw(
        const std::string& path, const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data)
    {
        RegKey k = 0;
        ASSERT_EQ(m_hive.RegCreateKeyA(kHKeyLocalMachine, path.c_str(), &k), kErrorSuccess);
        data.push_back(0);
        m_hive.RegSetValueExA(
            k, name.c_str(), 0, type, data.data(), static_cast<std::uint32_t>(data.size() - 1));
        m_hive.RegCloseKey(k);
    }
    std::vector<std::uint8_t> usage(std::uint8_t frequency, const std::u16string& path = {})
    {
        std::vector<std::uint8_t> r(552, 0);
        r[10] = 0x20; // 2 MB
        r[24] = frequency;
        r[4] = path.empty() ? 0 : 1;
        for (std::size_t i = 0; i < path.size(); ++i) {
            r[28 + 2 * i] = static_cast<std::uint8_t>(path[i] & 0xFF);
            r[29 + 2 * i] = static_cast<std::uint8_t>(path[i] >> 8);
        }
        return r;
    }
    std::vector<ProgramRow> scan(const std::string& osName = "Microsoft Windows XP")
    {
        Inventory inv(m_reg, osName, PathMapping(m_dir.path().string()));
        return inv.scan();
    }
    static std::vector<std::string> keys(const std::vector<ProgramRow>& rows)
    {
        std::vector<std::string> k;
        for (const auto& r : rows)
            k.push_back(r.key);
        return k;
    }

    test::TempDir m_dir;
    HiveRegistry m_hive { std::string() };
    Registry m_reg { m_hive };
};

} // namespace

TEST_F(InventoryTest, listsEntriesWithANameAndACommandThatAreNotHidden)
{
    entry("Zeta", "Zeta Tool", "zeta.exe /u");
    entry("  Spaced", "  Two spaces  ", "x.exe");
    entry("NoCommand", "No Command", "");
    entry("NoName", "", "noname.exe");
    entry("Hidden", "Hidden", "h.exe");
    raw(kUninstall + "Hidden", "NoRemove", kRegDword, { 1, 0, 0, 0 });
    entry("HiddenAsText", "Hidden As Text", "t.exe");
    m_reg.SaveString(kHKeyLocalMachine, kUninstall + "HiddenAsText", "NoRemove", "1");
    entry("Twin", "Zeta Tool", "twin.exe");

    const auto rows = scan();
    // Registry order, names as read, duplicates kept; "1" as text reads as 49 and does not hide.
    EXPECT_EQ(keys(rows), (std::vector<std::string> { "  Spaced", "HiddenAsText", "Twin", "Zeta" }));
    EXPECT_EQ(rows[0].text, "  Two spaces  ");
    EXPECT_EQ(rows[3].uninstallCommand, "zeta.exe /u");
    EXPECT_EQ(m_hive.openHandleCount(), 0u);
}

TEST_F(InventoryTest, twoSubkeysThatReadAsOneNameGiveOneRow)
{
    // "Q\u63a2" has no place in the code page and reads as "Q?", the name of the entry before it.
    const std::string key = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\";
    test::writeAll(m_dir.file("system.reg"),
        "WINE REGISTRY Version 2\n\n" + key
            + "Q?] 1\n\"DisplayName\"=\"First\"\n\"UninstallString\"=\"a.exe\"\n\n" + key
            + "Q\xe6\x8e\xa2] 1\n\"DisplayName\"=\"Second\"\n\"UninstallString\"=\"b.exe\"\n\n" + key
            + "q?x] 1\n\"DisplayName\"=\"Third\"\n\"UninstallString\"=\"c.exe\"\n");
    HiveRegistry hive(m_dir.file("system.reg"));
    ASSERT_FALSE(hive.loadError());
    Registry reg(hive);
    Inventory inv(reg, "Microsoft Windows XP", PathMapping(m_dir.path().string()));
    const auto rows = inv.scan();
    EXPECT_EQ(keys(rows), (std::vector<std::string> { "Q?", "q?x" }));
    EXPECT_EQ(rows.at(0).text, "First");
}

TEST_F(InventoryTest, usageRecordGivesCellsAndTheIconSourceWhenThereIsNoDisplayIcon)
{
    std::filesystem::create_directories(m_dir.path() / "drive_c" / "Apps");
    test::writeAll(m_dir.path() / "drive_c" / "Apps" / "tool.exe", "MZ");
    entry("FromIcon", "From Icon", "x.exe");
    m_reg.SaveString(
        kHKeyLocalMachine, kUninstall + "FromIcon", "DisplayIcon", "\"C:\\Apps\\tool.exe\",-101");
    entry("BadIndex", "Bad Index", "x.exe");
    m_reg.SaveString(kHKeyLocalMachine, kUninstall + "BadIndex", "DisplayIcon", "C:\\Apps\\tool.exe,main");
    raw(kCache + "BadIndex", "SlowInfoCache", kRegBinary, usage(1, u"C:\\APPS\\TOOL.EXE"));
    entry("FromRecord", "From Record", "x.exe");
    raw(kCache + "FromRecord", "SlowInfoCache", kRegBinary, usage(1, u"C:\\APPS\\TOOL.EXE"));
    entry("MissingProgram", "Missing Program", "x.exe");
    raw(kCache + "MissingProgram", "SlowInfoCache", kRegBinary, usage(1, u"C:\\Apps\\gone.exe"));

    const auto rows = scan();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].key, "BadIndex");
    EXPECT_EQ(rows[0].icon, std::nullopt);
    EXPECT_EQ(rows[1].icon, (IconRef { "C:\\Apps\\tool.exe", -101 }));
    EXPECT_EQ(rows[2].icon, (IconRef { "C:\\APPS\\TOOL.EXE", 0 }));
    EXPECT_EQ(rows[2].size, "2.0 MB");
    EXPECT_EQ(rows[2].frequency, "Rarely");
    EXPECT_EQ(rows[3].icon, std::nullopt);
    // On the 98 family the record is not read, so it gives no cells and names no icon either.
    const ProgramRow row98 = scan("Microsoft Windows 98 Second Edition").at(2);
    EXPECT_EQ(row98.size + row98.frequency, "");
    EXPECT_EQ(row98.icon, std::nullopt);
}

TEST(DisplayIcon, pathAndIndexFollowTheLastComma)
{
    // Quotes and negative indexes: see the scan test.
    EXPECT_EQ(iconFromDisplayIcon("C:\\App\\app.exe,2"), (IconRef { "C:\\App\\app.exe", 2 }));
    EXPECT_EQ(iconFromDisplayIcon("C:\\App\\app.exe"), (IconRef { "C:\\App\\app.exe", 0 }));
    EXPECT_EQ(iconFromDisplayIcon("C:\\App\\app.exe, +7 "), (IconRef { "C:\\App\\app.exe", 7 }));
    EXPECT_EQ(iconFromDisplayIcon("a.exe,2.5"), (IconRef { "a.exe", 2 }));
    EXPECT_EQ(iconFromDisplayIcon("a.exe,3.5"), (IconRef { "a.exe", 4 }));
    EXPECT_EQ(iconFromDisplayIcon("a.exe,1e1"), (IconRef { "a.exe", 10 }));
    for (const char* rejected : { "C:\\App\\app.exe,main", "C:\\My,Icons\\a.ico", "a.exe,", "a.exe, ",
             "a.exe,1.2.3", "a.exe,99999999999", "a.exe,--1", "a.exe,0x10" })
        EXPECT_EQ(iconFromDisplayIcon(rejected), std::nullopt) << rejected;
}

TEST(PathMapping, windowsPathsAreLookedUpInThePrefixWithoutRegardToCase)
{
    test::TempDir dir;
    const auto cafe = dir.path() / "drive_c" / "Program Files" / toFsPath("Caf\xc3\xa9");
    std::filesystem::create_directories(cafe);
    std::filesystem::create_directories(dir.path() / "drive_c" / "windows" / "system32");
    test::writeAll(cafe / "App.ico", "i");
    test::writeAll(dir.path() / "drive_c" / "windows" / "system32" / "regedit.exe", "MZ");
    const PathMapping paths = PathMapping::forRegistryFile(fromFsPath(dir.path() / "system.reg"));
    auto same = [](const std::string& resolved, const std::filesystem::path& expected) {
        return !resolved.empty() && std::filesystem::equivalent(toFsPath(resolved), expected);
    };
    EXPECT_TRUE(same(paths.resolve("C:\\Program Files\\Caf\xc3\xa9\\App.ico"), cafe / "App.ico"));
    EXPECT_TRUE(same(paths.resolve("c:/PROGRAM FILES/CAF\xc3\x89/app.ICO"), cafe / "App.ico"));
    EXPECT_EQ(paths.resolve("C:\\Program Files\\Missing\\App.ico"), "");
    EXPECT_EQ(paths.resolve("D:\\App.ico"), "");
    EXPECT_TRUE(
        same(paths.resolve("regedit.exe"), dir.path() / "drive_c" / "windows" / "system32" / "regedit.exe"));
#ifndef _WIN32
    EXPECT_EQ(paths.resolve("/usr/share/x.png"), "/usr/share/x.png");
    // With dosdevices, drive letters are its links.
    std::filesystem::create_directories(dir.path() / "dosdevices");
    std::filesystem::create_directory_symlink(dir.path() / "drive_c", dir.path() / "dosdevices" / "c:");
    EXPECT_EQ(paths.resolve("C:\\PROGRAM FILES\\caf\xc3\xa9\\app.ico"),
        fromFsPath(dir.path() / "dosdevices" / "c:" / "Program Files" / toFsPath("Caf\xc3\xa9") / "App.ico"));
#endif
    // The system's own registry uses paths as they are.
    EXPECT_EQ(PathMapping().resolve("C:\\x.exe"), "C:\\x.exe");
}

TEST(Listing, oneLinePerRowWithEscapedFields)
{
    ProgramRow a { "Key\\1", "Name\twith tab", "1.0 MB", "2004-11-01", "Rarely", "\"C:\\u.exe\" /S\r\n", {},
        {} };
    ProgramRow b { "B", "B", "", "", "", "b.exe", {}, {} };
    EXPECT_EQ(formatListing({ a, b }),
        "Key\\\\1\tName\\twith tab\t1.0 MB\t2004-11-01\tRarely\t\"C:\\\\u.exe\" /S\\r\\n\n"
        "B\tB\t\t\t\tb.exe\n");
    EXPECT_EQ(formatListing({}), "");
}
