// SPDX-License-Identifier: MIT
// Writing and listing keys.
#include "registry/Registry.h"

#include "base/Errors.h"
#include "base/Text.h"

#include <algorithm>

namespace tw {

long Registry::SaveString(
    RegKey root, const std::string& path, const std::string& valueName, const std::string& data)
{
    Procedure proc("SaveString");
    RegKey key = 0;
    long rc = kErrorRegistryIoFailed;
    std::string ansiPath, ansiName, ansiData;
    if (!proc.step(__LINE__, [&] {
            ansiPath = text::utf8ToAnsi(path);
            ansiName = text::utf8ToAnsi(valueName);
            ansiData = text::utf8ToAnsi(data);
        }))
        return rc;
    if (!proc.step(__LINE__, [&] { rc = m_api.RegCreateKeyA(root, ansiPath.c_str(), &key); }))
        return kErrorRegistryIoFailed;
    if (rc != kErrorSuccess)
        return rc;
    // The count is the text's length: the NUL is stored only when the caller put one in the text.
    rc = kErrorRegistryIoFailed;
    proc.step(__LINE__, [&] {
        rc = m_api.RegSetValueExA(key, ansiName.c_str(), 0, kRegSz,
            reinterpret_cast<const std::uint8_t*>(ansiData.c_str()),
            static_cast<std::uint32_t>(ansiData.size()));
    });
    m_api.RegCloseKey(key);
    return rc;
}

long Registry::DeleteKey(RegKey root, const std::string& path)
{
    Procedure proc("DeleteKey");
    long rc = kErrorRegistryIoFailed;
    proc.step(__LINE__, [&] { rc = m_api.RegDeleteKeyA(root, text::utf8ToAnsi(path).c_str()); });
    return rc;
}

void Registry::GetKeyNames(RegKey root, const std::string& path, std::vector<std::string>& names)
{
    Procedure proc("GetKeyNames");
    RegKey key = 0;
    long opened = -1;
    if (!proc.step(__LINE__, [&] { opened = m_api.RegOpenKeyA(root, text::utf8ToAnsi(path).c_str(), &key); }))
        return;
    // Room for the longest name the registry allows (255) and its NUL. A longer name, which only a
    // damaged file can hold, does not fit: it is passed over and the enumeration goes on.
    constexpr std::uint32_t kNameBuffer = 256;
    for (std::uint32_t index = 0; opened == kErrorSuccess; ++index) {
        char buffer[kNameBuffer] = {};
        std::uint32_t size = kNameBuffer;
        long rc = kErrorNoMoreItems;
        if (!proc.step(__LINE__, [&] {
                rc = m_api.RegEnumKeyExA(key, index, buffer, &size, nullptr, nullptr, nullptr, nullptr);
            }))
            break;
        if (rc == kErrorMoreData)
            continue;
        if (rc != kErrorSuccess)
            break;
        if (!proc.step(__LINE__, [&] {
                names.push_back(text::ansiToUtf8(text::StripNull(std::string_view(buffer, kNameBuffer))));
            }))
            break;
    }
    if (opened == kErrorSuccess)
        m_api.RegCloseKey(key);
}

} // namespace tw
