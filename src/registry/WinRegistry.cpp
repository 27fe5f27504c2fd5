// SPDX-License-Identifier: MIT
#include "registry/WinRegistry.h"
#include "registry/RegistryFactory.h"

#include <windows.h>

namespace tw {
namespace {

HKEY h(RegKey key)
{
    return reinterpret_cast<HKEY>(key);
}

static_assert(sizeof(DWORD) == sizeof(std::uint32_t));

DWORD* d(std::uint32_t* p)
{
    return reinterpret_cast<DWORD*>(p);
}

} // namespace

long WinRegistry::RegCreateKeyA(RegKey key, const char* subKey, RegKey* result)
{
    HKEY out = nullptr;
    const LONG rc = ::RegCreateKeyA(h(key), subKey, &out);
    if (rc == ERROR_SUCCESS)
        *result = reinterpret_cast<RegKey>(out);
    return rc;
}

long WinRegistry::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
    std::uint32_t type, const std::uint8_t* data, std::uint32_t cbData)
{
    return ::RegSetValueExA(h(key), valueName, reserved, type, data, cbData);
}

long WinRegistry::RegDeleteKeyA(RegKey key, const char* subKey)
{
    return ::RegDeleteKeyA(h(key), subKey);
}

long WinRegistry::RegOpenKeyA(RegKey key, const char* subKey, RegKey* result)
{
    HKEY out = nullptr;
    const LONG rc = ::RegOpenKeyA(h(key), subKey, &out);
    if (rc == ERROR_SUCCESS)
        *result = reinterpret_cast<RegKey>(out);
    return rc;
}

long WinRegistry::RegOpenKeyExA(
    RegKey key, const char* subKey, std::uint32_t options, std::uint32_t samDesired, RegKey* result)
{
    HKEY out = nullptr;
    const LONG rc = ::RegOpenKeyExA(h(key), subKey, options, samDesired, &out);
    if (rc == ERROR_SUCCESS)
        *result = reinterpret_cast<RegKey>(out);
    return rc;
}

long WinRegistry::RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
    std::uint32_t* reserved, char* className, std::uint32_t* cchClass, void* lastWriteTime)
{
    return ::RegEnumKeyExA(h(key), index, name, d(cchName), d(reserved), className, d(cchClass),
        static_cast<PFILETIME>(lastWriteTime));
}

long WinRegistry::RegEnumValueA(RegKey key, std::uint32_t index, char* valueName, std::uint32_t* cchValueName,
    std::uint32_t* reserved, std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData)
{
    return ::RegEnumValueA(h(key), index, valueName, d(cchValueName), d(reserved), d(type), data, d(cbData));
}

long WinRegistry::RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
    std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData)
{
    return ::RegQueryValueExA(h(key), valueName, d(reserved), d(type), data, d(cbData));
}

long WinRegistry::RegDeleteValueA(RegKey key, const char* valueName)
{
    return ::RegDeleteValueA(h(key), valueName);
}

long WinRegistry::RegCloseKey(RegKey key)
{
    return ::RegCloseKey(h(key));
}

} // namespace tw

namespace tw {

std::unique_ptr<RegistryApi> makeSystemRegistry()
{
    return std::make_unique<WinRegistry>();
}

} // namespace tw
