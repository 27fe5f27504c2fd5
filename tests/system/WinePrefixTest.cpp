// SPDX-License-Identifier: MIT
// A Wine prefix's server seen from outside: its lock tells whether it runs and keeps writes out while it
// does; the 32-bit view; commands started through Wine; the uninstall verdict waiting for the server.
#include "system/WineServer.h"

#include "../base/PinnedClock.h"
#include "../base/ScriptedReporter.h"
#include "../registry/TestFiles.h"
#include "StandInServer.h"
#include "base/Errors.h"
#include "inventory/Inventory.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "registry/RegistryView.h"
#include "session/OpenRegistry.h"
#include "uninstall/Processes.h"
#include "uninstall/UninstallRun.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tw;

namespace {

// A prefix as Debian's Wine leaves it: drive_c, a registry, and the name of its server's base folder.
struct FakePrefix
{
    test::TempDir dir;
    std::string prefix = dir.file("prefix");
    std::string temp = dir.file("tmp");
    std::string serverFolder;

    FakePrefix()
    {
        std::filesystem::create_directories(prefix + "/drive_c/windows/system32");
        std::filesystem::create_directories(temp);
        test::writeAll(prefix + "/wineserver", "wine-Test01");
        test::writeAll(
            prefix + "/system.reg", test::readAll(test::dataPath("wine/system-uninstall-excerpt.reg")));
        struct stat st = {};
        ::stat(prefix.c_str(), &st);
        char leaf[64];
        std::snprintf(leaf, sizeof leaf, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
            static_cast<unsigned long long>(st.st_ino));
        serverFolder = temp + "/wine-Test01/" + leaf;
    }

    void makeServerFolder() const
    {
        std::filesystem::create_directories(serverFolder);
        test::writeAll(serverFolder + "/lock", "");
    }
};

} // namespace

TEST(WineServer, looksWhereDebianAndUpstreamPutTheServerFolder)
{
    FakePrefix p;
    WineServer server(p.prefix, p.temp);
    const auto folders = server.serverFolders();
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], p.serverFolder);
    EXPECT_EQ(folders[1], "/tmp/wine-Test01/" + std::filesystem::path(p.serverFolder).filename().string());
    EXPECT_EQ(folders[2].rfind("/tmp/.wine-" + std::to_string(getuid()) + "/server-", 0), 0u);

    // A name that is not a plain folder name is not followed anywhere.
    test::writeAll(p.prefix + "/wineserver", "../../etc");
    EXPECT_EQ(WineServer(p.prefix, p.temp).serverFolders().size(), 1u);

    // A server started with another TMPDIR is found by the folder it works in (here the only other one).
    const std::string elsewhere
        = p.dir.file("other-tmp/wine-Test01/") + std::filesystem::path(p.serverFolder).filename().string();
    std::filesystem::create_directories(elsewhere);
    const std::string fakeServer = p.dir.file("wineserver");
    std::filesystem::copy_file("/bin/sleep", fakeServer);
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(elsewhere.c_str()) == 0)
            execl(fakeServer.c_str(), "wineserver", "10", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::vector<std::string> seen;
    for (int i = 0; i < 200 && seen.size() < 2; ++i) {
        seen = WineServer(p.prefix, p.temp).serverFolders();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(seen.back(), elsewhere);

    EXPECT_TRUE(WineServer::isPrefixRegistry(p.prefix + "/system.reg"));
    EXPECT_FALSE(WineServer::isPrefixRegistry(p.dir.file("system.reg")));
}

TEST(WineServer, aRunningServerKeepsEveryWriteOutAndTheFileUntouched)
{
    FakePrefix p;
    WineServer server(p.prefix, p.temp);
    // Never run since the machine started: no lock file, nothing running, writes go ahead.
    EXPECT_FALSE(server.running());
    EXPECT_TRUE(server.enter());
    server.leave();

    p.makeServerFolder();
    HiveRegistry hive(p.prefix + "/system.reg");
    hive.setWriteGate(&server);
    Registry reg(hive);
    const std::string before = test::readAll(p.prefix + "/system.reg");
    {
        test::StandInServer wine(p.serverFolder + "/lock");
        ASSERT_TRUE(wine.locked());
        EXPECT_TRUE(server.running());
        EXPECT_FALSE(server.enter());
        reg.SaveString(kHKeyLocalMachine, kUninstallPath + std::string("New"), "DisplayName", "New");
        const auto key = kUninstallPath + std::string("TidewellProbe");
        EXPECT_EQ(hive.RegDeleteKeyA(kHKeyLocalMachine, key.c_str()), kErrorLockViolation);
        EXPECT_EQ(test::readAll(p.prefix + "/system.reg"), before);
        EXPECT_TRUE(WriteHold(&server).refused());
    }
    EXPECT_FALSE(server.running());
    reg.SaveString(kHKeyLocalMachine, kUninstallPath + std::string("New"), "DisplayName", "New");
    EXPECT_EQ(
        reg.GetStringValue(kHKeyLocalMachine, kUninstallPath + std::string("New"), "DisplayName"), "New");
}

// Here the prefix has not run since start-up: the hold first makes the lock file, so that a server
// starting during the write finds the lock taken and waits for it.
TEST(WineServer, aWriteHoldsAStartingServerOffAndLetsGoAfterwards)
{
    FakePrefix p;
    WineServer server(p.prefix, p.temp);
    const std::string lock = p.serverFolder + "/lock";
    ASSERT_FALSE(std::filesystem::exists(p.serverFolder));
    {
        const WriteHold outer(&server);
        ASSERT_FALSE(outer.refused());
        {
            const WriteHold inner(&server); // a write inside a dialog's hold
            EXPECT_FALSE(inner.refused());
            // Looking whether a server runs must not drop the hold.
            EXPECT_FALSE(server.running());
        }
        // Wine's tools see this process as the owner (a lock with no owner would have wineserver -k
        // signal every process), and the interrupt it sends does not end a write halfway.
        EXPECT_EQ(test::lockOwnerSeenByOthers(lock), getpid());
        kill(getpid(), SIGINT);
    }
    EXPECT_EQ(test::lockOwnerSeenByOthers(lock), 0);
    // The folder is made as the server makes it: its own, for its owner only.
    EXPECT_EQ(std::filesystem::status(p.serverFolder).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_all);
}

TEST(WineServer, aRelativePrefixOrFileIsMadeAbsoluteForWine)
{
    FakePrefix p;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(p.prefix);
    const OpenedRegistry byFile = openRegistry(RegistryRequest("system.reg"), p.dir.path().string());
    std::filesystem::current_path(p.dir.path());
    RegistryRequest byPrefixRequest;
    byPrefixRequest.prefix = "prefix/";
    const OpenedRegistry byPrefix = openRegistry(byPrefixRequest, p.dir.path().string());
    std::filesystem::current_path(before);
    for (const OpenedRegistry* opened : { &byFile, &byPrefix }) {
        ASSERT_TRUE(opened->server);
        EXPECT_EQ(opened->prefix, p.prefix);
        EXPECT_EQ(opened->file, p.prefix + "/system.reg");
        // The server folder is found from the absolute prefix.
        EXPECT_EQ(std::filesystem::path(opened->server->serverFolders().front()).filename(),
            std::filesystem::path(p.serverFolder).filename());
    }
}

TEST(RegistryView, aThirtyTwoBitProgramSeesTheWow6432NodeEntries)
{
    EXPECT_EQ(RegistryView::redirect32("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X"),
        "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X");
    EXPECT_EQ(RegistryView::redirect32("software"), "software\\Wow6432Node");
    EXPECT_EQ(RegistryView::redirect32("Software\\wow6432node\\A"), "Software\\wow6432node\\A");
    EXPECT_EQ(RegistryView::redirect32("Software\\Classes\\CLSID"), "Software\\Classes\\CLSID");
    EXPECT_EQ(RegistryView::redirect32("SoftwareX\\A"), "SoftwareX\\A");

    test::TempDir dir;
    const std::string file = dir.file("system.reg");
    test::writeAll(file, test::readAll(test::dataPath("wine/system-edge-cases.reg")));
    HiveRegistry hive(file);
    RegistryView view(hive);
    Registry reg(view);
    const auto names = [&] {
        std::vector<std::string> n;
        reg.GetKeyNames(kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", n);
        return n;
    };
    const std::string probe = kUninstallPath + std::string("TidewellProbe");
    EXPECT_EQ(reg.GetStringValue(kHKeyLocalMachine, probe, "DisplayName"), "Tidewell Probe");
    EXPECT_EQ(names().size(), 11u);
    view.setWow32(true);
    EXPECT_EQ(names(), (std::vector<std::string> { "TidewellProbe", "TidewellProbe32" }));
    EXPECT_NE(reg.GetStringValue(kHKeyLocalMachine, probe, "DisplayName"), "Tidewell Probe");
    // What the view writes lands where a 32-bit program would have written it.
    reg.SaveString(kHKeyLocalMachine, kUninstallPath + std::string("New32"), "DisplayName", "New");
    view.setWow32(false);
    EXPECT_EQ(
        reg.GetStringValue(kHKeyLocalMachine,
            "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\New32", "DisplayName"),
        "New");
    EXPECT_EQ(names().size(), 11u);

    // A registry with one view (32-bit Windows, a 32-bit Wine prefix): both kinds of program see it.
    test::writeAll(file, test::readAll(test::dataPath("wine/system-uninstall-excerpt.reg")));
    HiveRegistry single(file);
    Registry singleReg(single);
    ASSERT_TRUE(deleteKeyTree(singleReg, "Software\\Wow6432Node"));
    RegistryView oneView(single);
    oneView.setWow32(true);
    EXPECT_FALSE(oneView.redirects());
    EXPECT_EQ(Registry(oneView).GetStringValue(kHKeyLocalMachine, probe, "DisplayName"), "Tidewell Probe");
}

namespace {

// A stand-in for wine: records its arguments and WINEPREFIX, or answers like Wine's reg tool.
class FakeWine
{
public:
    explicit FakeWine(const std::string& script)
    {
        test::writeAll(m_program, "#!/bin/sh\n" + script);
        std::filesystem::permissions(m_program, std::filesystem::perms::owner_all);
        setenv("TIDEWELL_WINE", m_program.c_str(), 1);
    }
    ~FakeWine() { unsetenv("TIDEWELL_WINE"); }
    std::string record() const { return m_dir.file("record"); }

private:
    test::TempDir m_dir;
    std::string m_program = m_dir.file("wine");
};

std::string waitForFile(const std::string& file)
{
    for (int i = 0; i < 400 && !std::filesystem::exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return test::readAll(file);
}

} // namespace

TEST(WineProcesses, commandsStartThroughWineInThePrefixWithTheirWindowsArguments)
{
    FakePrefix p;
    std::filesystem::create_directories(p.prefix + "/drive_c/Program Files/App");
    test::writeAll(p.prefix + "/drive_c/Program Files/App/uninst.exe", "MZ");
    test::writeAll(p.prefix + "/drive_c/windows/system32/msiexec.exe", "MZ");
    test::TempDir out;
    const std::string record = out.file("record");
    FakeWine wine("printf '%s\\n' \"$WINEPREFIX\" \"$@\" > '" + record + ".part' && mv '" + record
        + ".part' '" + record + "'\n");
    auto calls = makeProcessCalls(PathMapping(p.prefix), p.prefix);

    // Unquoted, with spaces: split where the file exists, as Windows does; the program stays a Windows path.
    calls->WinExec("C:\\Program Files\\App\\uninst.exe /S \"_?=C:\\Program Files\\App\"", 1);
    EXPECT_EQ(waitForFile(record),
        p.prefix + "\nC:\\Program Files\\App\\uninst.exe\n/S\n_?=C:\\Program Files\\App\n");
    std::filesystem::remove(record);
    // A bare name is one of Wine's system programs.
    calls->WinExec("MsiExec.exe /X{7F3B0C1E-1D2A-4C5B-9E8F-0123456789AB}", 1);
    EXPECT_EQ(waitForFile(record), p.prefix + "\nMsiExec.exe\n/X{7F3B0C1E-1D2A-4C5B-9E8F-0123456789AB}\n");

    // A program that is not in the prefix cannot be started, as on Windows.
    try {
        calls->startProcess("\"C:\\Program Files\\Gone\\uninst.exe\" /S");
        ADD_FAILURE() << "started a missing program";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::kFileNotFound);
    }
    EXPECT_EQ(calls->WinExec("nothing-here.exe", 1), 2u);
}

TEST(WineProcesses, theLiveValueIsReadFromWinesRegTool)
{
    const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X";
    {
        FakeWine wine("[ \"$1 $2 $3 $4 $5\" = 'reg query HKEY_LOCAL_MACHINE\\" + key
            + " /v DisplayName' ] || exit 7\n"
              "printf '\\r\\nHKEY_LOCAL_MACHINE\\\\X\\r\\n    DisplayName    REG_SZ    Two  spaces "
              "\\r\\n\\r\\n'\n");
        const LiveValue v = wineRegistryValue("/p", key, "DisplayName");
        EXPECT_TRUE(v.answered);
        EXPECT_TRUE(v.found);
        EXPECT_EQ(v.text, "Two  spaces ");
    }
    {
        FakeWine wine("echo 'reg: Unable to find the specified registry key'\nexit 1\n");
        const LiveValue v = wineRegistryValue("/p", key, "DisplayName");
        EXPECT_TRUE(v.answered);
        EXPECT_FALSE(v.found);
    }
    {
        FakeWine wine("exit 3\n");
        EXPECT_FALSE(wineRegistryValue("/p", key, "DisplayName").answered);
    }
}

// A prefix a front-end made runs with that front-end's Wine; the system's starts there only once the
// user agrees, and a Wine named in TIDEWELL_WINE goes before both.
TEST(WineProcesses, thePrefixsOwnWineOrTheSystemsOnceTheUserAgrees)
{
    FakePrefix p;
    test::writeAll(p.prefix + "/drive_c/u.exe", "MZ");
    test::TempDir bin;
    const std::string record = bin.file("record");
    const auto fakeWine = [&](const std::string& name) {
        test::writeAll(bin.file(name), "#!/bin/sh\necho " + name + " > '" + record + "'\n");
        std::filesystem::permissions(bin.file(name), std::filesystem::perms::owner_all);
        return bin.file(name);
    };
    const std::string own = fakeWine("own");
    fakeWine("wine"); // the system's, first on the PATH
    const std::string path = std::getenv("PATH");
    setenv("PATH", (bin.path().string() + ":" + path).c_str(), 1);
    const auto ran = [&](ProcessCalls& calls) {
        std::filesystem::remove(record);
        const std::uint32_t pid = calls.startProcess("C:\\u.exe");
        if (pid == 0)
            return std::string("nothing");
        const ProcessHandle handle = calls.OpenProcess(kSynchronize, false, pid);
        calls.WaitForSingleObject(handle, kInfinite);
        calls.CloseHandle(handle);
        return test::readAll(record);
    };
    int asked = 0;
    bool yes = false;
    const auto ask = [&] {
        ++asked;
        return yes;
    };

    EXPECT_EQ(ran(*makeProcessCalls(PathMapping(p.prefix), p.prefix, { own, ask })), "own\n");
    auto calls = makeProcessCalls(PathMapping(p.prefix), p.prefix, { {}, ask });
    EXPECT_EQ(ran(*calls), "nothing");
    yes = true;
    EXPECT_EQ(ran(*calls), "wine\n");
    EXPECT_EQ(ran(*calls), "wine\n"); // a yes holds for the prefix
    EXPECT_EQ(asked, 2);
    {
        FakeWine named("echo named > '" + record + "'\n");
        EXPECT_EQ(ran(*makeProcessCalls(PathMapping(p.prefix), p.prefix, { own, ask })), "named\n");
        EXPECT_EQ(ran(*makeProcessCalls(PathMapping(p.prefix), p.prefix, { {}, ask })), "named\n");
    }
    EXPECT_EQ(asked, 2);
    setenv("PATH", path.c_str(), 1);
}

// The uninstaller has ended but the server runs on: the verdict waits for it (the file is written only
// when it exits), or comes from the server itself when the user asks for it now.
TEST(WineUninstall, theVerdictWaitsForTheServerOrAsksItWhenTheUserWillNotWait)
{
    FakePrefix p;
    p.makeServerFolder();
    WineServer server(p.prefix, p.temp);
    const std::string file = p.prefix + "/system.reg";
    HiveRegistry hive(file);
    Registry reg(hive);
    auto processes = makeProcessCalls(PathMapping());
    const Clock clock = test::pinnedClock();
    const UninstallTarget target { "TidewellProbe", "Tidewell Probe",
        "\"" + std::string(TIDEWELL_TEST_UNINSTALLER) + "\" leave" };

    // The user asks on the third look: the running server says the entry is gone, though the file
    // still has it.
    std::atomic<int> calls = 0;
    bool judgeNow = true;
    WineSide side;
    side.server = &server;
    side.whileServerRuns = [&] { return ++calls == 3 && judgeNow; };
    side.liveDisplayName = [](const std::string& key) -> std::optional<std::string> {
        return key == "TidewellProbe" ? "" : "?";
    };
    UninstallRun run(reg, *processes, p.dir.file("UnLog.log"), clock, {}, side);
    {
        test::StandInServer wine(p.serverFolder + "/lock");
        EXPECT_EQ(run.run(target), UninstallOutcome::Removed);
        EXPECT_EQ(calls, 3);
    }

    // Waiting: the server writes the registry as it exits, and only then is the file read. It exits once
    // the run has looked at it a few times, however long the uninstaller took to start and end.
    calls = 0;
    judgeNow = false;
    test::StandInServer wine(p.serverFolder + "/lock");
    std::thread exitLater([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (calls < 3 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        HiveRegistry other(file);
        Registry(other).DeleteKey(kHKeyLocalMachine, kUninstallPath + std::string("TidewellProbeLeftover"));
        wine.stop();
    });
    const UninstallOutcome outcome
        = run.run({ "TidewellProbeLeftover", "Tidewell Probe (leaves its key)", target.command });
    exitLater.join();
    EXPECT_EQ(outcome, UninstallOutcome::Removed);
    EXPECT_GT(calls, 2);
}
