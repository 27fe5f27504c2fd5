// SPDX-License-Identifier: MIT
// A prefix's list holds the machine's entries of both views and the user's, and each row's operations go
// to that row's own file, root and view, also where one key name is found in several of them.
#include "app/ListCommand.h"
#include "base/Clock.h"
#include "inventory/Inventory.h"
#include "registry/Registry.h"
#include "session/OpenRegistry.h"
#include "uninstall/Processes.h"
#include "uninstall/UninstallRun.h"

#include "../base/PinnedClock.h"
#include "../registry/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tw;

namespace {

std::string entry(const std::string& uninstallKey, const std::string& key, const std::string& name)
{
    return "[" + uninstallKey + "\\\\" + key + "] 1\n\"DisplayName\"=\"" + name
        + "\"\n\"UninstallString\"=\"\\\"" + TIDEWELL_TEST_UNINSTALLER + "\\\" leave\"\n\n";
}

const std::string kUninstall = "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall";
const std::string kUninstall32
    = "Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall";

std::vector<std::string> rowsOf(const OpenedRegistry& opened)
{
    std::vector<std::string> rows;
    for (const ProgramRow& row : listedPrograms(opened))
        rows.push_back(row.key + " " + sourceName(row.source) + ": " + row.text);
    return rows;
}

} // namespace

TEST(PerUserEntries, eachRowIsListedFromAndActsOnItsOwnSource)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "drive_c");
    const std::string system = dir.file("system.reg");
    const std::string user = dir.file("user.reg");
    test::writeAll(system,
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n"
            + entry(kUninstall, "Shared", "Shared 64") + entry(kUninstall32, "Only32", "Only 32")
            + entry(kUninstall32, "Shared", "Shared 32"));
    test::writeAll(user,
        "WINE REGISTRY Version 2\n;; All keys relative to "
        "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
            + entry(kUninstall, "Shared", "Shared mine") + entry(kUninstall, "Mine", "Mine only"));
    RegistryRequest request;
    request.prefix = dir.path().string();

    OpenedRegistry opened = openRegistry(request, {});
    ASSERT_TRUE(opened.views) << opened.error;
    EXPECT_EQ(rowsOf(opened),
        (std::vector<std::string> { "Shared All users: Shared 64", "Only32 All users, 32-bit: Only 32",
            "Shared All users, 32-bit: Shared 32", "Mine Per user: Mine only",
            "Shared Per user: Shared mine" }));
    // Narrowed to one view, the machine's part shrinks and the user's stays.
    request.views = MachineViews::Only32;
    EXPECT_EQ(rowsOf(openRegistry(request, {})),
        (std::vector<std::string> { "Only32 All users, 32-bit: Only 32",
            "Shared All users, 32-bit: Shared 32", "Mine Per user: Mine only",
            "Shared Per user: Shared mine" }));

    // The user's Shared: its uninstaller leaves it, the verdict is read from user.reg, and the clean-up takes
    // it out of user.reg only.
    const std::vector<ProgramRow> rows = listedPrograms(opened);
    const std::string systemBefore = test::readAll(system);
    auto processes = makeProcessCalls(PathMapping());
    const Clock clock = test::pinnedClock();
    for (const ProgramRow& row : { rows[4], rows[2] }) {
        UninstallRun run(opened.views->registryFor(row.source), *processes, dir.file("UnLog.log"), clock);
        const UninstallTarget target { row.key, row.text, row.uninstallCommand, row.source };
        EXPECT_EQ(run.run(target), UninstallOutcome::StillPresent) << row.text;
        EXPECT_TRUE(
            row.source.root == kHKeyCurrentUser ? run.forceRemoval(target) : run.deleteFromList(target));
        if (row.source.root == kHKeyCurrentUser) {
            EXPECT_EQ(test::readAll(system), systemBefore);
        }
    }
    EXPECT_EQ(test::readAll(user).find("Shared mine"), std::string::npos);
    request.views = MachineViews::Both;
    EXPECT_EQ(rowsOf(openRegistry(request, {})),
        (std::vector<std::string> { "Shared All users: Shared 64", "Only32 All users, 32-bit: Only 32",
            "Mine Per user: Mine only" }));
}
