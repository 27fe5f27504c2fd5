// SPDX-License-Identifier: MIT
#include "registry/HiveSet.h"

namespace tw {

HiveSet::HiveSet(std::unique_ptr<HiveRegistry> machine, std::unique_ptr<HiveRegistry> user)
    : m_machine(std::move(machine))
    , m_user(std::move(user))
{ }

HiveSet::~HiveSet()
{
    cancelChanges();
}

HiveRegistry& HiveSet::branchOf(RegKey key)
{
    return m_user->ownsHandle(key) ? *m_user : *m_machine;
}

HiveRegistry* HiveSet::writer(RegKey key, long& rc)
{
    HiveRegistry& branch = branchOf(key);
    m_lastWriter = &branch;
    rc = kErrorSuccess;
    bool& joined = &branch == m_user.get() ? m_userJoined : m_machineJoined;
    if (m_inChanges && !joined) {
        rc = branch.beginChanges();
        if (rc != kErrorSuccess)
            return nullptr;
        joined = true;
    }
    return &branch;
}

long HiveSet::RegCreateKeyA(RegKey key, const char* subKey, RegKey* result)
{
    long rc;
    HiveRegistry* branch = writer(key, rc);
    return branch ? branch->RegCreateKeyA(key, subKey, result) : rc;
}

long HiveSet::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
    const std::uint8_t* data, std::uint32_t cbData)
{
    long rc;
    HiveRegistry* branch = writer(key, rc);
    return branch ? branch->RegSetValueExA(key, valueName, reserved, type, data, cbData) : rc;
}

long HiveSet::RegDeleteKeyA(RegKey key, const char* subKey)
{
    long rc;
    HiveRegistry* branch = writer(key, rc);
    return branch ? branch->RegDeleteKeyA(key, subKey) : rc;
}

long HiveSet::RegOpenKeyA(RegKey key, const char* subKey, RegKey* result)
{
    return branchOf(key).RegOpenKeyA(key, subKey, result);
}

long HiveSet::RegOpenKeyExA(
    RegKey key, const char* subKey, std::uint32_t options, std::uint32_t samDesired, RegKey* result)
{
    return branchOf(key).RegOpenKeyExA(key, subKey, options, samDesired, result);
}

long HiveSet::RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
    std::uint32_t* reserved, char* className, std::uint32_t* cchClass, void* lastWriteTime)
{
    return branchOf(key).RegEnumKeyExA(
        key, index, name, cchName, reserved, className, cchClass, lastWriteTime);
}

long HiveSet::RegEnumValueA(RegKey key, std::uint32_t index, char* valueName, std::uint32_t* cchValueName,
    std::uint32_t* reserved, std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData)
{
    return branchOf(key).RegEnumValueA(key, index, valueName, cchValueName, reserved, type, data, cbData);
}

long HiveSet::RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
    std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData)
{
    return branchOf(key).RegQueryValueExA(key, valueName, reserved, type, data, cbData);
}

long HiveSet::RegDeleteValueA(RegKey key, const char* valueName)
{
    long rc;
    HiveRegistry* branch = writer(key, rc);
    return branch ? branch->RegDeleteValueA(key, valueName) : rc;
}

long HiveSet::RegCloseKey(RegKey key)
{
    return branchOf(key).RegCloseKey(key);
}

std::string HiveSet::lastFailure() const
{
    return m_lastWriter ? m_lastWriter->lastFailure() : std::string();
}

long HiveSet::beginChanges()
{
    m_inChanges = true;
    return kErrorSuccess;
}

long HiveSet::commitChanges()
{
    long rc = kErrorSuccess;
    for (auto [branch, joined] :
        { std::pair { m_machine.get(), &m_machineJoined }, { m_user.get(), &m_userJoined } }) {
        if (*joined) {
            const long committed = branch->commitChanges();
            if (rc == kErrorSuccess && committed != kErrorSuccess) {
                rc = committed;
                m_lastWriter = branch;
            }
        }
        *joined = false;
    }
    m_inChanges = false;
    return rc;
}

void HiveSet::cancelChanges()
{
    if (m_machineJoined)
        m_machine->cancelChanges();
    if (m_userJoined)
        m_user->cancelChanges();
    m_machineJoined = m_userJoined = false;
    m_inChanges = false;
}

void HiveSet::holdReads()
{
    m_machine->holdReads();
    m_user->holdReads();
}

void HiveSet::releaseReads()
{
    m_machine->releaseReads();
    m_user->releaseReads();
}

} // namespace tw
