// SPDX-License-Identifier: MIT
// The registry file: changes on disk at once, other writers' changes picked up, nothing lost to a
// second copy of the program or to a crash in the middle of a save. Broken files: BadRegistryFileTest.
#include "registry/HiveRegistry.h"
#include "registry/HiveSet.h"
#include "registry/WriteGate.h"

#include "TestFiles.h"
#include "registry/FileStore.h"
#include "registry/Hive.h"
#include "registry/Registry.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tw;

namespace {

const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string copyOf(const test::TempDir& dir, const std::string& shared)
{
    const std::string file = dir.file("system.reg");
    test::writeAll(file, test::readAll(test::dataPath(shared)));
    return file;
}

pid_t spawnWriter(const std::string& file, const std::string& prefix, int count)
{
    const pid_t pid = fork();
    if (pid == 0) {
        execl(TIDEWELL_HIVE_WRITER, TIDEWELL_HIVE_WRITER, file.c_str(), prefix.c_str(),
            std::to_string(count).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(HivePersistence, aChangeIsOnDiskWhenTheCallReturns)
{
    test::TempDir dir;
    const std::string file = copyOf(dir, "wine/system.reg");
    HiveRegistry first(file);
    ASSERT_FALSE(first.loadError());
    Registry reg(first);
    reg.SaveString(kHKeyLocalMachine, kUninstall + "Fresh", "DisplayName", std::string("Fresh\0", 6));

    // Another copy of the program sees it, and the first sees the other's change in turn.
    HiveRegistry second(file);
    Registry reg2(second);
    EXPECT_EQ(reg2.GetStringValue(kHKeyLocalMachine, kUninstall + "Fresh", "DisplayName"), "Fresh");
    reg2.SaveString(kHKeyLocalMachine, kUninstall + "Fresh", "Publisher", "Other");
    EXPECT_EQ(reg.GetStringValue(kHKeyLocalMachine, kUninstall + "Fresh", "Publisher"), "Other");
    EXPECT_EQ(
        reg.GetStringValue(kHKeyLocalMachine, kUninstall + "TidewellProbe", "DisplayName"), "Tidewell Probe");

    // While its reads are held (a scan), the first reads the state it had; a write of its own still
    // starts from the other's change, and once released it reads the file's state again.
    {
        const ReadHold hold(first);
        reg2.SaveString(kHKeyLocalMachine, kUninstall + "Fresh", "Publisher", "Later");
        EXPECT_EQ(reg.GetStringValue(kHKeyLocalMachine, kUninstall + "Fresh", "Publisher"), "Other");
        reg.SaveString(kHKeyLocalMachine, kUninstall + "Fresh", "Comments", "Mine");
        EXPECT_EQ(reg.GetStringValue(kHKeyLocalMachine, kUninstall + "Fresh", "Publisher"), "Later");
        reg2.SaveString(kHKeyLocalMachine, kUninstall + "Fresh", "Publisher", "Last");
    }
    EXPECT_EQ(reg.GetStringValue(kHKeyLocalMachine, kUninstall + "Fresh", "Publisher"), "Last");
    EXPECT_EQ(reg2.GetStringValue(kHKeyLocalMachine, kUninstall + "Fresh", "Comments"), "Mine");
}

TEST(HivePersistence, savingChangesOnlyTheChangedKeysBlock)
{
    test::TempDir dir;
    const std::string file = copyOf(dir, "wine/system-edge-cases.reg");
    const std::string before = test::readAll(file);
    {
        HiveRegistry hive(file);
        Registry reg(hive);
        reg.SaveString(
            kHKeyLocalMachine, kUninstall + "TidewellProbe", "DisplayVersion", std::string("2.0\0", 4));
    }
    const std::string after = test::readAll(file);
    // The changed key's block is written afresh, yet only its time and the value differ: every other
    // line, in the block and around it, is as it was.
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), std::count(before.begin(), before.end(), '\n'));
    std::istringstream a(before), b(after);
    std::vector<std::string> changed;
    for (std::string la, lb; std::getline(a, la) && std::getline(b, lb);) {
        if (la != lb)
            changed.push_back(lb);
    }
    ASSERT_EQ(changed.size(), 3u);
    EXPECT_EQ(changed[0].rfind(
                  "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\TidewellProbe] ", 0),
        0u);
    EXPECT_EQ(changed[1].rfind("#time=", 0), 0u);
    EXPECT_EQ(changed[2], "\"DisplayVersion\"=\"2.0\"");
}

TEST(HivePersistence, aReadOnlyFileIsNotReplaced)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    test::TempDir dir;
    const std::string file = copyOf(dir, "wine/system-uninstall-excerpt.reg");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    HiveRegistry hive(file);
    RegKey k = 0;
    EXPECT_EQ(hive.RegCreateKeyA(kHKeyLocalMachine, "Software\\New", &k), kErrorAccessDenied);
}

TEST(HivePersistence, twoWritersAtOnceLoseNothing)
{
    test::TempDir dir;
    const std::string file = copyOf(dir, "wine/system-uninstall-excerpt.reg");
    // Three writers, so that one often enters while another is just done renaming.
    constexpr int kCount = 40;
    const std::string writers = "abc";
    std::vector<pid_t> pids;
    for (char w : writers)
        pids.push_back(spawnWriter(file, std::string(1, w), kCount));
    for (pid_t pid : pids)
        ASSERT_EQ(waitFor(pid), 0);
    HiveRegistry hive(file);
    ASSERT_FALSE(hive.loadError());
    Registry reg(hive);
    const ValueCollection values = reg.EnumRegistryValuesEx(kHKeyLocalMachine, "Software\\Tidewell Test");
    EXPECT_EQ(values.size(), writers.size() * kCount);
    for (char w : writers) {
        for (int i = 0; i < kCount; ++i)
            EXPECT_NE(values.find(w + std::to_string(i)), nullptr) << w << i;
    }
}

// Kills a writer at random moments: the file must always parse and hold the values written so far
// in order, never a half-written state.
TEST(HivePersistence, killingAWriterMidSaveNeverLeavesADamagedFile)
{
    test::TempDir dir;
    const std::string file = copyOf(dir, "wine/system-uninstall-excerpt.reg");
    std::mt19937 random(12345);
    int kills = 0;
    int damaged = 0;
    int interruptedWhileWriting = 0;
    // 25 rounds, and more (up to 100) while too few kills came during a save: where they land depends on
    // the machine's load.
    for (int round = 0; round < 25 || ((kills <= 20 || interruptedWhileWriting <= 10) && round < 100);
         ++round) {
        const auto before = filestore::stamp(file);
        const pid_t pid = spawnWriter(file, "r" + std::to_string(round) + "_", 1000);
        // Kill only once the writer is saving: how long it takes to start varies with the machine (much
        // longer under sanitizers), and a kill before its first save proves nothing.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (filestore::stamp(file) == before && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        if (kill(pid, SIGKILL) == 0)
            ++kills;
        waitFor(pid);
        try {
            hive::parseHive(test::readAll(file), file);
            HiveRegistry check(file);
            Registry reg(check);
            const ValueCollection values
                = reg.EnumRegistryValuesEx(kHKeyLocalMachine, "Software\\Tidewell Test");
            // This round's values must be r<round>_0 .. r<round>_k with no gap.
            const std::string prefix = "r" + std::to_string(round) + "_";
            std::set<int> seen;
            for (const auto& v : values) {
                if (v.name.rfind(prefix, 0) == 0)
                    seen.insert(std::stoi(v.name.substr(prefix.size())));
            }
            if (!seen.empty())
                ++interruptedWhileWriting;
            if (!seen.empty() && (*seen.begin() != 0 || *seen.rbegin() != static_cast<int>(seen.size()) - 1))
                ++damaged;
            // Everything that was in the file before is still there.
            EXPECT_EQ(reg.GetStringValue(kHKeyLocalMachine, kUninstall + "TidewellProbe", "DisplayName"),
                "Tidewell Probe");
        } catch (const hive::ParseError& e) {
            ++damaged;
            ADD_FAILURE() << e.text();
        }
    }
    // Each write clears what writers killed before it left behind; the next one clears the last kill's.
    {
        HiveRegistry last(file);
        Registry(last).SaveString(kHKeyLocalMachine, "Software\\Tidewell Test", "after", "x");
    }
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        leftovers += entry.path().filename().string().rfind(".system", 0) == 0;
    EXPECT_EQ(leftovers, 0);
    std::cout << "kills: " << kills << " (" << interruptedWhileWriting
              << " while writing), damaged files: " << damaged << '\n';
    EXPECT_GT(kills, 20);
    EXPECT_GT(interruptedWhileWriting, 10);
    EXPECT_EQ(damaged, 0);
}

namespace {

class ClosedGate : public WriteGate
{
public:
    bool enter() override { return false; }
    void leave() override { }
};

} // namespace

// A prefix's user.reg is kept as system.reg is: a change lands in its own file only, the header's older
// root form stays, another program's change is read, a closed gate or a broken file refuses the write,
// and a missing file reads as empty but is not made.
TEST(HivePersistence, theUsersFileIsKeptAsTheMachinesIs)
{
    test::TempDir dir;
    const std::string system = copyOf(dir, "wine/system.reg");
    const std::string user = dir.file("user.reg");
    const std::string header
        = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n";
    test::writeAll(user, header + "[Software\\\\Wine] 1\n\"Version\"=\"win10\"\n");
    const std::string systemBefore = test::readAll(system);
    auto set = std::make_unique<HiveSet>(
        std::make_unique<HiveRegistry>(system), std::make_unique<HiveRegistry>(user, hive::HiveRoot::User));
    Registry reg(*set);
    ASSERT_EQ(reg.SaveString(kHKeyCurrentUser, kUninstall + "Mine", "DisplayName", "Mine"), kErrorSuccess);
    EXPECT_EQ(test::readAll(system), systemBefore);
    EXPECT_EQ(test::readAll(user).rfind(header, 0), 0u);
    EXPECT_NE(
        test::readAll(user).find("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Mine]"),
        std::string::npos);
    EXPECT_EQ(reg.GetStringValue(kHKeyLocalMachine, kUninstall + "Mine", "DisplayName"), "");

    {
        HiveRegistry other(user, hive::HiveRoot::User);
        Registry(other).SaveString(kHKeyCurrentUser, "Software\\Wine", "Version", "win7");
    }
    EXPECT_EQ(reg.GetStringValue(kHKeyCurrentUser, "Software\\Wine", "Version"), "win7");

    ClosedGate closed;
    set->user().setWriteGate(&closed);
    const std::string userBefore = test::readAll(user);
    EXPECT_EQ(reg.DeleteKey(kHKeyCurrentUser, kUninstall + "Mine"), kErrorLockViolation);
    EXPECT_EQ(test::readAll(user), userBefore);
    EXPECT_EQ(reg.SaveString(kHKeyLocalMachine, "Software\\Tidewell", "x", "y"), kErrorSuccess);
    set->user().setWriteGate(nullptr);

    test::writeAll(user, userBefore + "this is no registry line\n");
    EXPECT_EQ(reg.DeleteKey(kHKeyCurrentUser, kUninstall + "Mine"), kErrorBadDb);
    EXPECT_NE(set->lastFailure().find("user.reg"), std::string::npos);
    EXPECT_EQ(test::readAll(user), userBefore + "this is no registry line\n");

    std::filesystem::remove(user);
    HiveRegistry missing(user, hive::HiveRoot::User);
    EXPECT_FALSE(missing.loadError());
    std::vector<std::string> names;
    Registry(missing).GetKeyNames(kHKeyCurrentUser, "Software", names);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(Registry(missing).SaveString(kHKeyCurrentUser, "Software\\X", "v", "d"), kErrorFileNotFound);
    EXPECT_FALSE(std::filesystem::exists(user));
}
