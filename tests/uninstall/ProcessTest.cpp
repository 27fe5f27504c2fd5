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

#ifndef _WIN32
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
