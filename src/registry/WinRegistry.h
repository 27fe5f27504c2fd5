// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistryApi.h"

namespace tw {

// The system's registry: the Windows ANSI calls themselves.
class WinRegistry final : public RegistryApi
{
public:
    long RegCreateKeyA(RegKey key, const char* subKey, RegKey* result) override;
    long RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
        const std::uint8_t* data, std::uint32_t cbData) override;
    long RegDeleteKeyA(RegKey key, const char* subKey) override;
    long RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) override;
    long RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options, std::uint32_t samDesired,
        RegKey* result) override;
    long RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
        std::uint32_t* reserved, char* className, std::uint32_t* cchClass, void* lastWriteTime) override;
    long RegEnumValueA(RegKey key, std::uint32_t index, char* valueName, std::uint32_t* cchValueName,
        std::uint32_t* reserved, std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData) override;
    long RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved, std::uint32_t* type,
        std::uint8_t* data, std::uint32_t* cbData) override;
    long RegDeleteValueA(RegKey key, const char* valueName) override;
    long RegCloseKey(RegKey key) override;
};

} // namespace tw
