// SPDX-License-Identifier: MIT
// Off Windows a Windows command line is split by the Windows rules and started without a shell.
#include "uninstall/Processes.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "uninstall/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tw {
namespace {

// The Wine named explicitly (TIDEWELL_WINE), else the prefix's own, else empty: "wine" on the PATH.
std::string chosenWine(const std::string& own)
{
    const char* named = std::getenv("TIDEWELL_WINE");
    return named && *named ? named : own;
}

// The wine program; "wine" is found on the PATH by posix_spawnp.
std::string wineProgram(const std::string& own)
{
    const std::string chosen = chosenWine(own);
    return chosen.empty() ? "wine" : chosen;
}

// Whether the wine program can be started: a path that is an executable file, or a name found so on
// the PATH, as posix_spawnp looks for it.
bool wineInstalled(const std::string& wine)
{
    auto runnable = [](const std::string& file) {
        struct stat st
        {
        };
        return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) == 0;
    };
    if (wine.find('/') != std::string::npos)
        return runnable(wine);
    const char* path = std::getenv("PATH");
    const std::string folders = path ? path : "/bin:/usr/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string folder = end == start ? "." : folders.substr(start, end - start);
        if (runnable(folder + "/" + wine))
            return true;
        start = end + 1;
    }
    return false;
}

// A file that starts as every Windows program (PE file) does.
bool startsAsWindowsProgram(const std::string& localFile)
{
    char magic[2] = {};
    std::ifstream in(localFile, std::ios::binary);
    return in.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

bool hasWindowsProgramExtension(const std::string& name)
{
    const auto slash = name.find_last_of("\\/");
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    std::string extension = name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* known : { ".exe", ".com", ".bat", ".cmd", ".msi", ".scr", ".pif" }) {
        if (extension == known)
            return true;
    }
    return false;
}

// The Windows program a command names when nothing it names is there: the words up to the first that
// ends as a program's name does (unquoted spaces read as Windows reads them); empty when none does.
std::string namedWindowsProgram(const std::string& commandLine)
{
    const SplitCommand named = splitCommandLine(commandLine, [&](const std::string& name) {
        // Only names the command holds, not the ones the search makes up by adding ".exe".
        return hasWindowsProgramExtension(name) && commandLine.find(name) != std::string::npos;
    });
    return hasWindowsProgramExtension(named.program) ? named.program : std::string();
}

// This process's environment with WINEPREFIX set to `prefix`.
std::vector<std::string> environmentFor(const std::string& prefix)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "WINEPREFIX=", 11) != 0)
            env.emplace_back(*e);
    }
    env.push_back("WINEPREFIX=" + prefix);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> p;
    for (auto& s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

class PosixProcessCalls : public ProcessCalls
{
public:
    PosixProcessCalls(PathMapping paths, std::string winePrefix, WineRun wine)
        : m_paths(std::move(paths))
        , m_winePrefix(std::move(winePrefix))
        , m_wine(std::move(wine))
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
        // In a process group of its own, so that ending it ends what it started too.
        const pid_t pid = spawn(commandLine, true);
        if (pid == 0)
            return 0;
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

    bool endProcess(std::uint32_t processId) override
    {
        const auto pid = static_cast<pid_t>(processId);
        // Only a process of ours that has not been reaped: its id cannot have passed to another.
        const auto it = m_started.find(pid);
        if (pid <= 0 || it == m_started.end() || it->second < 0)
            return false;
        const bool group = ::kill(-pid, SIGKILL) == 0;
        // A leader that moved to a group of its own is not in the one named after it.
        const bool leader = ::kill(pid, SIGKILL) == 0;
        return group || leader;
    }

    std::uint32_t WinExec(const std::string& commandLine, int) override
    {
        try {
            const pid_t pid = spawn(commandLine, false);
            if (pid == 0)
                return 0;
            std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
            return 33;
        } catch (const Error&) {
            return 2; // ERROR_FILE_NOT_FOUND, as WinExec reports it
        }
    }

private:
    // Spawn attributes: a process group of its own, or the default.
    struct Attributes
    {
        explicit Attributes(bool ownGroup)
        {
            posix_spawnattr_init(&attr);
            if (ownGroup) {
                posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
                posix_spawnattr_setpgroup(&attr, 0);
            }
        }
        ~Attributes() { posix_spawnattr_destroy(&attr); }
        Attributes(const Attributes&) = delete;
        Attributes& operator=(const Attributes&) = delete;
        posix_spawnattr_t attr;
    };

    // 0 when the user declined the start.
    pid_t spawn(const std::string& commandLine, bool ownGroup)
    {
        const SplitCommand cmd
            = splitCommandLine(commandLine, [this](const std::string& p) { return isFile(p); });
        Attributes attributes(ownGroup);
        if (!m_winePrefix.empty())
            return spawnThroughWine(cmd, attributes);
        const std::string program = m_paths.resolve(cmd.program);
        const bool exists = !program.empty() && isFile(cmd.program);
        // Here only an installed Wine could run a Windows program; without one, that is what the user
        // must hear, not that a file is missing.
        if (!wineInstalled(wineProgram(m_wine.program))) {
            const std::string windows = exists
                ? (startsAsWindowsProgram(program) ? cmd.program : std::string())
                : namedWindowsProgram(commandLine);
            if (!windows.empty())
                throw WineNeededError(windows, wineProgram(m_wine.program));
        }
        if (!exists)
            throw Error(errc::kFileNotFound, "File not found");
        std::vector<std::string> args { program };
        args.insert(args.end(), cmd.arguments.begin(), cmd.arguments.end());
        auto argv = pointers(args);
        pid_t pid = 0;
        const int rc = posix_spawn(&pid, program.c_str(), nullptr, &attributes.attr, argv.data(), environ);
        if (rc != 0)
            throw Error(errc::kFileNotFound, "File not found");
        return pid;
    }

    // Wine is handed the program as the command names it (a Windows path, or a bare name Wine finds in
    // the system folders, as MsiExec.exe); a program that is not in the prefix fails here, as
    // CreateProcess would, rather than as a message from Wine.
    pid_t spawnThroughWine(const SplitCommand& cmd, Attributes& attributes)
    {
        if (!isFile(cmd.program) && !isSystemProgram(cmd.program))
            throw Error(errc::kFileNotFound, "File not found");
        // Asked once: a yes holds for every later start in this prefix.
        if (chosenWine(m_wine.program).empty() && m_wine.mayUseSystemWine) {
            if (!m_wine.mayUseSystemWine())
                return 0;
            m_wine.mayUseSystemWine = nullptr;
        }
        const std::string wine = wineProgram(m_wine.program);
        if (!wineInstalled(wine))
            throw WineNeededError(cmd.program, wine);
        std::vector<std::string> args { wine, cmd.program };
        args.insert(args.end(), cmd.arguments.begin(), cmd.arguments.end());
        std::vector<std::string> env = environmentFor(m_winePrefix);
        auto argv = pointers(args);
        auto envp = pointers(env);
        pid_t pid = 0;
        if (posix_spawnp(&pid, wine.c_str(), nullptr, &attributes.attr, argv.data(), envp.data()) != 0)
            throw Error(errc::kFileNotFound, "File not found");
        return pid;
    }

    bool isSystemProgram(const std::string& name) const
    {
        if (name.empty() || name.find_first_of("\\/:") != std::string::npos)
            return false;
        const bool hasExtension = name.find('.') != std::string::npos;
        for (const char* folder : { "C:\\windows\\system32\\", "C:\\windows\\" }) {
            if (isFile(folder + name) || (!hasExtension && isFile(folder + name + ".exe")))
                return true;
        }
        return false;
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
    std::string m_winePrefix;
    WineRun m_wine;
    // Started processes: how many handles are open, or -1 once the process has ended and was reaped.
    std::map<pid_t, int> m_started;
    std::map<ProcessHandle, pid_t> m_handles;
    ProcessHandle m_nextHandle = 0x100;
};

} // namespace

std::unique_ptr<ProcessCalls> makeProcessCalls(
    const PathMapping& paths, const std::string& winePrefix, WineRun wine)
{
    return std::make_unique<PosixProcessCalls>(paths, winePrefix, std::move(wine));
}

LiveValue wineRegistryValue(const std::string& winePrefix, const std::string& path,
    const std::string& valueName, const std::string& ownWine)
{
    LiveValue result;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string wine = wineProgram(ownWine);
    std::vector<std::string> args { wine, "reg", "query", "HKEY_LOCAL_MACHINE\\" + path, "/v", valueName };
    std::vector<std::string> env = environmentFor(winePrefix);
    env.emplace_back("WINEDEBUG=-all");
    auto argv = pointers(args);
    auto envp = pointers(env);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, wine.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    if (rc == 0) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) != 0;) {
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(out[0]);
    if (rc != 0)
        return result;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return result;
    result.answered = true;
    if (WEXITSTATUS(status) == 1)
        return result; // the key or the value is not there
    // "    Name    REG_SZ    text", one value per line.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string lead = "    " + valueName + "    REG_";
        if (!text::startsWithIgnoreAsciiCase(line, lead))
            continue;
        const std::size_t data = line.find("    ", lead.size());
        result.found = true;
        result.text = data == std::string::npos ? std::string() : line.substr(data + 4);
        break;
    }
    return result;
}

} // namespace tw
