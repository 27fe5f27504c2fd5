// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <yaml-cpp/yaml.h>

namespace tw::prefixes::scan {

// An entry of a mapping; a null node when `node` is not a mapping or has no such entry (where
// yaml-cpp would throw on the next look).
inline YAML::Node entry(const YAML::Node& node, const char* key)
{
    if (!node.IsDefined() || !node.IsMap())
        return YAML::Node();
    const YAML::Node value = node[key];
    return value.IsDefined() ? value : YAML::Node();
}

// The text of a mapping's scalar entry; nothing when it is missing, empty (null) or not a scalar.
inline std::optional<std::string> text(const YAML::Node& node, const char* key)
{
    const YAML::Node value = entry(node, key);
    if (!value.IsScalar())
        return std::nullopt;
    return value.Scalar();
}

} // namespace tw::prefixes::scan
