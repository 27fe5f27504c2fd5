// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw {
class ReadScope;
}

namespace tw::hive {

// A value as the registry keeps it: a type and raw bytes, strings as UTF-16LE.
struct Value
{
    std::u16string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    // The value's lines as they stood in the file, each ended by LF; empty once the value was changed or
    // when it is new, so that a save writes back exactly what it did not change. It lies in the text of
    // the Hive the value was read into.
    std::string_view text;
};

struct Key
{
    std::u16string name;
    Key* parent = nullptr;
    // Sorted as Windows enumerates them: by upper-cased name, character by character.
    std::vector<std::unique_ptr<Key>> subkeys;
    // In creation order; the order of the file for values that were loaded.
    std::vector<Value> values;
    std::uint64_t modified = 0; // last write, as a FILETIME
    std::vector<std::string> extraLines; // "#class=", "#link", comments: kept as read
    std::string_view text; // the whole block as read, in the Hive's text; empty once the key was changed
    bool hasLink = false;
    bool hasClass = false;

    Key* findSubkey(std::u16string_view subName) const;
    Key& addSubkey(std::u16string subName);
    std::unique_ptr<Key> removeSubkey(const Key& child);
    Value* findValue(std::u16string_view valueName);
    const Value* findValue(std::u16string_view valueName) const;
    // Marks the key changed: its block is written afresh on the next save.
    void touch(std::uint64_t filetime);
};

// The branch a file's keys are relative to, as its header names it.
enum class HiveRoot {
    Machine, // HKEY_LOCAL_MACHINE: system.reg
    User, // HKEY_CURRENT_USER: user.reg
};

// The root a header line ";; All keys relative to X" names: "REGISTRY\\Machine" as current Wine
// writes it, "\\Machine" as older Wine and other builds do, and the same two forms of
// "...\\User\\S-1-5-...". None for any other line.
std::optional<HiveRoot> headerRoot(std::string_view line);

struct Hive
{
    Hive() = default;
    // The keys' and values' texts point into this Hive's own.
    Hive(const Hive&) = delete;
    Hive& operator=(const Hive&) = delete;

    HiveRoot branch = HiveRoot::Machine;
    std::string header; // every line before the first key, kept as read, so its root's form stays
    Key root;
    // The file as read, which the blocks and values kept as read are parts of.
    std::string source;
    // The texts of values whose lines ended in CR LF, with LF alone as a value's text has them.
    std::deque<std::string> valueTexts;
    // Read for a scope: it holds part of the file, and is never written back.
    bool partial = false;
};

// Where a registry file is not what it must be: the file, the 1-based line (0 where the whole file is
// at fault), what is wrong.
struct ParseError
{
    std::string file;
    int line = 0;
    std::string message;
    std::string text() const;
};

// Reads a file in Wine's registry format; throws ParseError. The Hive keeps the file's text: given as a
// string, it is taken over rather than copied. A file whose header names another branch than `expected`
// is refused at that line.
std::unique_ptr<Hive> parseHive(
    std::string&& content, const std::string& fileName, HiveRoot expected = HiveRoot::Machine);
std::unique_ptr<Hive> parseHive(
    std::string_view content, const std::string& fileName, HiveRoot expected = HiveRoot::Machine);
inline std::unique_ptr<Hive> parseHive(
    const char* content, const std::string& fileName, HiveRoot expected = HiveRoot::Machine)
{
    return parseHive(std::string_view(content), fileName, expected);
}
// Where a file read in part comes from, a piece at a time: fills `into` with up to `size` bytes and
// says how many, 0 at the end; throws ParseError where it cannot.
using TextSource = std::function<std::size_t(char* into, std::size_t size)>;
// Reads what `scope` keeps of the file (see ReadScope), a piece at a time, checking all of it as
// parseHive does: a file parseHive refuses is refused, though not always at the same line or for the
// same reason (keys left out are counted by line), so the whole file is read for the verdict. Keeps no
// text of the file: the Hive is never written back.
std::unique_ptr<Hive> parseHivePart(
    const TextSource& source, const std::string& fileName, HiveRoot expected, const ReadScope& scope);
// Why a file larger than kMaxFileSize is refused, naming the line where the entry that makes it so
// begins, else the line on which it passes the limit. One pass over `in`, in constant memory.
ParseError oversizeError(std::istream& in, const std::string& fileName, std::uint64_t size);
// A registry file's text as a save writes it, in pieces: parts of what the Hive holds as read, and text
// formatted anew. The parts point into the Hive, which must stay as it is while they are in use.
class HiveText
{
public:
    std::vector<std::string_view> pieces() const;
    std::string joined() const;
    std::size_t size() const { return m_size; }
    char back() const { return m_last[1]; }
    // Whether the text ends with a blank line, or is empty.
    bool endsBlank() const;

    // Text the Hive holds, taken as it is; runs that follow each other in the Hive are one piece.
    void keep(std::string_view held);
    // Text formatted anew, copied.
    void add(std::string_view text);

private:
    struct Piece
    {
        const char* held = nullptr; // nullptr: at `offset` in m_fresh
        std::size_t offset = 0;
        std::size_t size = 0;
    };
    void noteEnd(std::string_view text);

    std::string m_fresh;
    std::vector<Piece> m_pieces;
    std::size_t m_size = 0;
    char m_last[2] = {}; // the text's last two characters, the last one second
};

// Writes it back: what was not changed comes back byte for byte, the rest as Wine writes it.
HiveText hiveText(const Hive& hive);
std::string serializeHive(const Hive& hive);
// The header a new file starts with.
std::string defaultHeader();

// The forms Wine writes, exposed for tests.
std::string formatValue(const Value& value);
std::string formatKeyLine(const Key& key);

// String data as a value holds it, UTF-16LE, and back; an odd last byte is no character.
std::u16string utf16FromData(std::span<const std::uint8_t> data);
std::vector<std::uint8_t> dataFromUtf16(std::u16string_view s, bool addNul);

// FILETIME of now, for the last-write time of changed keys.
std::uint64_t filetimeNow();

// Windows' enumeration order of subkey names, and Wine's order in its files.
bool lessWindows(std::u16string_view a, std::u16string_view b);
bool lessWine(std::u16string_view a, std::u16string_view b);

inline constexpr std::size_t kMaxKeyNameLength = 255;

// What a registry file may hold, so that a damaged or hostile file is refused with a message naming its
// line instead of exhausting memory, time or the stack. Each is far above what real files hold.
// A file is read whole and its tree takes a few times its size: real system.reg files are a few MB.
inline constexpr std::uint64_t kMaxFileSize = 256ull << 20;
// One value's data. Windows' own limit is 1 MB in the standard hive format; the largest real values
// (performance counter names, installer caches) are a few hundred KB.
inline constexpr std::size_t kMaxValueSize = 16u << 20;
// The longest text a value may take in the file, over all its lines: 16 MiB written with the longest
// escapes takes 48 MiB. A longer line or entry is refused before it is copied.
inline constexpr std::size_t kMaxValueTextLength = 64u << 20;
// Levels of keys below HKEY_LOCAL_MACHINE. Windows allows 512, but the deepest keys of real registries lie
// a few dozen levels down: a key nested hundreds deep is the mark of a damaged or made-up file.
inline constexpr std::size_t kMaxKeyDepth = 512;
// Keys and values in one file. Each takes a few hundred bytes in memory, so a file of tiny keys would
// otherwise take dozens of times its size; a large Windows registry holds well under a million keys.
inline constexpr std::size_t kMaxKeyCount = 2'000'000;
inline constexpr std::size_t kMaxValueCount = 4'000'000;
// A value name's length in characters: Windows' own limit.
inline constexpr std::size_t kMaxValueNameLength = 16383;

} // namespace tw::hive
