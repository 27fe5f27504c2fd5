// SPDX-License-Identifier: MIT
// Off Windows a Windows command line is split by the Windows rules and started without a shell.
#include "uninstall/Processes.h"

#include "app/Errors.h"
#include "uninstall/CommandLine.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <map>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tw {
namespace {

class PosixProcessCalls : public ProcessCalls
{
public:
    explicit PosixProcessCalls(PathMapping paths)
        : m_paths(std::move(paths))
    { }

    ~PosixProcessCalls() override
    {
        // Processes started and never waited for are reaped when they end, not left as zombies.
        for (const auto& [pid, state] : m_started) {
            if (state >= 0)
                std::thread([pid = pid] { waitpid(pid, nullptr, 0); }).detach();
        }
    }

    std::uint32_t startProcess(const std::string& commandLine) override
    {
        const pid_t pid = spawn(commandLine);
        m_started.emplace(pid, 0);
        return static_cast<std::uint32_t>(pid);
    }

    ProcessHandle OpenProcess(std::uint32_t, bool, std::uint32_t processId) override
    {
        const auto pid = static_cast<pid_t>(processId);
        if (pid <= 0)
            return 0;
        // Only a process this program started can be waited for here; one that is gone cannot be opened.
        const auto it = m_started.find(pid);
        if (it == m_started.end() || (it->second < 0))
            return 0;
        ++it->second;
        const ProcessHandle h = m_nextHandle;
        m_nextHandle += 4;
        m_handles.emplace(h, pid);
        return h;
    }

    std::uint32_t WaitForSingleObject(ProcessHandle handle, std::uint32_t milliseconds) override
    {
        const auto it = m_handles.find(handle);
        if (it == m_handles.end())
            return kWaitFailed;
        const pid_t pid = it->second;
        auto started = m_started.find(pid);
        if (started != m_started.end() && started->second < 0)
            return kWaitObject0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            int status = 0;
            const pid_t r = waitpid(pid, &status, milliseconds == kInfinite ? 0 : WNOHANG);
            if (r == pid || (r < 0 && errno == ECHILD)) {
                if (started != m_started.end())
                    started->second = -1;
                return kWaitObject0;
            }
            if (r < 0 && errno != EINTR)
                return kWaitFailed;
            if (milliseconds != kInfinite) {
                if (std::chrono::steady_clock::now() >= deadline)
                    return kWaitTimeout;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }

    bool CloseHandle(ProcessHandle handle) override { return m_handles.erase(handle) > 0; }

    std::uint32_t WinExec(const std::string& commandLine, int) override
    {
        try {
            const pid_t pid = spawn(commandLine);
            std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
            return 33;
        } catch (const Error&) {
            return 2; // ERROR_FILE_NOT_FOUND, as WinExec reports it
        }
    }

private:
    pid_t spawn(const std::string& commandLine)
    {
        const SplitCommand cmd
            = splitCommandLine(commandLine, [this](const std::string& p) { return isFile(p); });
        const std::string program = m_paths.resolve(cmd.program);
        if (program.empty() || !isFile(cmd.program))
            throw Error(errc::kFileNotFound, "File not found");
        std::vector<std::string> args { program };
        args.insert(args.end(), cmd.arguments.begin(), cmd.arguments.end());
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        const int rc = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
        if (rc != 0)
            throw Error(errc::kFileNotFound, "File not found");
        return pid;
    }

    bool isFile(const std::string& path) const
    {
        const std::string local = m_paths.resolve(path);
        struct stat st
        {
        };
        return !local.empty() && ::stat(local.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }

    PathMapping m_paths;
    // Started processes: how many handles are open, or -1 once the process has ended and was reaped.
    std::map<pid_t, int> m_started;
    std::map<ProcessHandle, pid_t> m_handles;
    ProcessHandle m_nextHandle = 0x100;
};

} // namespace

std::unique_ptr<ProcessCalls> makeProcessCalls(const PathMapping& paths)
{
    return std::make_unique<PosixProcessCalls>(paths);
}

} // namespace tw
