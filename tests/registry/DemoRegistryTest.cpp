// SPDX-License-Identifier: MIT
// The demo registry a new user sees must load, save back unchanged and show what it promises.
#include "TestFiles.h"
#include "app/FsPath.h"
#include "registry/Hive.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "system/clsSystem.h"

using namespace tw;

namespace {
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kArpCache = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache\\";
} // namespace

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
    reg.GetKeyNames(kHKeyLocalMachine, kUninstall, keys);
    EXPECT_GE(keys.size(), 30u);
    EXPECT_LE(keys.size(), 60u);

    int listed = 0;
    int records = 0;
    int hidden = 0;
    int withoutCommand = 0;
    int missingIcon = 0;
    for (const auto& key : keys) {
        const std::string path = kUninstall + "\\" + key;
        const std::string name = reg.GetStringValue(kHKeyLocalMachine, path, "DisplayName");
        const std::string command = reg.GetStringValue(kHKeyLocalMachine, path, "UninstallString");
        if (!name.empty() && !command.empty())
            ++listed;
        if (!name.empty() && command.empty())
            ++withoutCommand;
        if (reg.GetDWORDValue(kHKeyLocalMachine, path, "NoRemove") == 1)
            ++hidden;
        std::vector<std::uint8_t> record;
        if (reg.GetBinaryValue(kHKeyLocalMachine, kArpCache + key, "SlowInfoCache", record))
            ++records;
        // Icon files are looked up in the demo's own drive C, without regard to case.
        std::string icon = reg.GetStringValue(kHKeyLocalMachine, path, "DisplayIcon");
        icon.erase(std::remove(icon.begin(), icon.end(), '"'), icon.end());
        if (const auto comma = icon.rfind(','); comma != std::string::npos)
            icon.resize(comma);
        if (icon.rfind("C:\\", 0) == 0) {
            std::filesystem::path p = toFsPath(std::string(TIDEWELL_DEMO_DIR) + "/drive_c");
            std::string rest = icon.substr(3);
            bool found = true;
            for (std::size_t start = 0; found && start < rest.size();) {
                const auto end = std::min(rest.find('\\', start), rest.size());
                const std::string part = rest.substr(start, end - start);
                found = false;
                std::error_code ec;
                for (const auto& entry : std::filesystem::directory_iterator(p, ec)) {
                    std::string n = fromFsPath(entry.path().filename());
                    if (n.size() == part.size()
                        && std::equal(n.begin(), n.end(), part.begin(),
                            [](char a, char b) { return std::tolower(a) == std::tolower(b); })) {
                        p = entry.path();
                        found = true;
                        break;
                    }
                }
                start = end + 1;
            }
            if (!found)
                ++missingIcon;
        }
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
