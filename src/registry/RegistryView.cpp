// SPDX-License-Identifier: MIT
#include "registry/RegistryView.h"

#include "base/Text.h"

namespace tw {
std::string RegistryView::redirect32(const std::string& path)
{
    const auto first = path.find('\\');
    if (!text::equalsIgnoreAsciiCase(path.substr(0, first), "software"))
        return path;
    if (first == std::string::npos)
        return path + "\\Wow6432Node";
    const auto second = path.find('\\', first + 1);
    const std::string next
        = path.substr(first + 1, second == std::string::npos ? second : second - first - 1);
    if (next.empty() || text::equalsIgnoreAsciiCase(next, "wow6432node")
        || text::equalsIgnoreAsciiCase(next, "classes"))
        return path;
    return path.substr(0, first) + "\\Wow6432Node" + path.substr(first);
}

void RegistryView::setWow32(bool on)
{
    m_wow32 = on;
    m_redirect = false;
    if (on) {
        RegKey node = 0;
        if (m_inner.RegOpenKeyExA(kHKeyLocalMachine, "Software\\Wow6432Node", 0, kKeyRead, &node)
            == kErrorSuccess) {
            m_inner.RegCloseKey(node);
            m_redirect = true;
        }
    }
}

const char* RegistryView::mapped(RegKey key, const char* subKey, std::string& storage) const
{
    if (!m_redirect || key != kHKeyLocalMachine || !subKey)
        return subKey;
    storage = redirect32(subKey);
    return storage.c_str();
}

long RegistryView::RegCreateKeyA(RegKey key, const char* subKey, RegKey* result)
{
    std::string s;
    return m_inner.RegCreateKeyA(key, mapped(key, subKey, s), result);
}

long RegistryView::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
    std::uint32_t type, const std::uint8_t* data, std::uint32_t cbData)
{
    return m_inner.RegSetValueExA(key, valueName, reserved, type, data, cbData);
}

long RegistryView::RegDeleteKeyA(RegKey key, const char* subKey)
{
    std::string s;
    return m_inner.RegDeleteKeyA(key, mapped(key, subKey, s));
}

long RegistryView::RegOpenKeyA(RegKey key, const char* subKey, RegKey* result)
{
    std::string s;
    return m_inner.RegOpenKeyA(key, mapped(key, subKey, s), result);
}

long RegistryView::RegOpenKeyExA(
    RegKey key, const char* subKey, std::uint32_t options, std::uint32_t samDesired, RegKey* result)
{
    std::string s;
    return m_inner.RegOpenKeyExA(key, mapped(key, subKey, s), options, samDesired, result);
}

long RegistryView::RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
    std::uint32_t* reserved, char* className, std::uint32_t* cchClass, void* lastWriteTime)
{
    return m_inner.RegEnumKeyExA(key, index, name, cchName, reserved, className, cchClass, lastWriteTime);
}

long RegistryView::RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
    std::uint32_t* cchValueName, std::uint32_t* reserved, std::uint32_t* type, std::uint8_t* data,
    std::uint32_t* cbData)
{
    return m_inner.RegEnumValueA(key, index, valueName, cchValueName, reserved, type, data, cbData);
}

long RegistryView::RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
    std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData)
{
    return m_inner.RegQueryValueExA(key, valueName, reserved, type, data, cbData);
}

long RegistryView::RegDeleteValueA(RegKey key, const char* valueName)
{
    return m_inner.RegDeleteValueA(key, valueName);
}

long RegistryView::RegCloseKey(RegKey key)
{
    return m_inner.RegCloseKey(key);
}

} // namespace tw
