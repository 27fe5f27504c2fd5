// SPDX-License-Identifier: MIT
#include "registry/KeyNames.h"

#include "base/Text.h"
#include "registry/Registry.h"

#include <vector>

namespace tw::keynames {

Problem check(std::string_view name)
{
    if (name.find('\\') != std::string_view::npos)
        return Problem::Backslash;
    if (text::utf8ToUtf16(name).size() > kMaxLength)
        return Problem::TooLong;
    return Problem::None;
}

bool exists(Registry& registry, RegKey root, const std::string& parent, std::string_view name)
{
    std::vector<std::string> names;
    registry.GetKeyNames(root, parent, names);
    const std::u16string wanted = text::utf8ToUtf16(name);
    for (const auto& n : names) {
        if (text::equalsIgnoreCase(text::utf8ToUtf16(n), wanted))
            return true;
    }
    return false;
}

} // namespace tw::keynames
