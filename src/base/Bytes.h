// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <type_traits>

// Numbers stored in bytes: the registry's DWORDs, usage records, icon and program files. The readLe and
// readBe functions do not check that the bytes hold the number (`at` plus its width within the span):
// their caller does, with fits() or by the data's known size.
namespace tw::bytes {

inline std::uint16_t readLe16(std::span<const std::uint8_t> b, std::size_t at = 0)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

inline std::uint32_t readLe32(std::span<const std::uint8_t> b, std::size_t at = 0)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8)
        | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

inline std::uint64_t readLe64(std::span<const std::uint8_t> b, std::size_t at = 0)
{
    return readLe32(b, at) | (std::uint64_t { readLe32(b, at + 4) } << 32);
}

// PNG's numbers are big-endian.
inline std::uint32_t readBe32(std::span<const std::uint8_t> b, std::size_t at = 0)
{
    return (static_cast<std::uint32_t>(b[at]) << 24) | (static_cast<std::uint32_t>(b[at + 1]) << 16)
        | (static_cast<std::uint32_t>(b[at + 2]) << 8) | static_cast<std::uint32_t>(b[at + 3]);
}

// Whether `length` bytes from `offset` lie within `b`; offsets read from a file may be anything.
inline bool fits(std::span<const std::uint8_t> b, std::uint64_t offset, std::uint64_t length)
{
    return offset <= b.size() && length <= b.size() - offset;
}

// A layout of byte arrays (no padding, no byte order of its own) copied from `offset`, when `b` holds it.
template<class T> std::optional<T> readAt(std::span<const std::uint8_t> b, std::uint64_t offset)
{
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) == 1);
    if (!fits(b, offset, sizeof(T)))
        return std::nullopt;
    T t;
    std::memcpy(&t, b.data() + offset, sizeof(T));
    return t;
}

} // namespace tw::bytes
