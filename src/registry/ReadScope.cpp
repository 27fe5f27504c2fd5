// SPDX-License-Identifier: MIT
#include "registry/ReadScope.h"

#include "base/Text.h"

#include <algorithm>

namespace tw {

ReadScope& ReadScope::branch(std::string_view path)
{
    return add(path, true);
}

ReadScope& ReadScope::values(std::string_view path)
{
    return add(path, false);
}

ReadScope& ReadScope::add(std::string_view path, bool branch)
{
    Entry entry;
    entry.branch = branch;
    const std::u16string all = text::ansiToUtf16(path);
    // Empty levels are no levels, as in a key line.
    for (std::size_t start = 0; start <= all.size();) {
        std::size_t end = all.find(u'\\', start);
        if (end == std::u16string::npos)
            end = all.size();
        if (end > start)
            entry.levels.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    m_entries.push_back(std::move(entry));
    return *this;
}

// How many leading levels of `levels` are the entry's, as Windows compares names.
template<class Levels> std::size_t ReadScope::common(const Entry& entry, const Levels& levels) const
{
    const std::size_t n = std::min(entry.levels.size(), levels.size());
    std::size_t i = 0;
    while (i < n && text::equalsIgnoreCase(entry.levels[i], levels[i]))
        ++i;
    return i;
}

bool ReadScope::answers(const std::vector<std::u16string>& levels, Need need) const
{
    for (const Entry& e : m_entries) {
        const std::size_t same = common(e, levels);
        const bool below = same == e.levels.size(); // the entry's key or one under it
        if (below && e.branch)
            return true;
        if (need == Need::Exists && same == levels.size())
            return true; // the entry's key or one on the way to it
        if (need == Need::Values && below && same == levels.size())
            return true;
    }
    return false;
}

ReadScope::Match ReadScope::match(const std::vector<std::u16string_view>& levels) const
{
    Match m;
    for (const Entry& e : m_entries) {
        const std::size_t same = common(e, levels);
        if (same == e.levels.size() && (e.branch || same == levels.size()))
            return { levels.size(), true };
        m.levels = std::max(m.levels, same);
    }
    return m;
}

} // namespace tw
