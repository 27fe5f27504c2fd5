// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The part of a registry file a caller will read, so that a file of thousands of keys need not be
// built whole for a command that reads a few: keys read with everything below them, and keys whose
// values alone are read. Paths are relative to the file's branch, levels separated by backslashes.
//
// A file read for a scope holds those keys exactly. Of the keys on the way to them it holds only that
// they exist; of the rest, nothing. What the scope does not answer for is found by reading the file whole.
class ReadScope
{
public:
    ReadScope& branch(std::string_view path);
    ReadScope& values(std::string_view path);
    bool empty() const { return m_entries.empty(); }

    enum class Need {
        Exists, // whether the key is there
        Values, // its values
        Subkeys, // its subkeys
    };
    // Whether a file read for this scope answers `need` for the key at `levels`.
    bool answers(const std::vector<std::u16string>& levels, Need need) const;

    // For one key line of the file: how many of its leading levels are made keys, and whether the key's
    // own values are read.
    struct Match
    {
        std::size_t levels = 0;
        bool values = false;
    };
    Match match(const std::vector<std::u16string_view>& levels) const;

private:
    struct Entry
    {
        std::vector<std::u16string> levels;
        bool branch = false;
    };
    ReadScope& add(std::string_view path, bool branch);
    template<class Levels> std::size_t common(const Entry& entry, const Levels& levels) const;

    std::vector<Entry> m_entries;
};

} // namespace tw
