// SPDX-License-Identifier: MIT
#include "reports/LinkRule.h"

#include <algorithm>

namespace tw {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) {
        const char lower = (t >= 'A' && t <= 'Z') ? static_cast<char>(t - 'A' + 'a') : t;
        return p == lower;
    });
}

std::string_view trimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::optional<std::string> linkTarget(std::string_view text)
{
    text = trimSpaces(text);
    // A line break or tab inside is no address; it may be meant to smuggle a second line to a handler.
    const bool hasBlank = std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= 0x20 || u == 0x7F;
    });
    if (text.empty() || hasBlank)
        return std::nullopt;

    for (std::string_view scheme : { "http://", "https://", "ftp://" }) {
        if (!startsWithNoCase(text, scheme))
            continue;
        const std::string_view rest = text.substr(scheme.size());
        // "http:///etc/passwd" has no host: a handler would read it as a local file.
        if (rest.empty() || rest.front() == '/' || rest.front() == '\\')
            return std::nullopt;
        return std::string(text);
    }
    if (startsWithNoCase(text, "mailto:")) {
        if (text.size() == 7)
            return std::nullopt;
        return std::string(text);
    }
    if (startsWithNoCase(text, "www.") && text.size() > 4)
        return "http://" + std::string(text);
    return std::nullopt;
}

} // namespace tw
