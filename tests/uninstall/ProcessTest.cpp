// SPDX-License-Identifier: MIT
// Real processes: the stand-in uninstaller built with the tests.
#include "uninstall/Processes.h"

#include "../registry/TestFiles.h"
#include "base/Errors.h"
#include "base/FsPath.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "registry/RegistryFactory.h"

#include <chrono>
#include <thread>

#ifndef _WIN32
#include "ScopedEnvironment.h"
#endif

using namespace tw;

namespace {

std::string quoted(const std::string& s)
{
    return "\"" + s + "\"";
}

// The stand-in uninstaller copied into a folder whose name has spaces.
std::string helperIn(const test::TempDir& dir)
{
    const auto folder = dir.path() / "Program Files" / "Test Uninstaller";
    std::filesystem::create_directories(folder);
    const auto target = folder / std::filesystem::path(TIDEWELL_TEST_UNINSTALLER).filename();
    std::filesystem::copy_file(TIDEWELL_TEST_UNINSTALLER, target);
    return fromFsPath(target);
}

} // namespace

TEST(Processes, startWaitAndReadWhatTheProcessWrote)
{
    test::TempDir dir;
    const std::string helper = helperIn(dir);
    const std::string reg = dir.file("system.reg");
    auto calls = makeProcessCalls(PathMapping());
    const std::uint32_t pid
        = calls->startProcess(quoted(helper) + " set " + quoted(reg) + " \"Software\\Test\" Flag done");
    ASSERT_NE(pid, 0u);
    const ProcessHandle h = calls->OpenProcess(kSynchronize, false, pid);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(calls->WaitForSingleObject(h, kInfinite), kWaitObject0);
    EXPECT_TRUE(calls->CloseHandle(h));
    HiveRegistry hive(reg);
    EXPECT_EQ(Registry(hive).GetStringValue(kHKeyLocalMachine, "Software\\Test", "Flag"), "done");
    EXPECT_EQ(calls->OpenProcess(kSynchronize, false, 0), 0u);
}

// A program that is not there: startProcess raises File not found, WinExec returns it.
TEST(Processes, winExecStartsWithoutWaitingAndAMissingProgramIsFileNotFound)
{
    test::TempDir dir;
    const std::string reg = dir.file("system.reg");
    auto calls = makeProcessCalls(PathMapping());
    try {
        calls->startProcess(quoted(dir.file("no such program.exe")) + " /S");
        ADD_FAILURE() << "started";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::kFileNotFound);
    }
    EXPECT_THROW(calls->startProcess(""), Error);
    EXPECT_GT(
        calls->WinExec(quoted(helperIn(dir)) + " set " + quoted(reg) + " Software\\Test Flag started", 1),
        31u);
    std::string flag;
    for (int i = 0; i < 500 && flag.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (std::filesystem::exists(reg)) {
            HiveRegistry hive(reg);
            flag = Registry(hive).GetStringValue(kHKeyLocalMachine, "Software\\Test", "Flag");
        }
    }
    EXPECT_EQ(flag, "started");
    EXPECT_EQ(calls->WinExec(quoted(dir.file("no such program.exe")), 1), 2u);
}

// Ending a process: a wait that would last a minute ends at once; one that is gone is not ended again,
// as its id may belong to another process by then.
TEST(Processes, anEndedProcessStopsAndIsNotEndedTwice)
{
    auto calls = makeProcessCalls(PathMapping());
    const std::uint32_t pid = calls->startProcess(quoted(TIDEWELL_TEST_UNINSTALLER) + " sleep 60000");
    const ProcessHandle h = calls->OpenProcess(kSynchronize, false, pid);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(calls->WaitForSingleObject(h, 50), kWaitTimeout);
    EXPECT_TRUE(calls->endProcess(pid));
    EXPECT_EQ(calls->WaitForSingleObject(h, 10000), kWaitObject0);
    EXPECT_TRUE(calls->CloseHandle(h));
#ifndef _WIN32
    // Wine still lets a process that has ended be opened and terminated for a while (Windows does not),
    // so the second end is only checked off Windows.
    EXPECT_FALSE(calls->endProcess(pid));
#endif
}

#ifndef _WIN32
// Wine's launcher runs the program as a child: ending the uninstaller ends its process group.
TEST(Processes, endingAProcessEndsWhatItStartedToo)
{
    test::TempDir dir;
    const std::string reg = dir.file("system.reg");
    auto calls = makeProcessCalls(PathMapping());
    const std::uint32_t pid = calls->startProcess(quoted(TIDEWELL_TEST_UNINSTALLER) + " tree " + quoted(reg));
    const ProcessHandle h = calls->OpenProcess(kSynchronize, false, pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(calls->endProcess(pid));
    calls->WaitForSingleObject(h, 10000);
    calls->CloseHandle(h);
    // The child would have written by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_FALSE(std::filesystem::exists(reg));
}

// What starting a command gives: "started", a WineNeededError's text, or an error's number.
std::string startOutcome(ProcessCalls& calls, const std::string& command)
{
    try {
        calls.startProcess(command);
        return "started";
    } catch (const WineNeededError& e) {
        return e.description();
    } catch (const Error& e) {
        return std::to_string(e.number());
    }
}

// A Windows program only Wine could run, and no Wine: the message names the program. A program not in
// a prefix stays File not found, and a native one named .exe still runs.
TEST(Processes, aWindowsProgramWithoutWineSaysWineIsNeeded)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "drive_c");
    test::writeAll(dir.path() / "drive_c" / "setup.exe", std::string("MZ\x90\0", 4));
    std::filesystem::copy_file(TIDEWELL_TEST_UNINSTALLER, dir.path() / "drive_c" / "native.exe");
    const test::ScopedEnvironment noWine("TIDEWELL_WINE", dir.file("no-wine"));
    auto demo = makeProcessCalls(PathMapping(dir.path().string()));
    auto prefix = makeProcessCalls(PathMapping(dir.path().string()), dir.path().string());
    EXPECT_EQ(startOutcome(*demo, "\"C:\\Program Files\\Gone\\uninst.exe\" /S"),
        "C:\\Program Files\\Gone\\uninst.exe is a Windows program: Wine is needed to run it, and Wine is not "
        "installed (no program \""
            + dir.file("no-wine") + "\" was found).");
    EXPECT_TRUE(startOutcome(*prefix, "C:\\setup.exe /S").starts_with("C:\\setup.exe is a Windows program"));
    EXPECT_EQ(startOutcome(*prefix, "\"C:\\Program Files\\Gone\\uninst.exe\""), "53");
    EXPECT_EQ(startOutcome(*demo, "C:\\native.exe leave"), "started");
}

TEST(Processes, windowsPathsAreFoundInThePrefixAndUnquotedSpacesResolved)
{
    test::TempDir dir;
    const auto folder = dir.path() / "drive_c" / "Program Files" / "Test Uninstaller";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(TIDEWELL_TEST_UNINSTALLER, folder / "uninst.exe");
    const std::string reg = dir.file("system.reg");
    auto calls = makeProcessCalls(PathMapping::forRegistryFile(reg));
    // Unquoted, with spaces, in other case, without ".exe": found as CreateProcess would find it.
    const std::uint32_t pid = calls->startProcess(
        "C:\\PROGRAM FILES\\test uninstaller\\UNINST set " + quoted(reg) + " Software\\Test Flag prefix");
    const ProcessHandle h = calls->OpenProcess(kSynchronize, false, pid);
    calls->WaitForSingleObject(h, kInfinite);
    calls->CloseHandle(h);
    HiveRegistry hive(reg);
    EXPECT_EQ(Registry(hive).GetStringValue(kHKeyLocalMachine, "Software\\Test", "Flag"), "prefix");
}
#else
// Under Wine: a real Windows program started with CreateProcessA writes the system's registry.
TEST(Processes, aWindowsProgramChangesTheSystemsRegistry)
{
    if (!test::maySystemRegistryBeWritten())
        GTEST_SKIP() << "writes HKEY_LOCAL_MACHINE: set TIDEWELL_TEST_SYSTEM_REGISTRY=1 as an administrator";
    test::TempDir dir;
    auto calls = makeProcessCalls(PathMapping());
    const std::uint32_t pid = calls->startProcess(
        quoted(helperIn(dir)) + " set - \"Software\\Tidewell Process Test\" Flag written");
    const ProcessHandle h = calls->OpenProcess(kSynchronize, false, pid);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(calls->WaitForSingleObject(h, kInfinite), kWaitObject0);
    calls->CloseHandle(h);
    auto api = makeSystemRegistry();
    Registry reg(*api);
    EXPECT_EQ(reg.GetStringValue(kHKeyLocalMachine, "Software\\Tidewell Process Test", "Flag"), "written");
    reg.DeleteKey(kHKeyLocalMachine, "Software\\Tidewell Process Test");
}
#endif
