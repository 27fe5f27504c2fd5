// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>

namespace tw {

class Registry;

// The published OSVERSIONINFOA layout.
struct OsVersionInfoA
{
    std::uint32_t dwOSVersionInfoSize = 0;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};

// The three system queries, with the Windows calls' arguments and results (non-zero on success).
class SystemCalls
{
public:
    virtual ~SystemCalls() = default;
    virtual int GetVersionExA(OsVersionInfoA* info) = 0;
    virtual int GetComputerNameA(char* buffer, std::uint32_t* size) = 0;
    virtual int GetUserNameA(char* buffer, std::uint32_t* size) = 0;
};

// The platform's own calls. Where there is no Windows, the version record is empty.
std::unique_ptr<SystemCalls> makePlatformSystemCalls();

// The calls for the registry the program works on: with a registry file standing in for the
// system's registry, the version is the one that registry records (as a Wine prefix keeps it), or
// an empty record; the names are always the platform's. Only the registry's backend need outlive them.
std::unique_ptr<SystemCalls> makeSystemCalls(Registry* hiveRegistry);

// The version record a registry's version values describe; platform 0 when there are none.
OsVersionInfoA versionFromRegistry(Registry& registry);
// The keys whose values it reads, below HKEY_LOCAL_MACHINE.
inline constexpr const char* kNtVersionKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr const char* k9xVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

} // namespace tw
