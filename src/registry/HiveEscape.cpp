// SPDX-License-Identifier: MIT
// Escaped text in Wine's registry files: key names in brackets, value names and strings in quotes.
#include "registry/HiveSyntax.h"

#include "base/Text.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace tw::hive {

namespace {

bool isHexDigit(char32_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The characters that stand for themselves inside text that ends with `close`.
using PlainSet = std::array<bool, 256>;

constexpr PlainSet plainBefore(char close)
{
    PlainSet plain {};
    for (int c = 0; c < 0x80; ++c)
        plain[c] = c != '\\' && c != close;
    return plain;
}

constexpr PlainSet kPlainInName = plainBefore(']');
constexpr PlainSet kPlainInQuotes = plainBefore('"');

// Where the characters from `pos` that stand for themselves end: eight at a time while none of them is
// a backslash, `close` or beyond ASCII, then one at a time.
std::size_t plainEnd(std::string_view line, std::size_t pos, char close)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    const auto anyZero = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighBits; };
    const std::uint64_t backslashes = kOnes * '\\';
    const std::uint64_t closes = kOnes * static_cast<unsigned char>(close);
    std::size_t end = pos;
    for (std::uint64_t eight = 0; end + 8 <= line.size(); end += 8) {
        std::memcpy(&eight, line.data() + end, 8);
        if ((eight & kHighBits) | anyZero(eight ^ backslashes) | anyZero(eight ^ closes))
            break;
    }
    const PlainSet& plain = close == ']' ? kPlainInName : kPlainInQuotes;
    while (end < line.size() && plain[static_cast<unsigned char>(line[end])])
        ++end;
    return end;
}

// A control character: by letter where C has one, else in octal, padded when a digit follows.
void appendControl(std::string& out, char16_t c, bool hasNext, char16_t next)
{
    static constexpr char kEscapes[] = ".......abtnvfr.............e....";
    if (kEscapes[c] != '.') {
        out += '\\';
        out += kEscapes[c];
        return;
    }
    char buf[8];
    const bool pad = hasNext && next >= '0' && next <= '7';
    std::snprintf(buf, sizeof buf, pad ? "\\%03o" : "\\%o", static_cast<unsigned>(c));
    out += buf;
}

// The character a one-letter escape stands for, or -1 when the letter is none.
int letterEscape(char e)
{
    switch (e) {
    case '\\':
    case '"':
    case '[':
    case ']':
        return e;
    case 'a':
        return 7;
    case 'b':
        return 8;
    case 't':
        return 9;
    case 'n':
        return 10;
    case 'v':
        return 11;
    case 'f':
        return 12;
    case 'r':
        return 13;
    case 'e':
        return 27;
    default:
        return -1;
    }
}

// The escape after a backslash, `pos` at its first character; `pos` ends past it.
char16_t readEscape(LineReader& r, std::string_view line, std::size_t& pos)
{
    if (pos >= line.size())
        r.fail("a backslash ends the line");
    const char e = line[pos++];
    if (const int c = letterEscape(e); c >= 0)
        return static_cast<char16_t>(c);
    if (e == 'x') {
        unsigned v = 0;
        int digits = 0;
        while (digits < 4 && pos < line.size() && text::hexDigitValue(line[pos]) >= 0) {
            v = v * 16 + static_cast<unsigned>(text::hexDigitValue(line[pos++]));
            ++digits;
        }
        if (digits == 0)
            r.fail("\\x is not followed by a hexadecimal digit");
        return static_cast<char16_t>(v);
    }
    if (e >= '0' && e <= '7') {
        unsigned v = static_cast<unsigned>(e - '0');
        for (int k = 0; k < 2 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++k)
            v = v * 8 + static_cast<unsigned>(line[pos++] - '0');
        return static_cast<char16_t>(v);
    }
    r.fail(std::string("unknown escape \\") + e);
}

// Wine writes ASCII only, but reads UTF-8: one character from `pos`, whose first byte is 0x80 or more.
void appendUtf8(LineReader& r, std::string_view line, std::size_t& pos, std::u16string& out)
{
    const auto c = static_cast<unsigned char>(line[pos]);
    const std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    if (c < 0xC2 || c > 0xF4 || pos + len > line.size())
        r.fail("the text is not valid UTF-8");
    const std::u16string part = text::utf8ToUtf16(line.substr(pos, len));
    if (part.find(u'\xFFFD') != std::u16string::npos)
        r.fail("the text is not valid UTF-8");
    out += part;
    pos += len;
}

// Unescapes as unescape() does, and tells `onBackslash` of each backslash it appends, with the length of
// `out` and the offset in `line` after it.
template<class OnBackslash>
void unescapeWith(LineReader& r, std::string_view line, std::size_t& pos, char close, std::size_t maxUnits,
    const char* tooLong, std::u16string& out, OnBackslash onBackslash)
{
    const std::size_t start = out.size();
    while (true) {
        // Plain ASCII runs in one step: most names and texts are nothing else.
        const std::size_t end = plainEnd(line, pos, close);
        if (end > pos) {
            const std::size_t at = out.size();
            out.resize(at + (end - pos));
            for (std::size_t i = pos; i < end; ++i)
                out[at + (i - pos)] = static_cast<char16_t>(line[i]);
            pos = end;
        }
        if (out.size() - start > maxUnits)
            r.fail(tooLong);
        if (pos >= line.size())
            r.fail("text is not closed with " + std::string(1, close));
        const auto c = static_cast<unsigned char>(line[pos]);
        if (c == static_cast<unsigned char>(close)) {
            ++pos;
            return;
        }
        if (c >= 0x80) {
            appendUtf8(r, line, pos, out);
        } else {
            ++pos;
            out.push_back(readEscape(r, line, pos));
            if (out.back() == u'\\')
                onBackslash(out.size(), pos);
        }
    }
}

} // namespace

void unescape(LineReader& r, std::string_view line, std::size_t& pos, char close, std::size_t maxUnits,
    const char* tooLong, std::u16string& out)
{
    unescapeWith(r, line, pos, close, maxUnits, tooLong, out, [](std::size_t, std::size_t) {});
}

void unescapePath(LineReader& r, std::string_view line, std::size_t& pos, std::size_t maxUnits,
    const char* tooLong, std::u16string& out, std::vector<PathBreak>& breaks)
{
    unescapeWith(r, line, pos, ']', maxUnits, tooLong, out, [&](std::size_t units, std::size_t offset) {
        breaks.push_back({ units, offset });
    });
}

std::string escape(std::u16string_view s, std::string_view quote, bool skipFinalNul)
{
    std::string out;
    out.reserve(s.size() + 8);
    char buf[16];
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        const bool hasNext = i + 1 < s.size();
        const char16_t next = hasNext ? s[i + 1] : 0;
        if (c > 127) {
            const bool pad = hasNext && next < 128 && isHexDigit(next);
            std::snprintf(buf, sizeof buf, pad ? "\\x%04x" : "\\x%x", static_cast<unsigned>(c));
            out += buf;
        } else if (c < 32) {
            if (!(c == 0 && !hasNext && skipFinalNul))
                appendControl(out, c, hasNext, next);
        } else {
            if (c == '\\' || quote.find(static_cast<char>(c)) != std::string_view::npos)
                out += '\\';
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace tw::hive
