// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistryApi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tw {

// One value as the value enumeration returns it. The tag is 8 (text), 3 (32-bit integer) or
// 8209 (byte array); for other types it is the empty text (no tag) and so is the value.
struct ValueRecord
{
    using Data = std::variant<std::monostate, std::string, std::int32_t, std::vector<std::uint8_t>>;

    std::string name;
    Data value;
    std::optional<int> tag;

    static constexpr int kTagText = 8;
    static constexpr int kTagLong = 3;
    static constexpr int kTagBytes = 8209;
};

// An ordered collection keyed by value name (without regard to case); a second record under the
// same key is refused, as a keyed collection refuses it.
class ValueCollection
{
public:
    bool add(ValueRecord record);
    const ValueRecord* find(const std::string& name) const;
    std::size_t size() const { return m_items.size(); }
    const ValueRecord& operator[](std::size_t i) const { return m_items[i]; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<ValueRecord> m_items;
};

// The seven registry operations: each opens what it needs, does one job and closes it again.
// Text is UTF-8 here and crosses to the registry in the ANSI code page. Registry failures are not
// errors: they give empty texts, 0 or false.
class Registry
{
public:
    explicit Registry(RegistryApi& api)
        : m_api(api)
    { }

    RegistryApi& api() { return m_api; }

    // The writers also say how the write went (0, or the registry's error code), for the callers that
    // must not report a change that was not made; the backend's lastFailure() says why.
    long SaveString(
        RegKey root, const std::string& path, const std::string& valueName, const std::string& data);
    long DeleteKey(RegKey root, const std::string& path);
    void GetKeyNames(RegKey root, const std::string& path, std::vector<std::string>& names);

    ValueCollection EnumRegistryValuesEx(RegKey root, const std::string& path);
    std::string GetStringValue(RegKey root, const std::string& path, const std::string& valueName);
    std::int32_t GetDWORDValue(RegKey root, const std::string& path, const std::string& valueName);
    bool GetBinaryValue(
        RegKey root, const std::string& path, const std::string& valueName, std::vector<std::uint8_t>& bytes);

private:
    RegistryApi& m_api;
};

// Holds the reads of `api` while it lives (RegistryApi::holdReads).
class ReadHold
{
public:
    explicit ReadHold(RegistryApi& api)
        : m_api(api)
    {
        m_api.holdReads();
    }
    ~ReadHold() { m_api.releaseReads(); }
    ReadHold(const ReadHold&) = delete;
    ReadHold& operator=(const ReadHold&) = delete;

private:
    RegistryApi& m_api;
};

} // namespace tw
