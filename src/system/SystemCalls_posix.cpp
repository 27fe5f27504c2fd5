// SPDX-License-Identifier: MIT
#include "system/SystemCalls.h"

#include "base/Text.h"

#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace tw {
namespace {

// Copies a name as the Windows calls do: with its NUL when it fits, else nothing.
int putName(const std::string& utf8, char* buffer, std::uint32_t* size)
{
    const std::string name = text::utf8ToAnsi(utf8);
    if (name.empty() || name.size() + 1 > *size)
        return 0;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = static_cast<std::uint32_t>(name.size());
    return 1;
}

class PosixSystemCalls : public SystemCalls
{
public:
    // There is no Windows to ask: the record stays empty and names no system.
    int GetVersionExA(OsVersionInfoA*) override { return 0; }

    int GetComputerNameA(char* buffer, std::uint32_t* size) override
    {
        char host[256] = {};
        if (gethostname(host, sizeof host - 1) != 0)
            return 0;
        return putName(host, buffer, size);
    }

    int GetUserNameA(char* buffer, std::uint32_t* size) override
    {
        std::string name;
        if (const passwd* pw = getpwuid(geteuid()))
            name = pw->pw_name;
        else if (const char* env = std::getenv("USER"))
            name = env;
        return putName(name, buffer, size);
    }
};

} // namespace

std::unique_ptr<SystemCalls> makePlatformSystemCalls()
{
    return std::make_unique<PosixSystemCalls>();
}

} // namespace tw
