// SPDX-License-Identifier: MIT
#include "reports/TextWrap.h"

namespace tw {
namespace {

constexpr int kTabStop = 8;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

int advance(int column, char c)
{
    return c == '\t' ? (column / kTabStop + 1) * kTabStop : column + 1;
}

// Byte offsets where each character starts, and the line's size after the last one.
std::vector<std::size_t> characterStarts(std::string_view line)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    }
    starts.push_back(line.size());
    return starts;
}

void wrapLine(std::string_view line, int columns, std::vector<std::string>& out)
{
    const std::vector<std::size_t> starts = characterStarts(line);
    const std::size_t count = starts.size() - 1;
    std::size_t first = 0;
    for (;;) {
        int column = 0;
        std::size_t lastBreak = first; // a word's first character after blanks; `first`: none yet
        std::size_t overflow = count;
        for (std::size_t i = first; i < count; ++i) {
            const char c = line[starts[i]];
            if (isBlank(c)) {
                // Blanks hang past the edge: they never make a line too wide.
                column = advance(column, c);
                continue;
            }
            if (i > first && isBlank(line[starts[i - 1]]))
                lastBreak = i;
            if (column + 1 > columns) {
                overflow = i;
                break;
            }
            ++column;
        }
        if (overflow == count) {
            out.emplace_back(line.substr(starts[first]));
            return;
        }
        std::size_t cut = lastBreak > first ? lastBreak : overflow;
        if (cut == first)
            cut = first + 1;
        out.emplace_back(line.substr(starts[first], starts[cut] - starts[first]));
        first = cut;
    }
}

} // namespace

std::vector<std::string> wrapText(std::string_view text, int columns)
{
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    if (columns < 1)
        columns = 1;
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", from);
        wrapLine(text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from),
            columns, lines);
        if (end == std::string_view::npos)
            return lines;
        from = end + 2;
    }
}

std::string expandTabs(std::string_view line)
{
    std::string out;
    out.reserve(line.size());
    int column = 0;
    for (const char c : line) {
        if (c == '\t') {
            const int next = advance(column, c);
            out.append(static_cast<std::size_t>(next - column), ' ');
            column = next;
            continue;
        }
        out.push_back(c);
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++column;
    }
    return out;
}

} // namespace tw
