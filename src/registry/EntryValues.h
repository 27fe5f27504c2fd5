// SPDX-License-Identifier: MIT
#pragma once

#include "registry/RegistryApi.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the entry editor shows of an entry's values and what it writes back. The grid edits every value
// as a text; each value keeps its type, and one the user left alone keeps its bytes, because only
// the values whose rows changed are written.
namespace tw::entries {

// One value as the ANSI calls return it: the name in UTF-8, the data as stored (strings in the ANSI
// code page).
struct EntryValue
{
    std::string name;
    std::uint32_t type = kRegSz;
    std::vector<std::uint8_t> data;
    bool operator==(const EntryValue&) const = default;
};

// Every value of the key, in the registry's enumeration order; none when the key cannot be opened.
std::vector<EntryValue> readEntryValues(RegistryApi& api, RegKey root, const std::string& path);

// How a value reads as a text in the grid:
//   Text     REG_SZ and REG_EXPAND_SZ: the text before the first NUL.
//   Strings  REG_MULTI_SZ: the strings joined by " | "; a '|' inside a string is doubled.
//   Number   a 4-byte REG_DWORD: signed decimal, as the value enumeration has always shown it.
//   Bytes    everything else (a REG_DWORD of another length too): hex bytes, "01 00 ff".
enum class ValueForm { Text, Strings, Number, Bytes };

ValueForm formOf(std::uint32_t type, std::size_t size);
inline ValueForm formOf(const EntryValue& value)
{
    return formOf(value.type, value.data.size());
}

// "REG_SZ", "REG_DWORD", ...; an unknown type as its number in hex ("0x00000020").
std::string typeName(std::uint32_t type);

// The cell texts of a value, trimmed of surrounding spaces as the grid has always shown them.
std::string displayName(const EntryValue& value);
std::string displayText(const EntryValue& value);

// The data an edited text stands for, or none when the text does not read as that form. A text is
// written with one NUL after it and its leading spaces removed (trailing ones stay); so are the
// strings of a multi-string. A number is any decimal from -2147483648 to 4294967295, spaces around it
// allowed. Bytes are pairs of hex digits, separated by spaces or commas or not at all.
std::optional<std::vector<std::uint8_t>> encodeText(ValueForm form, std::string_view text);

// The strings of REG_MULTI_SZ data and back; the empty list is a lone NUL.
std::vector<std::string> splitMultiString(const std::vector<std::uint8_t>& data);
std::vector<std::uint8_t> joinMultiString(const std::vector<std::string>& strings);

// One grid row as the user left it.
struct EntryRow
{
    std::optional<std::size_t> origin; // index of the value it was loaded from; none: added in the editor
    std::string name;
    std::string text;
};

struct EntryChange
{
    enum class Kind {
        DeleteValue,
        SetValue,
        DeleteKeyIfEmpty, // the key, when it holds no value and no subkey any more
    };
    Kind kind = Kind::SetValue;
    std::string name;
    std::uint32_t type = kRegSz;
    std::vector<std::uint8_t> data;
    bool operator==(const EntryChange&) const = default;
};

// A row whose text does not read as its value's form; nothing may be written then.
struct RejectedRow
{
    std::size_t row = 0;
    std::string name;
    ValueForm form = ValueForm::Text;
};

struct EntryPlan
{
    std::vector<EntryChange> changes;
    std::optional<RejectedRow> rejected;
};

// What OK writes for the rows, given the values they were loaded from. The key ends up holding the
// named rows: a row without a name is dropped (unless it holds the key's default value, whose name
// is empty), of rows with the same name (case ignored) the last wins, deleted and renamed values
// are deleted one by one before anything is written, and only changed or new values are written.
// When every value goes, the key goes too, unless it has subkeys.
EntryPlan planWriteBack(const std::vector<EntryValue>& original, const std::vector<EntryRow>& rows);

// Carries out one change on the key; 0, or the registry's code when the change could not be made.
long applyChange(RegistryApi& api, RegKey root, const std::string& path, const EntryChange& change);

// Carries out the changes as one: either all of them are made, or the key is left as it was (where
// the backend saves them together, nothing reaches the disk; elsewhere what was made is undone).
// Returns 0, or the code of the first step that failed.
long applyChanges(
    RegistryApi& api, RegKey root, const std::string& path, const std::vector<EntryChange>& changes);

} // namespace tw::entries
