// SPDX-License-Identifier: MIT
// `tidewell --uninstall`: what the command does beyond the run it shares with the window, and the demo's
// own uninstallers from the user's copy of the demo.
#include "app/UninstallCommand.h"

#include "../base/PinnedClock.h"
#include "../base/ScriptedReporter.h"
#include "../registry/TestFiles.h"
#include "ScopedEnvironment.h"
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
    bool listed() { return test::readAll(registry).find("Uninstall\\\\Probe]") != std::string::npos; }
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
    EXPECT_NE(c.err.str().find("stopped waiting for the uninstaller after 1 second; it is still running"),
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

// The demo as a build tree holds it (the shipped demo and its uninstaller beside the program), used
// through the user's copy.
TEST(DemoUninstall, someEntriesUninstallWithoutWineOneLeavesItsEntryTheOthersNeedWine)
{
    test::TempDir dir;
    const auto app = dir.path() / "app";
    std::filesystem::create_directories(app);
    std::filesystem::copy(TIDEWELL_DEMO_DIR, app / "demo", std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(TIDEWELL_DEMO_UNINSTALLER, app / "tidewell-demo-uninstaller");
    const std::string shipped = test::readAll(app / "demo" / "system.reg");
    const test::ScopedEnvironment data("XDG_DATA_HOME", dir.file("data"));
    std::ostringstream out;
    std::ostringstream err;
    auto uninstall = [&](const std::string& key) {
        err.str("");
        RegistryRequest demo;
        demo.demo = true;
        return runUninstallCommand(demo, app.string(), key, {}, test::pinnedClock(), out, err);
    };
    EXPECT_EQ(uninstall("LarkspurWeatherDesk"), 0) << err.str();
    EXPECT_EQ(test::readAll(dir.path() / "data" / "tidewell" / "demo" / "system.reg")
                  .find("Uninstall\\\\LarkspurWeatherDesk]"),
        std::string::npos);
    // The window offers the clean-up for this verdict.
    EXPECT_EQ(uninstall("SkyharborToolbar"), 1) << err.str();
    EXPECT_EQ(test::readAll(app / "UnLog.log"),
        "06/12/2026 10:00:00\r\nUninstalling Larkspur Weather Desk\r\n"
        "Uninstall OK. Uninstaller removed program from the list.\r\n\r\n"
        "06/12/2026 10:00:00\r\nUninstalling Skyharbor Search Toolbar\r\n"
        "Uninstall Not Successful. Program was not removed from the list.\r\n");
    const test::ScopedEnvironment noWine("TIDEWELL_WINE", dir.file("no-wine"));
    EXPECT_EQ(uninstall("LanternfishMail"), 2);
    EXPECT_EQ(err.str(),
        "tidewell: C:\\Program Files\\Lanternfish\\Mail\\uninstall.exe is a Windows program: Wine is needed "
        "to "
        "run it, and Wine is not installed (no program \""
            + dir.file("no-wine") + "\" was found).\n");
    EXPECT_EQ(test::readAll(app / "demo" / "system.reg"), shipped);
}
