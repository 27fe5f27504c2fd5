// SPDX-License-Identifier: MIT
#include "inventory/IconExtractor.h"

#include "inventory/IconReader.h"

namespace tw::icons {

// The sizes the platform asks for with its default metrics: SM_CXICON and SM_CXSMICON.
constexpr int kLargeSize = 32;
constexpr int kSmallSize = 16;

std::optional<IconPair> ExtractIconExA(const std::string& file, std::int32_t index)
{
    const auto bytes = readIconFile(file);
    if (!bytes)
        return std::nullopt;
    auto large = chooseIcon(*bytes, index, kLargeSize);
    auto small = chooseIcon(*bytes, index, kSmallSize);
    if (!large || !small)
        return std::nullopt;
    return IconPair { std::move(large->image), std::move(small->image) };
}

} // namespace tw::icons
