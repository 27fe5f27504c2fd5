// SPDX-License-Identifier: MIT
#include "base/VersionCompare.h"

#include <algorithm>
#include <limits>

namespace tw {

std::optional<DottedVersion> parseDottedVersion(std::string_view text)
{
    DottedVersion version;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t start = pos;
        std::uint64_t value = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            const auto digit = static_cast<std::uint64_t>(text[pos] - '0');
            if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
                return std::nullopt;
            value = value * 10 + digit;
            ++pos;
        }
        if (pos == start)
            return std::nullopt; // empty text, empty part, or a character that is no digit
        version.parts.push_back(value);
        if (pos == text.size())
            return version;
        if (text[pos] != '.')
            return std::nullopt;
        ++pos;
    }
}

std::strong_ordering compareVersions(const DottedVersion& a, const DottedVersion& b)
{
    const std::size_t n = std::max(a.parts.size(), b.parts.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t x = i < a.parts.size() ? a.parts[i] : 0;
        const std::uint64_t y = i < b.parts.size() ? b.parts[i] : 0;
        if (x != y)
            return x <=> y;
    }
    return std::strong_ordering::equal;
}

std::string_view trimVersionText(std::string_view text)
{
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (text.substr(0, bom.size()) == bom)
        text.remove_prefix(bom.size());
    constexpr std::string_view blanks = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

UpdateVerdict judgeVersionFile(std::string_view body, const DottedVersion& running)
{
    UpdateVerdict verdict;
    verdict.published = std::string(trimVersionText(body));
    const std::optional<DottedVersion> published = parseDottedVersion(verdict.published);
    if (!published)
        return verdict;
    const std::strong_ordering order = compareVersions(*published, running);
    if (order == std::strong_ordering::equal)
        verdict.status = UpdateStatus::Current;
    else if (order == std::strong_ordering::greater)
        verdict.status = UpdateStatus::UpdateAvailable;
    else
        verdict.status = UpdateStatus::RunningNewer;
    return verdict;
}

} // namespace tw
