// SPDX-License-Identifier: MIT
#include "base/AppContext.h"
#include "base/Clock.h"

#include <cstdlib>
#include <unistd.h>

namespace tw {
namespace paths {

std::string applicationFolder()
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    std::string exe(buf, static_cast<std::size_t>(n));
    const auto slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash == 0 ? 1 : slash);
}

std::string userDataFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/')
        return std::string(xdg) + "/tidewell";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share/tidewell";
}

char separator()
{
    return '/';
}

} // namespace paths

std::tm localTime(std::time_t t)
{
    std::tm tm {};
    localtime_r(&t, &tm);
    return tm;
}

} // namespace tw
