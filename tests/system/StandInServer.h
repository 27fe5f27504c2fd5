// SPDX-License-Identifier: MIT
#pragma once
// A wineserver stand-in for tests: a child process holding the prefix's lock as wineserver does (a
// record lock on the whole file) until it is stopped, and what another process sees of that lock.
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tw::test {

class StandInServer
{
public:
    explicit StandInServer(const std::string& lockFile)
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            const int fd = ::open(lockFile.c_str(), O_RDWR);
            struct flock fl
            {
            };
            fl.l_type = F_WRLCK;
            fl.l_whence = SEEK_SET;
            const char ok = fd >= 0 && fcntl(fd, F_SETLK, &fl) == 0 ? 'y' : 'n';
            [[maybe_unused]] auto n = ::write(ready[1], &ok, 1);
            for (;;)
                pause();
        }
        ::close(ready[1]);
        char ok = 'n';
        [[maybe_unused]] auto n = ::read(ready[0], &ok, 1);
        ::close(ready[0]);
        m_locked = ok == 'y';
    }
    ~StandInServer() { stop(); }
    StandInServer(const StandInServer&) = delete;
    StandInServer& operator=(const StandInServer&) = delete;

    // Whether it holds the lock (it does from construction until stop()).
    bool locked() const { return m_locked; }
    void stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
            m_pid = 0;
        }
        m_locked = false;
    }

private:
    pid_t m_pid = 0;
    bool m_locked = false;
};

// The pid another process is shown as the lock's owner (what wineserver -k signals); 0 when the lock
// is free, -2 when it could not be asked.
inline pid_t lockOwnerSeenByOthers(const std::string& lockFile)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -2;
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(lockFile.c_str(), O_RDWR);
        struct flock fl
        {
        };
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        pid_t owner = -2;
        if (fd >= 0 && fcntl(fd, F_GETLK, &fl) == 0)
            owner = fl.l_type == F_UNLCK ? 0 : fl.l_pid;
        [[maybe_unused]] auto n = ::write(pipeFds[1], &owner, sizeof owner);
        _exit(0);
    }
    ::close(pipeFds[1]);
    pid_t owner = -2;
    [[maybe_unused]] auto n = ::read(pipeFds[0], &owner, sizeof owner);
    ::close(pipeFds[0]);
    waitpid(pid, nullptr, 0);
    return owner;
}

} // namespace tw::test
