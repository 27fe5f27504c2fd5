// SPDX-License-Identifier: MIT
// Uninstalling with real processes: the stand-in uninstaller removes its entry, leaves it, or hands
// over to a second process and ends at once.
#include "uninstall/UninstallRun.h"

#include "../base/PinnedClock.h"
#include "../base/ScriptedReporter.h"
#include "../registry/TestFiles.h"
#include "base/Errors.h"
#include "inventory/Inventory.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "uninstall/Processes.h"

#include <thread>

using namespace tw;
using test::ScriptedReporter;

namespace {

class UninstallRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_reg.SaveString(
            kHKeyLocalMachine, kUninstallPath + std::string("Probe"), "DisplayName", "Probe App");
        m_reg.SaveString(kHKeyLocalMachine, kUninstallPath + std::string("Probe\\Sub"), "x", "y");
    }
    UninstallTarget target(const std::string& mode)
    {
        return { "Probe", "Probe App",
            "\"" + std::string(TIDEWELL_TEST_UNINSTALLER) + "\" " + mode + " \"" + m_file + "\" Probe" };
    }
    std::string log() const { return test::readAll(m_dir.file("UnLog.log")); }

    test::TempDir m_dir;
    std::string m_file = m_dir.file("system.reg");
    HiveRegistry m_hive { m_file };
    Registry m_reg { m_hive };
    Clock m_clock = test::pinnedClock();
    std::unique_ptr<ProcessCalls> m_processes = makeProcessCalls(PathMapping());
    int m_pumps = 0;
    UninstallRun m_run { m_reg, *m_processes, m_dir.file("UnLog.log"), m_clock, [this] { ++m_pumps; } };
};

const std::string kStart = "06/12/2026 10:00:00\r\nUninstalling Probe App\r\n";

} // namespace

TEST_F(UninstallRunTest, anUninstallerThatRemovesItsEntryIsLoggedAsOk)
{
    m_reg.DeleteKey(kHKeyLocalMachine, kUninstallPath + std::string("Probe\\Sub"));
    EXPECT_EQ(m_run.run(target("remove")), UninstallOutcome::Removed);
    EXPECT_EQ(log(), kStart + "Uninstall OK. Uninstaller removed program from the list.\r\n");
}

TEST_F(UninstallRunTest, anEntryLeftBehindIsOfferedForCleanUp)
{
    EXPECT_EQ(m_run.run(target("leave")), UninstallOutcome::StillPresent);
    EXPECT_EQ(log(), kStart + "Uninstall Not Successful. Program was not removed from the list.\r\n");
    m_run.abortedByUser();
    EXPECT_EQ(log(),
        kStart
            + "Uninstall Not Successful. Program was not removed from the list.\r\nAborted by the user.\r\n");
    EXPECT_EQ(m_reg.GetStringValue(kHKeyLocalMachine, kUninstallPath + std::string("Probe"), "DisplayName"),
        "Probe App");
}

TEST_F(UninstallRunTest, theCleanUpRemovesTheEntryWithItsSubkeysAndOnlyThenLogsIt)
{
    EXPECT_TRUE(m_run.forceRemoval({ "Probe", "Probe App", "" }));
    std::vector<std::string> left;
    m_reg.GetKeyNames(kHKeyLocalMachine, kUninstallPath, left);
    EXPECT_TRUE(left.empty());
    EXPECT_EQ(log(), "Uninstall Not Successful. Force the removal of the program from the list.\r\n");
    EXPECT_EQ(m_hive.openHandleCount(), 0u);

    // A file another program damaged cannot be written: the entry stays and nothing is logged.
    m_reg.SaveString(kHKeyLocalMachine, kUninstallPath + std::string("Again"), "DisplayName", "Again");
    std::filesystem::remove(m_dir.file("UnLog.log"));
    test::writeAll(m_file, test::readAll(m_file) + "garbage line\n");
    EXPECT_FALSE(m_run.forceRemoval({ "Again", "Again", "" }));
    EXPECT_EQ(log(), "");
}

TEST_F(UninstallRunTest, theWaitEndsWithTheStartedProcessNotWithItsHandOff)
{
    m_reg.DeleteKey(kHKeyLocalMachine, kUninstallPath + std::string("Probe\\Sub"));
    EXPECT_EQ(m_run.run(target("handoff")), UninstallOutcome::StillPresent);
    EXPECT_EQ(log(), kStart + "Uninstall Not Successful. Program was not removed from the list.\r\n");
    // The copy it started removes the entry a moment later.
    for (int i = 0; i < 250
         && !m_reg.GetStringValue(kHKeyLocalMachine, kUninstallPath + std::string("Probe"), "DisplayName")
                 .empty();
         ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(
        m_reg.GetStringValue(kHKeyLocalMachine, kUninstallPath + std::string("Probe"), "DisplayName"), "");
}

TEST_F(UninstallRunTest, aWaitLetsTheWindowRepaint)
{
    UninstallTarget t = target("leave");
    t.command = "\"" + std::string(TIDEWELL_TEST_UNINSTALLER) + "\" sleep 300";
    EXPECT_EQ(m_run.run(t), UninstallOutcome::StillPresent);
    EXPECT_GT(m_pumps, 2);
}

TEST_F(UninstallRunTest, aCommandThatCannotStartIsReportedAndRetryTriesAgain)
{
    ScriptedReporter reporter({ ErrorAction::Retry, ErrorAction::Ignore });
    UninstallTarget t = target("leave");
    t.command = "\"" + m_dir.file("missing.exe") + "\" /S";
    EXPECT_EQ(m_run.run(t), UninstallOutcome::NotStarted);
    ASSERT_EQ(reporter.reports.size(), 2u);
    EXPECT_EQ(reporter.reports[0].procedure, "Show_FormUninstall");
    EXPECT_EQ(reporter.reports[0].number, 53);
    EXPECT_TRUE(m_run.uninstallerMissing());
    // The log ends after the "Uninstalling" line.
    EXPECT_EQ(log(), kStart);
}

// Whoever waits with the user may end the wait: the log says how, and the verdict is read as usual.
TEST_F(UninstallRunTest, aWaitThatIsEndedIsLoggedAndJudgedAsUsual)
{
    const std::pair<WaitDecision, std::string> endings[] = {
        { WaitDecision::StopWaiting, "Wait ended by the user. The uninstaller is still running.\r\n" },
        { WaitDecision::EndUninstaller, "Wait ended by the user. The uninstaller's process was ended.\r\n" },
        { WaitDecision::TimedOut, "Wait ended by the time-out. The uninstaller is still running.\r\n" },
    };
    // Short enough that one left running does not outlive the test by much.
    UninstallTarget t = target("leave");
    t.command = "\"" + std::string(TIDEWELL_TEST_UNINSTALLER) + "\" sleep 4000";
    for (const auto& [decision, line] : endings) {
        std::filesystem::remove(m_dir.file("UnLog.log"));
        int polls = 0;
        int overs = 0;
        m_run.setUninstallerWait(
            { [&, decision = decision] { return ++polls < 3 ? WaitDecision::KeepWaiting : decision; },
                [&] { ++overs; } });
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(m_run.run(t), UninstallOutcome::StillPresent);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
        EXPECT_EQ(m_run.waitEnded(), decision);
        EXPECT_EQ(overs, 1);
        EXPECT_EQ(
            log(), kStart + line + "Uninstall Not Successful. Program was not removed from the list.\r\n");
    }
}

// A file that vanished reads as an empty registry, a damaged one as what was read before: neither
// says whether the entry is gone.
TEST_F(UninstallRunTest, aRegistryThatCannotBeReadAfterwardsGivesNoVerdict)
{
    for (const std::string mode : { "delete", "damage" }) {
        std::filesystem::remove(m_dir.file("UnLog.log"));
        std::vector<std::string> told;
        m_run.setTell([&](const std::string& message) { told.push_back(message); });
        UninstallTarget t = target(mode);
        t.command = "\"" + std::string(TIDEWELL_TEST_UNINSTALLER) + "\" " + mode + " \"" + m_file + "\"";
        EXPECT_EQ(m_run.run(t), UninstallOutcome::Unknown) << mode;
        EXPECT_TRUE(log().starts_with(kStart + "Uninstall result unknown. The registry could not be read: "))
            << log();
        ASSERT_EQ(told.size(), 1u);
        EXPECT_TRUE(told[0].starts_with("Tidewell cannot tell whether Probe App was removed")) << told[0];
        test::writeAll(m_file, "WINE REGISTRY Version 2\n");
        m_reg.SaveString(
            kHKeyLocalMachine, kUninstallPath + std::string("Probe"), "DisplayName", "Probe App");
    }
}
