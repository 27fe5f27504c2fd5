// SPDX-License-Identifier: MIT
// The demo registry a new user sees must load, save back unchanged and show what it promises.
#include "TestFiles.h"
#include "inventory/Inventory.h"
#include "registry/Hive.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "system/clsSystem.h"

using namespace tw;

TEST(DemoRegistry, loadsAndSavesBackByteForByte)
{
    const std::string content = test::readAll(std::string(TIDEWELL_DEMO_DIR) + "/system.reg");
    const auto hive = hive::parseHive(content, "demo");
    EXPECT_EQ(hive::serializeHive(*hive), content);
}

TEST(DemoRegistry, holdsAPlausiblePcWithItsSpecialCases)
{
    HiveRegistry hive(std::string(TIDEWELL_DEMO_DIR) + "/system.reg");
    ASSERT_FALSE(hive.loadError());
    Registry reg(hive);
    std::vector<std::string> keys;
    reg.GetKeyNames(kHKeyLocalMachine, kUninstallPath, keys);
    EXPECT_GE(keys.size(), 30u);
    EXPECT_LE(keys.size(), 60u);

    // Icon files are looked up in the demo's own drive C, as the program looks them up.
    const PathMapping demoDrives(TIDEWELL_DEMO_DIR);
    int listed = 0;
    int records = 0;
    int hidden = 0;
    int withoutCommand = 0;
    int missingIcon = 0;
    for (const auto& key : keys) {
        const std::string path = kUninstallPath + key;
        const std::string name = reg.GetStringValue(kHKeyLocalMachine, path, "DisplayName");
        const std::string command = reg.GetStringValue(kHKeyLocalMachine, path, "UninstallString");
        if (!name.empty() && !command.empty())
            ++listed;
        if (!name.empty() && command.empty())
            ++withoutCommand;
        if (reg.GetDWORDValue(kHKeyLocalMachine, path, "NoRemove") == 1)
            ++hidden;
        std::vector<std::uint8_t> record;
        if (reg.GetBinaryValue(kHKeyLocalMachine, kArpCachePath + key, "SlowInfoCache", record))
            ++records;
        const auto icon = iconFromDisplayIcon(reg.GetStringValue(kHKeyLocalMachine, path, "DisplayIcon"));
        if (icon && !icon->path.empty() && !demoDrives.exists(icon->path))
            ++missingIcon;
    }
    EXPECT_GE(listed, 30);
    EXPECT_GE(records, listed / 2);
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(withoutCommand, 1);
    EXPECT_EQ(missingIcon, 1);
    EXPECT_EQ(hive.openHandleCount(), 0u);

    auto calls = makeSystemCalls(&reg);
    EXPECT_EQ(clsSystem(*calls).sysInfo(), "Microsoft Windows XP");
}
