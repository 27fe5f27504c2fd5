// SPDX-License-Identifier: MIT
#pragma once

#include "registry/HiveRegistry.h"
#include "registry/RegistryApi.h"

#include <memory>

namespace tw {

// A Wine prefix's registry as one: HKEY_LOCAL_MACHINE from system.reg and HKEY_CURRENT_USER from
// user.reg, each with its own file, lock and write gate. A call goes to the branch its key belongs to.
// Changes between beginChanges and commitChanges reach each file together; a branch joins them when
// it is first used, so a change to one file never waits on the other.
class HiveSet final : public RegistryApi
{
public:
    HiveSet(std::unique_ptr<HiveRegistry> machine, std::unique_ptr<HiveRegistry> user);
    ~HiveSet() override;

    HiveRegistry& machine() { return *m_machine; }
    HiveRegistry& user() { return *m_user; }
    // The branch a predefined key or an open handle belongs to.
    HiveRegistry& branchOf(RegKey key);

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
    std::string lastFailure() const override;
    long beginChanges() override;
    long commitChanges() override;
    void cancelChanges() override;
    void holdReads() override;
    void releaseReads() override;
    std::optional<std::string> unreadable(RegKey root) override { return branchOf(root).unreadable(root); }

private:
    // The branch a change goes to, joined to the changes under way; null with `rc` set when it cannot join.
    HiveRegistry* writer(RegKey key, long& rc);

    std::unique_ptr<HiveRegistry> m_machine;
    std::unique_ptr<HiveRegistry> m_user;
    HiveRegistry* m_lastWriter = nullptr;
    bool m_inChanges = false;
    bool m_machineJoined = false;
    bool m_userJoined = false;
};

} // namespace tw
