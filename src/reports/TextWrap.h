// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The lines a word-wrapping multi-line edit box `columns` characters wide shows for `text` in a
// fixed-pitch font, so a printed page breaks where the box would:
// - only CR LF is a hard break; a lone CR or LF is one more character, as the box shows it. A text
//   ending in CR LF ends with an empty line; an empty text has no lines;
// - a line wider than the box breaks after the last run of blanks (space, TAB) that still starts
//   inside it. Those blanks stay at the end of their line and hang past the edge instead of counting
//   against the width, so the next line starts with the next word and no blank line appears;
// - a word wider than the box breaks after the character that fills the line;
// - every character of the UTF-8 text is one column, a TAB moves to the next multiple of eight.
// Nothing is added or dropped: the lines of one hard line, joined, give it back. `columns` below
// one counts as one.
std::vector<std::string> wrapText(std::string_view text, int columns);

// The line with each TAB widened to the spaces up to the next stop, as the box lays it out.
std::string expandTabs(std::string_view line);

} // namespace tw
