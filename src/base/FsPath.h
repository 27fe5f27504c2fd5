// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>

namespace tw {

// Paths are UTF-8 strings in the program; std::filesystem wants char8_t for that in C++20.
inline std::filesystem::path toFsPath(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string fromFsPath(const std::filesystem::path& p)
{
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

} // namespace tw
