// SPDX-License-Identifier: MIT
// `tidewell --uninstall`: what the command does beyond the run it shares with the window.
#include "app/UninstallCommand.h"

#include "../base/PinnedClock.h"
#include "../base/ScriptedReporter.h"
#include "../registry/TestFiles.h"
#include "ScopedEnvironment.h"
#include "base/FsPath.h"
#include "inventory/Inventory.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "session/OpenRegistry.h"

#include <sstream>

using namespace tw;

namespace {

const std::string kStart = "06/12/2026 10:00:00\r\nUninstalling Probe App\r\n";

struct Command
{
    Command() { setMode("leave"); }
    void setMode(const std::string& mode) { setUninstallString("\"" TIDEWELL_TEST_UNINSTALLER "\" " + mode); }
    void setUninstallString(const std::string& command)
    {
        HiveRegistry hive(registry);
        Registry(hive).SaveString(
            kHKeyLocalMachine, kUninstallPath + std::string("Probe"), "UninstallString", command);
        Registry(hive).SaveString(
            kHKeyLocalMachine, kUninstallPath + std::string("Probe"), "DisplayName", "Probe App");
    }
    int run(const UninstallOptions& options, const std::string& appFolder = {})
    {
        out.str("");
        err.str("");
        return runUninstallCommand(RegistryRequest(registry),
            appFolder.empty() ? dir.path().string() : appFolder, "Probe", options, test::pinnedClock(), out,
            err);
    }
    bool listed()
    {
        HiveRegistry hive(registry);
        return !Registry(hive)
                    .GetStringValue(kHKeyLocalMachine, kUninstallPath + std::string("Probe"), "DisplayName")
                    .empty();
    }
    std::string log() const { return test::readAll(dir.file("UnLog.log")); }

    test::TempDir dir;
    std::string registry = dir.file("system.reg");
    std::ostringstream out;
    std::ostringstream err;
};

} // namespace

// A stale entry: its uninstaller is gone. --force takes it out as Delete From List does; without it the
// failure to start stays an error.
TEST(UninstallCommand, forceDeletesAnEntryWhoseUninstallerIsGone)
{
    Command c;
    c.setUninstallString("\"" + c.dir.file("gone/uninst") + "\" /S");
    const test::ScriptedReporter reporter({});
    EXPECT_EQ(c.run({}), 2);
    EXPECT_TRUE(c.listed());
    EXPECT_EQ(c.log(), kStart);
    EXPECT_EQ(c.run({ true, {} }), 0) << c.err.str();
    EXPECT_EQ(c.out.str(), "Deleted Entry for Probe App\n");
    EXPECT_FALSE(c.listed());
    EXPECT_EQ(
        c.log(), kStart + "\r\n" + kStart + "\r\n06/12/2026 10:00:00\r\nDeleted Entry for Probe App\r\n");
}

TEST(UninstallCommand, aTimeOutEndsTheWaitAndLeavesTheUninstallerRunning)
{
    Command c;
    c.setMode("sleep 4000");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(c.run({ false, std::chrono::seconds(1) }), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_NE(c.err.str().find("stopped waiting for the uninstaller after 1 seconds; it is still running"),
        std::string::npos)
        << c.err.str();
    EXPECT_EQ(c.log(),
        kStart
            + "Wait ended by the time-out. The uninstaller is still running.\r\n"
              "Uninstall Not Successful. Program was not removed from the list.\r\n");
}

// With no folder to write the log in, the user is warned once, however many lines were lost.
TEST(UninstallCommand, aLogThatCannotBeWrittenIsOneWarning)
{
    Command c;
    test::writeAll(c.dir.file("not-a-folder"), "");
    const test::ScopedEnvironment data("XDG_DATA_HOME", c.dir.file("not-a-folder"));
    EXPECT_EQ(c.run({ true, {} }, c.dir.file("missing")), 0);
    EXPECT_FALSE(c.listed());
    const std::string err = c.err.str();
    const auto first = err.find("could not be written, so this uninstall is not recorded in it");
    EXPECT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find("could not be written", first + 1), std::string::npos) << err;
}
