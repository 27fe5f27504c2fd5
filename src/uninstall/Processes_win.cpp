// SPDX-License-Identifier: MIT
#include "uninstall/Processes.h"

#include "base/Errors.h"
#include "base/Text.h"

#include <windows.h>

namespace tw {
namespace {

class WinProcessCalls : public ProcessCalls
{
public:
    std::uint32_t startProcess(const std::string& commandLine) override
    {
        STARTUPINFOA si {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION pi {};
        std::string line = text::utf8ToAnsi(commandLine);
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            throw Error(errc::kFileNotFound, "File not found");
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return pi.dwProcessId;
    }

    ProcessHandle OpenProcess(
        std::uint32_t desiredAccess, bool inheritHandle, std::uint32_t processId) override
    {
        return reinterpret_cast<ProcessHandle>(::OpenProcess(desiredAccess, inheritHandle, processId));
    }

    std::uint32_t WaitForSingleObject(ProcessHandle handle, std::uint32_t milliseconds) override
    {
        return ::WaitForSingleObject(reinterpret_cast<HANDLE>(handle), milliseconds);
    }

    bool CloseHandle(ProcessHandle handle) override
    {
        return ::CloseHandle(reinterpret_cast<HANDLE>(handle));
    }

    bool endProcess(std::uint32_t processId) override
    {
        // The handle the wait holds keeps the id from passing to another process meanwhile.
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (!process)
            return false;
        // One that has ended already is not ended again.
        const bool ended
            = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT && ::TerminateProcess(process, 1) != 0;
        ::CloseHandle(process);
        return ended;
    }

    std::uint32_t WinExec(const std::string& commandLine, int showCommand) override
    {
        return ::WinExec(text::utf8ToAnsi(commandLine).c_str(), static_cast<UINT>(showCommand));
    }
};

} // namespace

std::unique_ptr<ProcessCalls> makeProcessCalls(const PathMapping&, const std::string&, WineRun)
{
    return std::make_unique<WinProcessCalls>();
}

LiveValue wineRegistryValue(const std::string&, const std::string&, const std::string&, const std::string&)
{
    return {}; // no Wine on Windows
}

} // namespace tw
