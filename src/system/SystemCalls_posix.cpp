// SPDX-License-Identifier: MIT
#include "system/SystemCalls.h"

#include "app/Text.h"
#include "registry/Registry.h"

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
    explicit PosixSystemCalls(Registry* registry)
        : m_registry(registry)
    { }

    int GetVersionExA(OsVersionInfoA* info) override
    {
        const std::uint32_t size = info->dwOSVersionInfoSize;
        OsVersionInfoA found = m_registry ? versionFromRegistry(*m_registry) : OsVersionInfoA {};
        std::memcpy(found.szCSDVersion, info->szCSDVersion, sizeof found.szCSDVersion);
        *info = found;
        info->dwOSVersionInfoSize = size;
        return found.dwPlatformId != 0;
    }

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
        else if (const char* env = getenv("USER"))
            name = env;
        return putName(name, buffer, size);
    }

private:
    Registry* m_registry;
};

} // namespace

std::unique_ptr<SystemCalls> makeSystemCalls(Registry* hiveRegistry)
{
    return std::make_unique<PosixSystemCalls>(hiveRegistry);
}

} // namespace tw
