// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace tw {

// Find in the program list. It remembers the last text and whether it was found, so that pressing
// Find again with the same text goes on to the next match below the selected row.
class ProgramSearch
{
public:
    // The position of the next row whose text holds `typed` (spaces around it ignored, case ignored),
    // or none when there is none; `selected` is the selected position, if any.
    std::optional<int> next(const QString& typed, int rowCount, std::optional<int> selected,
        const std::function<QString(int)>& rowText);
    // The text last looked for, as it was looked for.
    const QString& lastSearch() const { return m_lastSearch; }

private:
    QString m_lastSearch;
    bool m_notFound = false;
};

} // namespace tw
