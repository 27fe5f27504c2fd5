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

// A host name as addresses are written without a scheme: labels of letters, digits and hyphens joined
// by dots, the last one letters only ("support.example.com"), so that a path or a program name never
// passes for one.
bool isHostName(std::string_view host)
{
    const auto dot = host.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || host.size() - dot - 1 < 2)
        return false;
    const auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const std::string_view last = host.substr(dot + 1);
    if (!std::all_of(last.begin(), last.end(), isAlpha))
        return false;
    // A program or script is no web address, though "uninst.exe" is written like one.
    for (std::string_view ext : { "exe", "bat", "cmd", "msi", "scr", "pif", "lnk", "dll", "vbs", "js", "ps1",
             "reg", "inf", "cpl", "hta", "jar", "sys", "ini", "txt", "ico" }) {
        if (startsWithNoCase(last, ext) && last.size() == ext.size())
            return false;
    }
    char previous = '.';
    for (char c : host) {
        const bool label = isAlpha(c) || (c >= '0' && c <= '9') || c == '-';
        if (!label && c != '.')
            return false;
        if (c == '.' && (previous == '.' || previous == '-'))
            return false;
        previous = c;
    }
    return true;
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
    // Any other value is a link too where it reads as a web or mail address without its scheme, as
    // entries often store them ("help.example.com/faq", "support@example.com").
    if (const auto at = text.find('@'); at != std::string_view::npos) {
        const std::string_view local = text.substr(0, at);
        if (!local.empty() && local.find_first_of(":/\\") == std::string_view::npos
            && isHostName(text.substr(at + 1)))
            return "mailto:" + std::string(text);
        return std::nullopt;
    }
    if (isHostName(text.substr(0, text.find_first_of("/?#"))))
        return "http://" + std::string(text);
    return std::nullopt;
}

} // namespace tw
