// SPDX-License-Identifier: MIT
#include "system/SystemCalls.h"

#include <cstring>
#include <windows.h>

namespace tw {
namespace {

class WinSystemCalls : public SystemCalls
{
public:
    int GetVersionExA(OsVersionInfoA* info) override
    {
        OSVERSIONINFOA v {};
        v.dwOSVersionInfoSize = sizeof v;
        std::memcpy(v.szCSDVersion, info->szCSDVersion, sizeof v.szCSDVersion);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        const BOOL ok = ::GetVersionExA(&v);
#pragma GCC diagnostic pop
        info->dwMajorVersion = v.dwMajorVersion;
        info->dwMinorVersion = v.dwMinorVersion;
        info->dwBuildNumber = v.dwBuildNumber;
        info->dwPlatformId = v.dwPlatformId;
        std::memcpy(info->szCSDVersion, v.szCSDVersion, sizeof info->szCSDVersion);
        return ok;
    }
    int GetComputerNameA(char* buffer, std::uint32_t* size) override
    {
        DWORD n = *size;
        const BOOL ok = ::GetComputerNameA(buffer, &n);
        *size = n;
        return ok;
    }
    int GetUserNameA(char* buffer, std::uint32_t* size) override
    {
        DWORD n = *size;
        const BOOL ok = ::GetUserNameA(buffer, &n);
        *size = n;
        return ok;
    }
};

} // namespace

std::unique_ptr<SystemCalls> makePlatformSystemCalls()
{
    return std::make_unique<WinSystemCalls>();
}

} // namespace tw
