// SPDX-License-Identifier: MIT
#include "system/clsSystem.h"

#include "../registry/TestFiles.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"

#include <cstring>
#include <tuple>

using namespace tw;

namespace {

OsVersionInfoA version(std::uint32_t platform, std::uint32_t major, std::uint32_t minor, std::uint32_t build)
{
    OsVersionInfoA v;
    v.dwPlatformId = platform;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    return v;
}

class FakeCalls : public SystemCalls
{
public:
    OsVersionInfoA info;
    std::uint32_t sizeSeen = 0;
    bool fail = false;
    int GetVersionExA(OsVersionInfoA* out) override
    {
        sizeSeen = out->dwOSVersionInfoSize;
        *out = info;
        return 1;
    }
    int GetComputerNameA(char* buffer, std::uint32_t* size) override
    {
        if (fail)
            return 0;
        EXPECT_EQ(*size, 256u);
        std::memcpy(buffer, "VM", 3);
        return 1;
    }
    int GetUserNameA(char*, std::uint32_t*) override { return 0; }
};

} // namespace

TEST(SysInfo, namesFollowTheTableFirstMatchWins)
{
    EXPECT_EQ(osName(version(1, 4, 0, 0)), "Microsoft Windows 95");
    EXPECT_EQ(osName(version(1, 4, 10, 0x040A07CE)), "Microsoft Windows 98");
    EXPECT_EQ(osName(version(1, 4, 10, 0x040A08AE)), "Microsoft Windows 98 Second Edition");
    EXPECT_EQ(osName(version(1, 9, 90, 12345)), "Microsoft Windows Millennium Edition");
    EXPECT_EQ(osName(version(1, 4, 11, 0)), "");
    EXPECT_EQ(osName(version(2, 3, 7, 0)), "Microsoft Windows NT 3.51");
    EXPECT_EQ(osName(version(2, 4, 0, 1381)), "Microsoft Windows NT 4.0");
    EXPECT_EQ(osName(version(2, 5, 0, 2195)), "Microsoft Windows 2000");
    EXPECT_EQ(osName(version(2, 5, 1, 2600)), "Microsoft Windows XP");
    EXPECT_EQ(osName(version(2, 5, 2, 3790)), "Microsoft Windows Sever 2003");
    EXPECT_EQ(osName(version(2, 6, 1, 7601)), "");
    EXPECT_EQ(osName(version(3, 5, 1, 0)), "");
}

TEST(SysInfo, asksThePlatformWithTheRecordSizeAndReadsNamesUpToTheirNul)
{
    FakeCalls calls;
    calls.info = version(2, 5, 1, 2600);
    clsSystem sys(calls);
    EXPECT_EQ(sys.sysInfo(), "Microsoft Windows XP");
    EXPECT_EQ(calls.sizeSeen, 148u);
    EXPECT_EQ(sys.computerName(), "VM");
    // A failed call leaves the buffer's spaces: no name.
    EXPECT_EQ(sys.userName(), "");
    calls.fail = true;
    EXPECT_EQ(sys.computerName(), "");
}

TEST(SysInfo, aRegistryFileTellsWhichWindowsItPosesAs)
{
    test::TempDir dir;
    // Wine 8's default prefix poses as Windows 7: no name in the table.
    HiveRegistry wine(test::dataPath("wine/system.reg"));
    Registry wineReg(wine);
    const OsVersionInfoA seven = versionFromRegistry(wineReg);
    EXPECT_EQ(std::tuple(seven.dwPlatformId, seven.dwMajorVersion, seven.dwMinorVersion, seven.dwBuildNumber),
        std::tuple(2u, 6u, 1u, 7601u));

    HiveRegistry xp(dir.file("xp.reg"));
    Registry xpReg(xp);
    const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    xpReg.SaveString(kHKeyLocalMachine, nt, "CurrentVersion", "5.1");
    xpReg.SaveString(kHKeyLocalMachine, nt, "CurrentBuildNumber", "2600");
    auto calls = makeSystemCalls(&xpReg);
    EXPECT_EQ(clsSystem(*calls).sysInfo(), "Microsoft Windows XP");

    HiveRegistry me(dir.file("98.reg"));
    Registry meReg(me);
    meReg.SaveString(
        kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber", "4.10.2222");
    const OsVersionInfoA se = versionFromRegistry(meReg);
    EXPECT_EQ(se.dwBuildNumber, 0x040A08AEu);
    EXPECT_EQ(osName(se), "Microsoft Windows 98 Second Edition");

    HiveRegistry empty(dir.file("empty.reg"));
    Registry emptyReg(empty);
    EXPECT_EQ(clsSystem(*makeSystemCalls(&emptyReg)).sysInfo(), "");
}

#ifdef _WIN32
#include "registry/RegistryFactory.h"

#include <windows.h>

// On Windows (here: under Wine) the name comes from GetVersionExA, and it agrees with what the system's
// registry says it is. The test script sets Wine's version and names the system it expects.
TEST(SysInfo, theRunningSystemIsNamedFromItsVersion)
{
    auto calls = makePlatformSystemCalls();
    OsVersionInfoA v;
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_NE(calls->GetVersionExA(&v), 0);
    EXPECT_EQ(v.dwPlatformId, 2u);
    const std::string name = clsSystem(*calls).sysInfo();
    EXPECT_EQ(name, osName(v));
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        auto api = makeSystemRegistry();
        Registry reg(*api);
        const OsVersionInfoA stored = versionFromRegistry(reg);
        EXPECT_EQ(v.dwMajorVersion, stored.dwMajorVersion);
        EXPECT_EQ(v.dwMinorVersion, stored.dwMinorVersion);
        EXPECT_EQ(v.dwBuildNumber & 0xFFFF, stored.dwBuildNumber);
    }
    if (const char* expected = std::getenv("TIDEWELL_EXPECTED_OS")) {
        EXPECT_EQ(name, expected);
    }
    EXPECT_NE(clsSystem(*calls).computerName(), "");
    EXPECT_NE(clsSystem(*calls).userName(), "");
}
#endif
