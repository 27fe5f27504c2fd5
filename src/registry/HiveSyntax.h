// SPDX-License-Identifier: MIT
// What the registry file's reader and writer share: lines, escaped text, times.
#pragma once

#include "registry/Hive.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw::hive {

inline constexpr std::uint64_t kTicksPerSecond = 10'000'000;
inline constexpr std::uint64_t kTicks1601To1970 = 116'444'736'000'000'000;

// Reads one line at a time and knows its number, for error messages.
class LineReader
{
public:
    LineReader(std::string_view content, const std::string& file)
        : m_content(content)
        , m_file(file)
    { }

    // Goes on in the file's next piece: the lines are counted on.
    void restart(std::string_view content)
    {
        m_content = content;
        m_pos = 0;
    }

    bool atEnd() const { return m_pos >= m_content.size(); }
    std::size_t offset() const { return m_pos; }
    int lineNumber() const { return m_line; }
    // How many lines so far ended in CR LF rather than LF.
    std::size_t crLines() const { return m_crLines; }

    // The next line without its end (LF, or CR LF); its start offset is offset() before the call.
    std::string_view next()
    {
        const std::size_t end = m_content.find('\n', m_pos);
        std::string_view line
            = end == std::string_view::npos ? m_content.substr(m_pos) : m_content.substr(m_pos, end - m_pos);
        m_pos = end == std::string_view::npos ? m_content.size() : end + 1;
        ++m_line;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            ++m_crLines;
        }
        return line;
    }

    [[noreturn]] void fail(const std::string& message) const { failAt(m_line, message); }
    [[noreturn]] void failAt(int line, const std::string& message) const
    {
        throw ParseError { m_file, line, message };
    }

private:
    std::string_view m_content;
    const std::string& m_file;
    std::size_t m_pos = 0;
    int m_line = 0;
    std::size_t m_crLines = 0;
};

inline bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// Only blanks may follow `pos` on the line; else it fails with "unexpected text after " and `after`.
inline void expectEnd(LineReader& r, std::string_view line, std::size_t pos, const char* after)
{
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
        ++pos;
    if (pos != line.size())
        r.fail(std::string("unexpected text after ") + after);
}

// 2000000 as "2,000,000", for messages.
std::string grouped(std::size_t n);

// Escapes text as Wine's writer does; `quote` are the characters that get a backslash besides it.
std::string escape(std::u16string_view s, std::string_view quote, bool skipFinalNul);

// Parses quoted text from `pos` (just after the opening character) to the unescaped `close` (']' after a
// key's path, '"' after a name or text), appends it to `out` and leaves `pos` after the close; text longer
// than `maxUnits` UTF-16 units fails with `tooLong` as soon as it gets there.
void unescape(LineReader& r, std::string_view line, std::size_t& pos, char close, std::size_t maxUnits,
    const char* tooLong, std::u16string& out);

// A backslash in a key's unescaped path, which separates its levels: the path's length up to and with it,
// and the offset in the line after the escape that stands for it.
struct PathBreak
{
    std::size_t units = 0;
    std::size_t offset = 0;
};

// A key's path, from after its '[' to the closing ']', as unescape() reads it; notes each backslash in
// `breaks`.
void unescapePath(LineReader& r, std::string_view line, std::size_t& pos, std::size_t maxUnits,
    const char* tooLong, std::u16string& out, std::vector<PathBreak>& breaks);

} // namespace tw::hive
