// SPDX-License-Identifier: MIT
#pragma once

#include "registry/Hive.h"
#include "registry/HiveSyntax.h"
#include "registry/ReadScope.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tw::hive {

// Builds the tree while a file is read. Wine writes keys in nearly Windows' order, so a new subkey almost
// always goes at the end of its parent's sorted list. A file in another order must not make each insertion
// shift the whole list: a large parent that receives a subkey out of order takes the rest unsorted, is
// looked up through an index of its names, and is sorted once at the end.
class TreeBuilder
{
public:
    Key& child(Key& parent, std::u16string_view name);
    std::size_t keyCount() const { return m_keys; }
    void finish();

private:
    Key& append(Key& parent, std::u16string_view name);

    std::unordered_map<Key*, std::unordered_map<std::u16string, Key*>> m_unsorted;
    std::size_t m_keys = 0;
};

// What a key line ("[path\\to\\key] seconds") says.
struct KeyLine
{
    Key* key = nullptr; // made, with the keys above it, where it is new
    std::uint64_t seconds = 0;
    // Whether every level is spelled as its key is: a key keeps the spelling of its first mention.
    bool spelledAsStored = true;
    // Whether the key's block is read; when not, `key` is the deepest key on its way that the scope
    // keeps, and the block is only checked.
    bool inScope = true;
};

// Reads key lines into the tree below `root`. A file in order names a key's parents in the line before,
// byte for byte: the levels a line shares with the last one are taken from it, not read again.
class KeyReader
{
public:
    // With a scope, makes only the keys it keeps (see ReadScope).
    explicit KeyReader(Key& root, const ReadScope* scope = nullptr)
        : m_root(root)
        , m_scope(scope)
    { }

    KeyLine read(LineReader& r, std::string_view line);
    // The text of the last key line is gone (the file is read in pieces): its levels are not shared.
    void forgetLastLine() { m_lastLine = {}; }
    // Puts the subkeys of keys that were read out of order into Windows' order.
    void finish() { m_tree.finish(); }

private:
    // Of each level of the last key line: where it ends, after the separator or ']' that ends it, in the
    // line and in the unescaped path; whether it ends the path; whether it and those above it are spelled
    // as their keys are.
    struct Level
    {
        std::size_t end = 0;
        std::size_t units = 0;
        bool endsPath = false;
        bool spelled = false;
    };
    struct Part
    {
        std::u16string_view name;
        Level level;
    };

    std::size_t sharedLevels(std::string_view line) const;
    void splitPath(std::size_t shared, std::size_t pathEnd);
    Key& keyAt(LineReader& r, std::size_t shared, bool& spelledAsStored);
    Key& levelAt(LineReader& r, std::size_t depth, Key& parent, std::u16string_view name);
    bool keepScoped(LineReader& r, std::size_t shared);

    Key& m_root;
    const ReadScope* m_scope;
    // Keys the scope leaves out, counted against the file's limit of keys: never fewer than there are,
    // so a file over the limit is refused, though some under it are too (and are then read whole).
    std::size_t m_keysLeftOut = 0;
    std::vector<std::u16string> m_lastLeftOut; // the levels of the last key line left out
    std::vector<std::u16string_view> m_names;
    TreeBuilder m_tree;
    std::string_view m_lastLine;
    // The keys and levels of the last key line, by depth.
    std::vector<Key*> m_chain;
    std::vector<Level> m_levels;
    // The unescaped path of the line being read, from the first level it does not share with the last one,
    // the backslashes in it, and the levels they separate.
    std::u16string m_path;
    std::vector<PathBreak> m_breaks;
    std::vector<Part> m_parts;
};

} // namespace tw::hive
