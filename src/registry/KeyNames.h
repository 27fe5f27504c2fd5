// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistryApi.h"

#include <string>
#include <string_view>

namespace tw {

class Registry;

// The rules a new key's name must meet before it is created, kept beside the registry they protect.
namespace keynames {

// Windows refuses a key name longer than this, in UTF-16 characters.
inline constexpr std::size_t kMaxLength = 255;

enum class Problem {
    None,
    Backslash, // it would create nested keys, not one
    TooLong,
};

// What is wrong with a UTF-8 name as the name of one new key.
Problem check(std::string_view name);

// Whether `parent` has a subkey of that name, compared as Windows compares key names (case ignored),
// so that a hidden entry the list does not show is not overwritten.
bool exists(Registry& registry, RegKey root, const std::string& parent, std::string_view name);

} // namespace keynames
} // namespace tw
