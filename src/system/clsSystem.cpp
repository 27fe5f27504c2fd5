// SPDX-License-Identifier: MIT
#include "system/clsSystem.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "registry/Registry.h"

#include <cstring>

namespace tw {

std::string osName(const OsVersionInfoA& info)
{
    if (info.dwPlatformId == 1) {
        switch (info.dwMinorVersion) {
        case 0:
            return "Microsoft Windows 95";
        case 10:
            return (info.dwBuildNumber & 0xFFFF) < 2183 ? "Microsoft Windows 98"
                                                        : "Microsoft Windows 98 Second Edition";
        case 90:
            return "Microsoft Windows Millennium Edition";
        default:
            return {};
        }
    }
    if (info.dwPlatformId == 2) {
        switch (info.dwMajorVersion) {
        case 3:
            return "Microsoft Windows NT 3.51";
        case 4:
            return "Microsoft Windows NT 4.0";
        case 5:
            if (info.dwMinorVersion == 0)
                return "Microsoft Windows 2000";
            if (info.dwMinorVersion == 1)
                return "Microsoft Windows XP";
            return "Microsoft Windows Sever 2003";
        default:
            return {};
        }
    }
    return {};
}

std::string clsSystem::sysInfo()
{
    Procedure proc("sysInfo", OnError::Skip);
    OsVersionInfoA info;
    std::string name;
    proc.step(__LINE__, [&] {
        info.dwOSVersionInfoSize = sizeof(OsVersionInfoA);
        std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
        m_calls.GetVersionExA(&info);
    });
    proc.step(__LINE__, [&] { name = osName(info); });
    return name;
}

namespace {

std::string queryName(int (SystemCalls::*call)(char*, std::uint32_t*), SystemCalls& calls)
{
    char buffer[256];
    std::memset(buffer, ' ', sizeof buffer);
    std::uint32_t size = sizeof buffer;
    (calls.*call)(buffer, &size);
    const std::string_view all(buffer, sizeof buffer);
    // No NUL means the call failed and left the spaces.
    if (all.find('\0') == std::string_view::npos)
        return {};
    return text::ansiToUtf8(text::StripNull(all));
}

} // namespace

std::string clsSystem::computerName()
{
    return queryName(&SystemCalls::GetComputerNameA, m_calls);
}

std::string clsSystem::userName()
{
    return queryName(&SystemCalls::GetUserNameA, m_calls);
}

namespace {

std::uint32_t leadingNumber(const std::string& s, std::size_t& pos)
{
    std::uint32_t n = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && n < 100000000)
        n = n * 10 + static_cast<std::uint32_t>(s[pos++] - '0');
    return n;
}

} // namespace

namespace {

// The platform's names with the registry's version.
class HiveSystemCalls : public SystemCalls
{
public:
    HiveSystemCalls(const Registry& registry, std::unique_ptr<SystemCalls> platform)
        : m_registry(registry)
        , m_platform(std::move(platform))
    { }
    int GetVersionExA(OsVersionInfoA* info) override
    {
        const std::uint32_t size = info->dwOSVersionInfoSize;
        OsVersionInfoA found = versionFromRegistry(m_registry);
        std::memcpy(found.szCSDVersion, info->szCSDVersion, sizeof found.szCSDVersion);
        *info = found;
        info->dwOSVersionInfoSize = size;
        return found.dwPlatformId != 0;
    }
    int GetComputerNameA(char* buffer, std::uint32_t* size) override
    {
        return m_platform->GetComputerNameA(buffer, size);
    }
    int GetUserNameA(char* buffer, std::uint32_t* size) override
    {
        return m_platform->GetUserNameA(buffer, size);
    }

private:
    Registry m_registry; // the operations over the caller's backend, so they need not outlive this
    std::unique_ptr<SystemCalls> m_platform;
};

} // namespace

std::unique_ptr<SystemCalls> makeSystemCalls(Registry* hiveRegistry)
{
    if (!hiveRegistry)
        return makePlatformSystemCalls();
    return std::make_unique<HiveSystemCalls>(*hiveRegistry, makePlatformSystemCalls());
}

OsVersionInfoA versionFromRegistry(Registry& registry)
{
    OsVersionInfoA info;
    info.dwOSVersionInfoSize = sizeof(OsVersionInfoA);
    const std::string nt = kNtVersionKey;
    const std::string nine = k9xVersionKey;
    const std::string version = registry.GetStringValue(kHKeyLocalMachine, nt, "CurrentVersion");
    if (!version.empty()) {
        // Wine keeps "6.3" in CurrentVersion for Windows 10 and the real numbers beside it.
        std::size_t pos = 0;
        info.dwPlatformId = 2;
        info.dwMajorVersion = leadingNumber(version, pos);
        if (pos < version.size() && version[pos] == '.')
            ++pos;
        info.dwMinorVersion = leadingNumber(version, pos);
        if (const auto major = registry.GetDWORDValue(kHKeyLocalMachine, nt, "CurrentMajorVersionNumber");
            major > 0) {
            info.dwMajorVersion = static_cast<std::uint32_t>(major);
            info.dwMinorVersion = static_cast<std::uint32_t>(
                registry.GetDWORDValue(kHKeyLocalMachine, nt, "CurrentMinorVersionNumber"));
        }
        std::size_t bpos = 0;
        info.dwBuildNumber
            = leadingNumber(registry.GetStringValue(kHKeyLocalMachine, nt, "CurrentBuildNumber"), bpos);
        return info;
    }
    // The 9x family: "4.10.2222" in VersionNumber; the build word carries the version in its high half.
    const std::string number = registry.GetStringValue(kHKeyLocalMachine, nine, "VersionNumber");
    if (!number.empty()) {
        std::size_t pos = 0;
        info.dwPlatformId = 1;
        info.dwMajorVersion = leadingNumber(number, pos);
        if (pos < number.size() && number[pos] == '.')
            ++pos;
        info.dwMinorVersion = leadingNumber(number, pos);
        if (pos < number.size() && number[pos] == '.')
            ++pos;
        const std::uint32_t build = leadingNumber(number, pos) & 0xFFFF;
        info.dwBuildNumber
            = ((info.dwMajorVersion & 0xFF) << 24) | ((info.dwMinorVersion & 0xFF) << 16) | build;
    }
    return info;
}

} // namespace tw
