// SPDX-License-Identifier: MIT
#pragma once

#include "base/Errors.h"
#include "inventory/PathMapping.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tw {

using ProcessHandle = std::uintptr_t;

inline constexpr std::uint32_t kSynchronize = 0x00100000;
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;

// Starting and waiting for processes, with the Windows calls' meanings.
class ProcessCalls
{
public:
    virtual ~ProcessCalls() = default;
    // Starts a command line in a normal, focused window; returns the process id. A command that cannot
    // be started throws tw::Error (53, "File not found").
    virtual std::uint32_t startProcess(const std::string& commandLine) = 0;
    // 0 when the process cannot be opened.
    virtual ProcessHandle OpenProcess(
        std::uint32_t desiredAccess, bool inheritHandle, std::uint32_t processId)
        = 0;
    virtual std::uint32_t WaitForSingleObject(ProcessHandle handle, std::uint32_t milliseconds) = 0;
    virtual bool CloseHandle(ProcessHandle handle) = 0;
    // Ends a process startProcess started, at once, as TerminateProcess does; off Windows the whole
    // process group it leads goes with it (Wine's launcher and the program it runs, the helpers it
    // started). False when it could not be ended or had already ended.
    virtual bool endProcess(std::uint32_t processId) = 0;
    // Starts a command line without waiting for it; a value above 31 on success.
    virtual std::uint32_t WinExec(const std::string& commandLine, int showCommand) = 0;
};

// A command names a Windows program, only Wine can run it here, and Wine is not installed. It counts as
// File not found for callers that treat every failure to start alike; the text names the program.
class WineNeededError : public Error
{
public:
    WineNeededError(const std::string& program, const std::string& wine)
        : Error(errc::kFileNotFound,
            program
                + " is a Windows program: Wine is needed to run it, and Wine is not installed (no program \""
                + wine + "\" was found).")
    { }
};

// Which Wine starts programs in a prefix: the program TIDEWELL_WINE names, else the prefix's own (the
// Wine of the front-end that made it), else "wine" on the PATH.
struct WineRun
{
    std::string program; // the prefix's own Wine; empty: none is known
    // Asked before "wine" on the PATH starts a program where it may harm the prefix; false: nothing is
    // started. Empty: not asked.
    std::function<bool()> mayUseSystemWine;
};

// The platform's processes. Windows paths in a command line are looked up through `paths`. With a Wine
// prefix, commands are started through Wine in that prefix, split by the Windows rules and passed as
// arguments; a start the user declines (see WineRun) starts nothing: startProcess returns 0.
std::unique_ptr<ProcessCalls> makeProcessCalls(
    const PathMapping& paths, const std::string& winePrefix = {}, WineRun wine = {});

// A value of the registry a Wine prefix's running server holds (HKEY_LOCAL_MACHINE\path), read through
// Wine's own reg tool.
struct LiveValue
{
    bool answered = false; // false: Wine could not be asked
    bool found = false;
    std::string text;
};
// `wine` is the prefix's own Wine, as in WineRun.
LiveValue wineRegistryValue(const std::string& winePrefix, const std::string& path,
    const std::string& valueName, const std::string& wine = {});

} // namespace tw
