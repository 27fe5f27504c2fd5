// SPDX-License-Identifier: MIT
#include "system/WineServer.h"

#include "base/Text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {
namespace {

bool isFolder(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder name Debian's build keeps in <prefix>/wineserver; empty when there is none or it is not a
// plain name (it is joined to a folder path).
std::string debianServerBase(const std::string& prefix)
{
    std::ifstream in(prefix + "/wineserver");
    std::string name;
    if (!in || !std::getline(in, name))
        return {};
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
        name.pop_back();
    if (name.empty() || name.size() > 255 || name.find('/') != std::string::npos || name == "."
        || name == "..")
        return {};
    return name;
}

// Record locks owned by this process, as the server's own: Wine's tools read the owner's pid from the
// lock (wineserver -k signals it), and a lock kept per open file would show them no owner at all. Such
// a lock goes when any descriptor of the file in this process is closed, so the file is opened nowhere
// else while it is held (running() does not look then).
bool lockCommand(int fd, int command, struct flock& fl)
{
    return fcntl(fd, command, &fl) == 0;
}

// Where the server folder of a prefix that has not run since the machine started will be: made now,
// as the server makes it (0700), so that a server starting during a write finds the lock taken and
// waits.
bool provideLockFile(const std::string& folder)
{
    const auto slash = folder.rfind('/');
    ::mkdir(folder.substr(0, slash).c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
    struct stat st
    {
    };
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    const int fd = ::open((folder + "/lock").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

struct flock wholeFile(short type)
{
    struct flock fl
    {
    };
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;
    fl.l_pid = 0;
    return fl;
}

// Wine's services live as long as its server does; they are not programs the user started.
bool isWineService(const std::string& commandLine)
{
    // The launcher Wine puts between a program started from a shell and the shell.
    if (text::startsWithIgnoreAsciiCase(commandLine, "start.exe /exec"))
        return true;
    static const char* const kServices[] = { "services.exe", "winedevice.exe", "plugplay.exe", "svchost.exe",
        "rpcss.exe", "explorer.exe", "conhost.exe", "tabtip.exe", "wineboot.exe", "winemenubuilder.exe" };
    const std::string_view folder = "c:\\windows\\system32\\";
    const std::string_view program = std::string_view(commandLine).substr(0, commandLine.find(' '));
    if (!text::startsWithIgnoreAsciiCase(program, folder))
        return false;
    const std::string_view name = program.substr(folder.size());
    return std::any_of(std::begin(kServices), std::end(kServices),
        [&](const char* s) { return text::equalsIgnoreAsciiCase(name, s); });
}

std::string readCommandLine(const std::string& procFolder)
{
    std::ifstream in(procFolder + "/cmdline", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

// The working folders of the running wineservers whose folder is named `leaf`.
std::vector<std::string> runningServerFolders(const std::string& leaf)
{
    std::vector<std::string> found;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return found;
    while (const dirent* entry = ::readdir(proc)) {
        const std::string name = entry->d_name;
        if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit))
            continue;
        char link[4096];
        const ssize_t n = ::readlink(("/proc/" + name + "/exe").c_str(), link, sizeof link - 1);
        if (n <= 0 || std::string(link, static_cast<std::size_t>(n)).find("/wineserver") == std::string::npos)
            continue;
        const ssize_t m = ::readlink(("/proc/" + name + "/cwd").c_str(), link, sizeof link - 1);
        if (m <= 0)
            continue;
        const std::string cwd(link, static_cast<std::size_t>(m));
        if (cwd.size() > leaf.size()
            && cwd.compare(cwd.size() - leaf.size() - 1, std::string::npos, "/" + leaf) == 0)
            found.push_back(cwd);
    }
    ::closedir(proc);
    return found;
}

} // namespace

WineServer::WineServer(std::string prefixFolder, std::string tempFolder)
    : m_prefix(std::move(prefixFolder))
    , m_temp(std::move(tempFolder))
{ }

WineServer::~WineServer()
{
    release();
}

std::string WineServer::defaultTempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

bool WineServer::isPrefixRegistry(const std::string& registryFile)
{
    const auto slash = registryFile.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : registryFile.substr(0, slash);
    const std::string name = slash == std::string::npos ? registryFile : registryFile.substr(slash + 1);
    return name == "system.reg" && (isFolder(folder + "/drive_c") || isFolder(folder + "/dosdevices"));
}

std::vector<std::string> WineServer::serverFolders() const
{
    struct stat st
    {
    };
    if (m_prefix.empty() || ::stat(m_prefix.c_str(), &st) != 0)
        return {};
    char leafText[64];
    std::snprintf(leafText, sizeof leafText, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
        static_cast<unsigned long long>(st.st_ino));
    std::vector<std::string> folders;
    const std::string leaf = leafText;
    const auto add = [&](const std::string& folder) {
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    };
    if (const std::string name = debianServerBase(m_prefix); !name.empty()) {
        add(m_temp + "/" + name + "/" + leaf);
        add("/tmp/" + name + "/" + leaf);
    }
    add("/tmp/.wine-" + std::to_string(::getuid()) + "/" + leaf);
    // A server started with another TMPDIR than this program's: it works in its folder, so its
    // working folder names it.
    for (const std::string& folder : runningServerFolders(leaf))
        add(folder);
    return folders;
}

const std::vector<std::string>& WineServer::polledFolders() const
{
    // Finding a server started elsewhere is a pass over every process; the polls (a wait looks every
    // 50 ms) reuse the last second's answer. A write looks afresh.
    const auto now = std::chrono::steady_clock::now();
    if (!m_polledAt || now - *m_polledAt > std::chrono::seconds(1)) {
        m_polled = serverFolders();
        m_polledAt = now;
    }
    return m_polled;
}

bool WineServer::running() const
{
    if (m_depth > 0)
        return false; // the locks are ours: no server can be running
    for (const std::string& folder : polledFolders()) {
        const int fd = ::open((folder + "/lock").c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct flock fl = wholeFile(F_WRLCK);
        const bool asked = lockCommand(fd, F_GETLK, fl);
        ::close(fd);
        if (asked && fl.l_type != F_UNLCK)
            return true;
    }
    return false;
}

bool WineServer::enter()
{
    if (m_depth > 0) {
        ++m_depth;
        return true;
    }
    const std::vector<std::string> folders = serverFolders();
    // Debian's build names the folder in the prefix, so it is known before the server first makes it.
    struct stat st
    {
    };
    if (!debianServerBase(m_prefix).empty() && ::stat((folders.front() + "/lock").c_str(), &st) != 0)
        provideLockFile(folders.front());
    // A wineserver -k meant for the server would signal this process while it holds the lock; the
    // hold is a moment, the write is whole or not at all, and the tool waits for the lock anyway.
    m_savedInterrupt = std::signal(SIGINT, SIG_IGN);
    m_interruptSaved = m_savedInterrupt != SIG_ERR;
    for (const std::string& folder : folders) {
        const int fd = ::open((folder + "/lock").c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue; // no server has used this folder since the machine started
        struct flock fl = wholeFile(F_WRLCK);
        if (!lockCommand(fd, F_SETLK, fl)) {
            ::close(fd);
            release();
            return false;
        }
        m_held.push_back(fd);
    }
    m_depth = 1;
    return true;
}

void WineServer::leave()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    release();
}

void WineServer::release()
{
    for (int fd : m_held) {
        struct flock fl = wholeFile(F_UNLCK);
        lockCommand(fd, F_SETLK, fl);
        ::close(fd);
    }
    m_held.clear();
    if (m_interruptSaved)
        std::signal(SIGINT, m_savedInterrupt);
    m_interruptSaved = false;
}

std::vector<WineProgram> WineServer::programs() const
{
    std::vector<std::string> markers;
    for (const std::string& folder : polledFolders()) {
        if (isFolder(folder))
            markers.push_back(folder + "/");
    }
    std::vector<WineProgram> found;
    if (markers.empty())
        return found;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return found;
    const std::string self = std::to_string(::getpid());
    while (const dirent* entry = ::readdir(proc)) {
        const std::string name = entry->d_name;
        if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit) || name == self)
            continue;
        const std::string folder = "/proc/" + name;
        // Every Wine program maps shared memory from its server's folder; the server itself is not a
        // program.
        char exe[4096];
        const ssize_t n = ::readlink((folder + "/exe").c_str(), exe, sizeof exe - 1);
        if (n > 0 && std::string(exe, static_cast<std::size_t>(n)).find("wineserver") != std::string::npos)
            continue;
        std::ifstream maps(folder + "/maps");
        std::string line;
        bool connected = false;
        while (!connected && std::getline(maps, line)) {
            connected = std::any_of(markers.begin(), markers.end(),
                [&](const std::string& m) { return line.find(m) != std::string::npos; });
        }
        if (!connected)
            continue;
        WineProgram program;
        program.pid = static_cast<std::uint32_t>(std::stoul(name));
        program.commandLine = readCommandLine(folder);
        if (!program.commandLine.empty() && !isWineService(program.commandLine))
            found.push_back(program);
    }
    ::closedir(proc);
    std::sort(
        found.begin(), found.end(), [](const WineProgram& a, const WineProgram& b) { return a.pid < b.pid; });
    return found;
}

} // namespace tw
