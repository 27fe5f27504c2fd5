// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Steam's KeyValues text format (libraryfolders.vdf, appmanifest_*.acf): quoted or bare tokens,
// "key" "value" pairs and "key" { ... } objects, // comments. Keys are looked up without regard to
// case, as Steam does.
namespace tw::prefixes::vdf {

struct Node
{
    std::string key;
    std::string value; // a leaf's text; empty for an object
    bool isObject = false;
    std::vector<Node> children; // an object's entries, in file order

    // The first entry named `name`, or null. Only objects have entries.
    const Node* find(std::string_view name) const;
    // The text of the leaf entry named `name`; nothing when it is missing or an object.
    std::optional<std::string> text(std::string_view name) const;
};

// Real files nest a handful of levels; the limit keeps a hostile file from exhausting the stack.
inline constexpr int maxDepth = 64;

// The file as an object holding its top-level entries, or nothing with `error` set to
// "line N: ..." when the text is not well formed.
std::optional<Node> parse(std::string_view text, std::string* error = nullptr);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace tw::prefixes::vdf
