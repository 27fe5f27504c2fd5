// SPDX-License-Identifier: MIT
// Reading values.
#include "registry/Registry.h"

#include "base/Bytes.h"
#include "base/Errors.h"
#include "base/Text.h"

#include <algorithm>
#include <cstring>

namespace tw {

namespace {

bool sameNameIgnoringCase(const std::string& a, const std::string& b)
{
    return text::equalsIgnoreCase(text::utf8ToUtf16(a), text::utf8ToUtf16(b));
}

// The record for one value, from its type and its data in the ANSI code page.
ValueRecord makeRecord(std::string name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size)
{
    ValueRecord r;
    r.name = std::move(name);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    switch (type) {
    case kRegSz:
    case kRegExpandSz: {
        std::string_view t = bytes;
        if (!t.empty() && t.back() == '\0')
            t.remove_suffix(1);
        r.value = text::ansiToUtf8(t);
        r.tag = ValueRecord::kTagText;
        break;
    }
    case kRegMultiSz: {
        std::string_view t = bytes;
        for (int i = 0; i < 2 && !t.empty() && t.back() == '\0'; ++i)
            t.remove_suffix(1);
        r.value = text::ansiToUtf8(t);
        r.tag = ValueRecord::kTagText;
        break;
    }
    case kRegDword: {
        std::uint8_t b[4] = {};
        std::memcpy(b, data, std::min<std::uint32_t>(size, 4));
        r.value = static_cast<std::int32_t>(bytes::readLe32(b));
        r.tag = ValueRecord::kTagLong;
        break;
    }
    case kRegBinary:
        r.value = std::vector<std::uint8_t>(data, data + size);
        r.tag = ValueRecord::kTagBytes;
        break;
    default:
        r.value = std::string();
        break;
    }
    return r;
}

} // namespace

bool ValueCollection::add(ValueRecord record)
{
    if (find(record.name))
        return false;
    m_items.push_back(std::move(record));
    return true;
}

const ValueRecord* ValueCollection::find(const std::string& name) const
{
    const auto it = std::find_if(m_items.begin(), m_items.end(),
        [&](const ValueRecord& r) { return sameNameIgnoringCase(r.name, name); });
    return it == m_items.end() ? nullptr : &*it;
}

ValueCollection Registry::EnumRegistryValuesEx(RegKey root, const std::string& path)
{
    Procedure proc("EnumRegistryValuesEx", OnError::Skip);
    ValueCollection values;
    RegKey key = root;
    bool opened = false;
    if (!path.empty()) {
        long rc = -1;
        proc.step(__LINE__,
            [&] { rc = m_api.RegOpenKeyExA(root, text::utf8ToAnsi(path).c_str(), 0, kKeyRead, &key); });
        if (rc != kErrorSuccess)
            return values;
        opened = true;
    }
    constexpr std::uint32_t kNameBuffer = 260;
    for (std::uint32_t index = 0;; ++index) {
        char name[kNameBuffer] = {};
        std::uint32_t nameSize = kNameBuffer;
        std::vector<std::uint8_t> data(4096);
        auto dataSize = static_cast<std::uint32_t>(data.size());
        std::uint32_t type = 0;
        long rc = kErrorNoMoreItems;
        proc.step(__LINE__, [&] {
            rc = m_api.RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data.data(), &dataSize);
        });
        if (rc == kErrorMoreData) {
            proc.step(__LINE__, [&] {
                data.assign(dataSize, 0);
                nameSize = kNameBuffer;
                rc = m_api.RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data.data(), &dataSize);
            });
            // A name too long for the buffer still does not fit: pass that value over, not all after it.
            if (rc == kErrorMoreData)
                continue;
        }
        if (rc != kErrorSuccess)
            break;
        proc.step(__LINE__, [&] {
            values.add(
                makeRecord(text::ansiToUtf8(std::string_view(name, std::min(nameSize, kNameBuffer))), type,
                    data.data(), std::min<std::uint32_t>(dataSize, static_cast<std::uint32_t>(data.size()))));
        });
    }
    if (opened)
        m_api.RegCloseKey(key);
    return values;
}

std::string Registry::GetStringValue(RegKey root, const std::string& path, const std::string& valueName)
{
    Procedure proc("GetStringValue");
    std::string result;
    RegKey key = 0;
    long opened = -1;
    const std::string ansiName = text::utf8ToAnsi(valueName);
    if (!proc.step(__LINE__, [&] { opened = m_api.RegOpenKeyA(root, text::utf8ToAnsi(path).c_str(), &key); }))
        return result;
    std::uint32_t size = 0;
    std::uint32_t type = 0;
    if (opened == kErrorSuccess) {
        if (proc.step(__LINE__,
                [&] { m_api.RegQueryValueExA(key, ansiName.c_str(), nullptr, &type, nullptr, &size); }))
            proc.step(__LINE__, [&] {
                std::string buffer(size, ' ');
                const long rc = m_api.RegQueryValueExA(key, ansiName.c_str(), nullptr, &type,
                    reinterpret_cast<std::uint8_t*>(buffer.data()), &size);
                if (rc == kErrorSuccess)
                    result = text::ansiToUtf8(text::StripNull(buffer));
            });
        m_api.RegCloseKey(key);
    }
    return result;
}

std::int32_t Registry::GetDWORDValue(RegKey root, const std::string& path, const std::string& valueName)
{
    Procedure proc("GetDWORDValue");
    std::int32_t result = 0;
    RegKey key = 0;
    long rc = -1;
    if (!proc.step(__LINE__,
            [&] { rc = m_api.RegOpenKeyExA(root, text::utf8ToAnsi(path).c_str(), 0, kKeyRead, &key); }))
        return 0;
    if (rc != kErrorSuccess)
        return 0;
    proc.step(__LINE__, [&] {
        std::uint8_t buffer[4] = {};
        std::uint32_t size = 4;
        std::uint32_t type = 0;
        if (m_api.RegQueryValueExA(key, text::utf8ToAnsi(valueName).c_str(), nullptr, &type, buffer, &size)
            == kErrorSuccess)
            result = static_cast<std::int32_t>(bytes::readLe32(buffer));
    });
    m_api.RegCloseKey(key);
    return result;
}

bool Registry::GetBinaryValue(
    RegKey root, const std::string& path, const std::string& valueName, std::vector<std::uint8_t>& bytes)
{
    Procedure proc("GetBinaryValue", OnError::Leave);
    RegKey key = 0;
    long rc = -1;
    if (!proc.step(__LINE__,
            [&] { rc = m_api.RegOpenKeyExA(root, text::utf8ToAnsi(path).c_str(), 0, kKeyRead, &key); }))
        return false;
    if (rc != kErrorSuccess)
        return false;
    bool result = false;
    proc.step(__LINE__, [&] {
        const std::string name = text::utf8ToAnsi(valueName);
        std::uint8_t scratch[4] = {};
        std::uint32_t size = 1;
        std::uint32_t type = 0;
        m_api.RegQueryValueExA(key, name.c_str(), nullptr, &type, scratch, &size);
        bytes.assign(size, 0);
        if (m_api.RegQueryValueExA(key, name.c_str(), nullptr, &type, bytes.data(), &size) == kErrorSuccess)
            result = size == 552;
    });
    m_api.RegCloseKey(key);
    return result;
}

} // namespace tw
