// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistryApi.h"

#include <string>

namespace tw {

// The registry as a 64-bit program sees it, or as a 32-bit one on a 64-bit Windows (or Wine) does:
// there HKLM\Software\X is HKLM\Software\Wow6432Node\X, so 32-bit installers' entries live under
// Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall. Paths are rewritten where they start
// at HKEY_LOCAL_MACHINE, which is how every registry operation opens its keys; keys below a handle
// are already inside the view. Software\Classes keeps its own scheme and is not redirected. A registry
// without Software\Wow6432Node (32-bit Windows, a 32-bit Wine prefix) has one view only, which both
// kinds of program see.
class RegistryView final : public RegistryApi
{
public:
    explicit RegistryView(RegistryApi& inner)
        : m_inner(inner)
    { }

    void setWow32(bool on);
    bool wow32() const { return m_wow32; }
    // Whether paths are rewritten: the 32-bit view of a registry that has one.
    bool redirects() const { return m_redirect; }
    RegistryApi& inner() { return m_inner; }
    // The path a 32-bit program reaches for `path` below HKEY_LOCAL_MACHINE.
    static std::string redirect32(const std::string& path);

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
    std::string lastFailure() const override { return m_inner.lastFailure(); }
    long beginChanges() override { return m_inner.beginChanges(); }
    long commitChanges() override { return m_inner.commitChanges(); }
    void cancelChanges() override { m_inner.cancelChanges(); }
    void holdReads() override { m_inner.holdReads(); }
    void releaseReads() override { m_inner.releaseReads(); }
    std::optional<std::string> unreadable(RegKey root) override { return m_inner.unreadable(root); }

private:
    // The subkey to pass on: rewritten only for a path that starts at HKEY_LOCAL_MACHINE.
    const char* mapped(RegKey key, const char* subKey, std::string& storage) const;

    RegistryApi& m_inner;
    bool m_wow32 = false;
    bool m_redirect = false;
};

} // namespace tw
