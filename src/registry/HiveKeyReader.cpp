// SPDX-License-Identifier: MIT
// The key lines of a registry file, and the tree of keys they make.
#include "registry/HiveKeyReader.h"

#include "base/Text.h"

#include <algorithm>

namespace tw::hive {

namespace {

// Names longer than Windows creates (255) are still read, as Wine reads them, up to its own bound.
constexpr std::size_t kMaxKeyNameReadLength = 16383;
// A key line names every level: the deepest key with the longest names, and their separators.
constexpr std::size_t kMaxKeyPathLength = kMaxKeyDepth * (kMaxKeyNameReadLength + 1);
constexpr std::size_t kSortedInsertLimit = 64;

void checkDepth(LineReader& r, std::size_t depth)
{
    if (depth > kMaxKeyDepth)
        r.fail("the key is nested " + std::to_string(depth) + " levels deep, deeper than the "
            + std::to_string(kMaxKeyDepth) + " levels a key may have");
}

void checkName(LineReader& r, std::u16string_view name)
{
    if (name.size() > kMaxKeyNameReadLength)
        r.fail("a key name is too long");
}

void checkKeyCount(LineReader& r, std::size_t keys)
{
    if (keys > kMaxKeyCount)
        r.fail("the file holds more than " + grouped(kMaxKeyCount)
            + " keys, more than a registry file may hold");
}

} // namespace

Key& TreeBuilder::child(Key& parent, std::u16string_view name)
{
    if (const auto found = m_unsorted.find(&parent); found != m_unsorted.end()) {
        const auto [it, inserted] = found->second.try_emplace(text::toUpper(name), nullptr);
        if (inserted)
            it->second = &append(parent, name);
        return *it->second;
    }
    // The last subkey first: the one a file in order names again or goes past, without a search.
    if (parent.subkeys.empty() || lessWindows(parent.subkeys.back()->name, name))
        return append(parent, name);
    if (text::equalsIgnoreCase(parent.subkeys.back()->name, name))
        return *parent.subkeys.back();
    if (Key* existing = parent.findSubkey(name))
        return *existing;
    if (parent.subkeys.size() < kSortedInsertLimit) {
        ++m_keys;
        return parent.addSubkey(std::u16string(name));
    }
    auto& index = m_unsorted[&parent];
    for (const auto& k : parent.subkeys)
        index.emplace(text::toUpper(k->name), k.get());
    Key& added = append(parent, name);
    index.emplace(text::toUpper(added.name), &added);
    return added;
}

void TreeBuilder::finish()
{
    for (auto& entry : m_unsorted)
        std::sort(entry.first->subkeys.begin(), entry.first->subkeys.end(),
            [](const auto& a, const auto& b) { return lessWindows(a->name, b->name); });
    m_unsorted.clear();
}

Key& TreeBuilder::append(Key& parent, std::u16string_view name)
{
    ++m_keys;
    auto key = std::make_unique<Key>();
    key->name = name;
    key->parent = &parent;
    return *parent.subkeys.emplace_back(std::move(key));
}

KeyLine KeyReader::read(LineReader& r, std::string_view line)
{
    const std::size_t shared = sharedLevels(line);
    std::size_t pos = shared == 0 ? 1 : m_levels[shared - 1].end;
    m_path.clear();
    m_breaks.clear();
    if (shared == 0 || !m_levels[shared - 1].endsPath)
        unescapePath(r, line, pos, kMaxKeyPathLength - (shared == 0 ? 0 : m_levels[shared - 1].units),
            "the key's path is too long", m_path, m_breaks);
    splitPath(shared, pos);
    KeyLine read;
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
        read.seconds = read.seconds * 10 + static_cast<std::uint64_t>(line[pos++] - '0');
        if (read.seconds > 0xFFFFFFFFull)
            r.fail("the key's time stamp is out of range");
    }
    expectEnd(r, line, pos, "the key's name and time stamp");
    if (m_scope)
        read.inScope = keepScoped(r, shared);
    read.key = &keyAt(r, shared, read.spelledAsStored);
    m_lastLine = line;
    return read;
}

// Leaves in m_parts the levels the scope keeps, having checked those it leaves out as keyAt checks
// them; whether the key itself is in the scope. The levels shared with the last key line were kept,
// since only kept levels are shared.
bool KeyReader::keepScoped(LineReader& r, std::size_t shared)
{
    m_names.clear();
    for (std::size_t i = 0; i < shared; ++i)
        m_names.push_back(m_chain[i]->name);
    for (const Part& part : m_parts)
        m_names.push_back(part.name);
    const ReadScope::Match match = m_scope->match(m_names);
    if (match.values)
        return true;
    checkDepth(r, m_names.size());
    const std::size_t kept = std::max(match.levels, shared) - shared;
    for (std::size_t i = kept; i < m_parts.size(); ++i)
        checkName(r, m_parts[i].name);
    // The keys the line would make that are not made: at most its levels past those it shares with the
    // last line left out (whose keys are there already) and past those made.
    std::size_t same = 0;
    while (same < m_names.size() && same < m_lastLeftOut.size()
        && text::equalsIgnoreCase(m_names[same], m_lastLeftOut[same]))
        ++same;
    m_keysLeftOut += m_names.size() - std::min(m_names.size(), std::max(same, match.levels));
    checkKeyCount(r, m_tree.keyCount() + m_keysLeftOut);
    m_lastLeftOut.resize(m_names.size());
    for (std::size_t i = same; i < m_names.size(); ++i)
        m_lastLeftOut[i] = m_names[i];
    m_parts.resize(kept);
    return false;
}

// How many levels of the last key line `line` names again, byte for byte up to the byte after each
// (which ends an escape of variable length): those are read already.
std::size_t KeyReader::sharedLevels(std::string_view line) const
{
    const std::size_t n = std::min(line.size(), m_lastLine.size());
    const auto common = static_cast<std::size_t>(
        std::mismatch(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(n), m_lastLine.begin()).first
        - line.begin());
    std::size_t shared = 0;
    while (shared < m_levels.size() && m_levels[shared].end < common)
        ++shared;
    return shared;
}

// The levels of m_path, which follow the `shared` ones and end at `pathEnd` in the line. Two separators
// in a row make no empty level.
void KeyReader::splitPath(std::size_t shared, std::size_t pathEnd)
{
    const std::size_t unitBase = shared == 0 ? 0 : m_levels[shared - 1].units;
    m_parts.clear();
    for (std::size_t b = 0, start = 0; b <= m_breaks.size(); ++b) {
        const bool last = b == m_breaks.size();
        const std::size_t end = last ? m_path.size() : m_breaks[b].units - 1;
        if (end > start)
            m_parts.push_back({ std::u16string_view(m_path).substr(start, end - start),
                { last ? pathEnd : m_breaks[b].offset, unitBase + (last ? end : end + 1), last, false } });
        start = end + 1;
    }
}

// The key of a line whose first `shared` levels are the last key line's and the rest in m_parts.
Key& KeyReader::keyAt(LineReader& r, std::size_t shared, bool& spelledAsStored)
{
    checkDepth(r, shared + m_parts.size());
    Key* key = shared == 0 ? &m_root : m_chain[shared - 1];
    spelledAsStored = shared == 0 || m_levels[shared - 1].spelled;
    m_levels.resize(shared);
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        const std::size_t level = shared + i;
        const std::u16string_view part = m_parts[i].name;
        checkName(r, part);
        // The last key line's key at this level, when it is spelled the same, is the key.
        if (level < m_chain.size() && m_chain[level]->parent == key && m_chain[level]->name == part) {
            key = m_chain[level];
        } else {
            key = &levelAt(r, level, *key, part);
            spelledAsStored = spelledAsStored && key->name == part;
        }
        m_levels.push_back(m_parts[i].level);
        m_levels.back().spelled = spelledAsStored;
    }
    m_chain.resize(m_levels.size());
    return *key;
}

// The subkey `name` of `parent`, at `depth` levels below the root: the last key line's when it named the
// same in another case, else through the tree.
Key& KeyReader::levelAt(LineReader& r, std::size_t depth, Key& parent, std::u16string_view name)
{
    if (depth < m_chain.size() && m_chain[depth]->parent == &parent
        && text::equalsIgnoreCase(m_chain[depth]->name, name))
        return *m_chain[depth];
    Key& key = m_tree.child(parent, name);
    checkKeyCount(r, m_tree.keyCount());
    if (depth < m_chain.size())
        m_chain[depth] = &key;
    else
        m_chain.push_back(&key);
    return key;
}

} // namespace tw::hive
