// SPDX-License-Identifier: MIT
// What the registry file's reader and writer share: lines, escaped text, times.
#pragma once

#include "registry/Hive.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

    bool atEnd() const { return m_pos >= m_content.size(); }
    std::size_t offset() const { return m_pos; }
    int lineNumber() const { return m_line; }

    // The next line without its end; its start offset is offset() before the call.
    std::string_view next()
    {
        const std::size_t end = m_content.find('\n', m_pos);
        std::string_view line
            = end == std::string_view::npos ? m_content.substr(m_pos) : m_content.substr(m_pos, end - m_pos);
        m_pos = end == std::string_view::npos ? m_content.size() : end + 1;
        ++m_line;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
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
};

// Escapes text as Wine's writer does; `quote` are the characters that get a backslash besides it.
std::string escape(std::u16string_view s, std::string_view quote, bool skipFinalNul);

// Parses quoted text from `pos` (just after the opening character) to the unescaped `close`, and leaves
// `pos` after it; text longer than `maxUnits` UTF-16 units fails with `tooLong` as soon as it gets there.
std::u16string unescape(LineReader& r, std::string_view line, std::size_t& pos, char close,
    std::size_t maxUnits, const char* tooLong);

} // namespace tw::hive
