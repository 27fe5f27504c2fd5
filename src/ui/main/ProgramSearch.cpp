// SPDX-License-Identifier: MIT
#include "ui/main/ProgramSearch.h"

namespace tw {
namespace {

// The search trims spaces only, not tabs or other white space.
QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

std::optional<int> ProgramSearch::next(const QString& typed, int rowCount, std::optional<int> selected,
    const std::function<QString(int)>& rowText)
{
    const QString wanted = trimSpaces(typed);
    const int selectedRow = selected.value_or(-1) + 1; // 1 for the top row, 0 for none
    int start = selectedRow + 1;
    if (wanted != m_lastSearch || m_notFound || selectedRow == rowCount)
        start = 1;
    // An empty list has nothing to find: say so rather than fail.
    if (rowCount == 0)
        m_notFound = true;
    std::optional<int> found;
    const QString upper = wanted.toUpper();
    for (int row = start; row <= rowCount; ++row) {
        if (rowText(row - 1).toUpper().contains(upper)) {
            found = row - 1;
            m_notFound = false;
            break;
        }
        m_notFound = true;
    }
    m_lastSearch = wanted;
    return m_notFound ? std::nullopt : found;
}

} // namespace tw
