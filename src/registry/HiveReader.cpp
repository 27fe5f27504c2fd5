// SPDX-License-Identifier: MIT
// Reading a registry file: every form Wine writes, within the limits of Hive.h, each block's text kept
// so that a save can write back what it did not change.
#include "registry/Hive.h"

#include "base/Text.h"
#include "registry/HiveSyntax.h"
#include "registry/RegistryApi.h"

#include <algorithm>
#include <istream>
#include <unordered_map>
#include <unordered_set>

namespace tw::hive {

namespace {

// Names longer than Windows creates (255) are still read, as Wine reads them, up to its own bound.
constexpr std::size_t kMaxKeyNameReadLength = 16383;
// A key line names every level: the deepest key with the longest names, and their separators.
constexpr std::size_t kMaxKeyPathLength = kMaxKeyDepth * (kMaxKeyNameReadLength + 1);
constexpr const char* keyPathTooLong = "the key's path is too long";

bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

bool isBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

void expectEnd(LineReader& r, std::string_view line, std::size_t pos, const char* after = "the value")
{
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
        ++pos;
    if (pos != line.size())
        r.fail(std::string("unexpected text after ") + after);
}

std::string valueTooLarge()
{
    return "the value holds more than " + std::to_string(kMaxValueSize >> 20)
        + " MiB of data, the most a value may hold";
}

// 2000000 as "2,000,000", for messages.
std::string grouped(std::size_t n)
{
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

// What a user may have picked instead of a Wine registry file, named so the message says what to look for.
std::string notARegistry(std::string_view first)
{
    const std::string expected = "not a registry file (the first line is not \"WINE REGISTRY Version 2\")";
    if (startsWith(first, "WINE REGISTRY Version 2\r"))
        return expected + ": its lines end in a carriage return alone, which Wine does not write";
    if (startsWith(first, "regf"))
        return expected + ": it is a Windows registry hive, which Tidewell does not read";
    const std::string_view utf16Export("\xff\xfeW\0i\0n\0d\0o\0w\0s\0 \0R\0e\0g\0", 22);
    if (startsWith(first, "REGEDIT4") || startsWith(first, "Windows Registry Editor")
        || startsWith(first, "\xef\xbb\xbfWindows Registry Editor") || startsWith(first, utf16Export))
        return expected + ": it is a registry export (.reg file), not a Wine registry file";
    return expected;
}

std::vector<std::u16string> splitPath(std::u16string_view path)
{
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = path.find(u'\\', start);
        const std::u16string_view part
            = path.substr(start, end == std::u16string_view::npos ? end : end - start);
        if (!part.empty())
            parts.emplace_back(part);
        if (end == std::u16string_view::npos)
            break;
        start = end + 1;
    }
    return parts;
}

// The type number of "str(N):" and "hex(N):", up to 8 hexadecimal digits from `pos`; how many there were.
int readTypeNumber(std::string_view line, std::size_t& pos, unsigned& type)
{
    type = 0;
    int digits = 0;
    while (pos < line.size() && text::hexDigitValue(line[pos]) >= 0 && digits < 8) {
        type = type * 16 + static_cast<unsigned>(text::hexDigitValue(line[pos++]));
        ++digits;
    }
    return digits;
}

// hex:01,02,\ <newline> 03 ... ; `text` collects the raw lines of the value.
std::vector<std::uint8_t> parseHexBytes(
    LineReader& r, std::string_view line, std::size_t pos, std::string& text)
{
    const int firstLine = r.lineNumber();
    std::vector<std::uint8_t> bytes;
    while (true) {
        if (bytes.size() > kMaxValueSize)
            r.failAt(firstLine, valueTooLarge());
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos >= line.size())
            return bytes;
        if (line[pos] == '\\' && pos + 1 == line.size()) {
            if (r.atEnd())
                r.fail("the value continues past the end of the file");
            line = r.next();
            text.append(line).push_back('\n');
            pos = 0;
            continue;
        }
        const int hi = text::hexDigitValue(line[pos]);
        if (hi < 0)
            r.fail("expected a hexadecimal byte");
        int v = hi;
        ++pos;
        if (pos < line.size() && text::hexDigitValue(line[pos]) >= 0)
            v = v * 16 + text::hexDigitValue(line[pos++]);
        bytes.push_back(static_cast<std::uint8_t>(v));
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos < line.size()) {
            if (line[pos] == ',')
                ++pos;
            else if (!(line[pos] == '\\' && pos + 1 == line.size()))
                r.fail("expected a comma between bytes");
        }
    }
}

// "text" and str(N):"text": the text and its NUL, as UTF-16LE.
void parseString(LineReader& r, std::string_view line, std::size_t pos, Value& v)
{
    v.data = dataFromUtf16(unescape(r, line, pos, '"', kMaxValueSize / 2 - 1, valueTooLarge().c_str()), true);
    expectEnd(r, line, pos);
}

void parseDword(LineReader& r, std::string_view line, std::size_t pos, Value& v)
{
    std::uint32_t d = 0;
    int digits = 0;
    while (pos < line.size() && text::hexDigitValue(line[pos]) >= 0) {
        if (++digits > 8)
            r.fail("dword value has more than 8 digits");
        d = d * 16 + static_cast<std::uint32_t>(text::hexDigitValue(line[pos++]));
    }
    if (digits == 0)
        r.fail("dword value has no digits");
    expectEnd(r, line, pos);
    v.type = kRegDword;
    v.data = { static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(d >> 8),
        static_cast<std::uint8_t>(d >> 16), static_cast<std::uint8_t>(d >> 24) };
}

// The data after "=", in whichever form Wine wrote it.
void parseData(LineReader& r, std::string_view line, std::size_t pos, Value& v)
{
    const std::string_view rest = line.substr(pos);
    unsigned type = 0;
    if (startsWith(rest, "\"")) {
        v.type = kRegSz;
        parseString(r, line, pos + 1, v);
    } else if (startsWith(rest, "str(")) {
        pos += 4;
        if (readTypeNumber(line, pos, type) == 0 || line.substr(pos, 3) != "):\"")
            r.fail("malformed str(N): value");
        v.type = type;
        parseString(r, line, pos + 3, v);
    } else if (startsWith(rest, "dword:")) {
        parseDword(r, line, pos + 6, v);
    } else if (startsWith(rest, "hex:")) {
        v.type = kRegBinary;
        v.data = parseHexBytes(r, line, pos + 4, v.text);
    } else if (startsWith(rest, "hex(")) {
        pos += 4;
        if (readTypeNumber(line, pos, type) == 0 || line.substr(pos, 2) != "):")
            r.fail("malformed hex(N): value");
        v.type = type;
        v.data = parseHexBytes(r, line, pos + 2, v.text);
    } else {
        r.fail("unknown value form");
    }
}

// A value's first line, and the lines it continues on.
Value parseValue(LineReader& r, std::string_view line)
{
    if (line.size() > kMaxValueTextLength)
        r.fail(valueTooLarge());
    Value v;
    v.text.reserve(line.size() + 1);
    v.text.append(line).push_back('\n');
    std::size_t pos = 1;
    if (line[0] != '@')
        v.name = unescape(r, line, pos, '"', kMaxValueNameLength,
            "the value name is longer than the 16383 characters a name may have");
    if (pos >= line.size() || line[pos] != '=')
        r.fail("expected = after the value name");
    parseData(r, line, pos + 1, v);
    return v;
}

// Builds the tree while a file is read. Wine writes keys in nearly Windows' order, so a new subkey almost
// always goes at the end of its parent's sorted list. A file in another order must not make each insertion
// shift the whole list: a large parent that receives a subkey out of order takes the rest unsorted, is
// looked up through an index of its names, and is sorted once at the end.
class TreeBuilder
{
public:
    Key& child(Key& parent, std::u16string name)
    {
        if (const auto found = m_unsorted.find(&parent); found != m_unsorted.end()) {
            const auto [it, inserted] = found->second.try_emplace(text::toUpper(name), nullptr);
            if (inserted)
                it->second = &append(parent, std::move(name));
            return *it->second;
        }
        // The last subkey first: the one a file in order names again or goes past, without a search.
        if (parent.subkeys.empty() || lessWindows(parent.subkeys.back()->name, name))
            return append(parent, std::move(name));
        if (text::equalsIgnoreCase(parent.subkeys.back()->name, name))
            return *parent.subkeys.back();
        if (Key* existing = parent.findSubkey(name))
            return *existing;
        if (parent.subkeys.size() < kSortedInsertLimit) {
            ++m_keys;
            return parent.addSubkey(std::move(name));
        }
        auto& index = m_unsorted[&parent];
        for (const auto& k : parent.subkeys)
            index.emplace(text::toUpper(k->name), k.get());
        Key& added = append(parent, std::move(name));
        index.emplace(text::toUpper(added.name), &added);
        return added;
    }

    std::size_t keyCount() const { return m_keys; }

    void finish()
    {
        for (auto& entry : m_unsorted)
            std::sort(entry.first->subkeys.begin(), entry.first->subkeys.end(),
                [](const auto& a, const auto& b) { return lessWindows(a->name, b->name); });
        m_unsorted.clear();
    }

private:
    static constexpr std::size_t kSortedInsertLimit = 64;

    Key& append(Key& parent, std::u16string name)
    {
        ++m_keys;
        auto key = std::make_unique<Key>();
        key->name = std::move(name);
        key->parent = &parent;
        return *parent.subkeys.emplace_back(std::move(key));
    }

    std::unordered_map<Key*, std::unordered_map<std::u16string, Key*>> m_unsorted;
    std::size_t m_keys = 0;
};

// Finds a value already read into a key. Most keys hold a few values, but some hold thousands (shared
// DLL counts, caches), where a linear search for each value read would make reading quadratic. A key's
// index lives for the whole file, since a file may name one key in many blocks.
class ValueFinder
{
public:
    void reset(Key& key) { m_key = &key; }

    Value* find(std::u16string_view name)
    {
        auto& values = m_key->values;
        if (values.size() <= kLinearLimit)
            return m_key->findValue(name);
        // Values are only appended or replaced under an equal name while reading, so the index grows
        // by the values added since the last look.
        auto& index = m_indexes[m_key];
        for (std::size_t i = index.size(); i < values.size(); ++i)
            index.emplace(text::toUpper(values[i].name), i);
        const auto it = index.find(text::toUpper(name));
        return it == index.end() ? nullptr : &values[it->second];
    }

private:
    static constexpr std::size_t kLinearLimit = 32;
    Key* m_key = nullptr;
    std::unordered_map<const Key*, std::unordered_map<std::u16string, std::size_t>> m_indexes;
};

// One pass over a file's lines: the header, then blocks of a key line followed by the key's lines.
class HiveParser
{
public:
    HiveParser(std::string_view content, const std::string& fileName, HiveRoot expected)
        : m_expected(expected)
        , m_content(content)
        , m_reader(content, fileName)
        , m_hive(std::make_unique<Hive>())
    { }

    std::unique_ptr<Hive> run();

private:
    HiveRoot m_expected;
    void headerLine(std::string_view line);
    void keyLine(std::string_view line, std::size_t lineStart);
    Key& keyAt(const std::vector<std::u16string>& parts, bool& spelledAsStored);
    void blockLine(std::string_view line);
    void timeLine(std::string_view line);
    void valueLine(std::string_view line);
    void closeBlock(std::size_t end);

    std::string_view m_content;
    LineReader m_reader;
    std::unique_ptr<Hive> m_hive;
    TreeBuilder m_tree;
    ValueFinder m_values;
    Key* m_current = nullptr;
    // Where the current key's block starts, npos when it is not to be kept as read.
    std::size_t m_blockStart = 0;
    // The keys that had a block already; not told by their time, which "#time=0" sets to 0.
    std::unordered_set<const Key*> m_withBlock;
    std::size_t m_valueCount = 0;
};

std::unique_ptr<Hive> HiveParser::run()
{
    if (m_content.empty())
        return std::move(m_hive);
    const std::string_view first = m_reader.next();
    if (first != "WINE REGISTRY Version 2")
        m_reader.fail(notARegistry(first));
    while (!m_reader.atEnd()) {
        const std::size_t lineStart = m_reader.offset();
        const std::string_view line = m_reader.next();
        if (!line.empty() && line[0] == '[')
            keyLine(line, lineStart);
        else if (!m_current)
            headerLine(line);
        else
            blockLine(line);
    }
    // Wine ends every line it writes. A last line without its end is the trace of a write cut short
    // (a full disk, a crash): what it would have said, and what followed, are lost, so nothing of it
    // is taken as read.
    if (m_content.back() != '\n')
        m_reader.fail("the file ends in the middle of this line: it was cut short");
    if (m_current)
        closeBlock(m_content.size());
    else
        m_hive->header = std::string(m_content);
    m_tree.finish();
    return std::move(m_hive);
}

// The header: comments, options and blank lines only, and the root its keys are relative to.
void HiveParser::headerLine(std::string_view line)
{
    if (startsWith(line, ";; All keys relative to ")) {
        const std::optional<HiveRoot> root = headerRoot(line);
        if (root != m_expected)
            m_reader.fail(m_expected == HiveRoot::Machine
                    ? "the file does not hold the machine's keys (HKEY_LOCAL_MACHINE)"
                    : "the file does not hold a user's keys (HKEY_CURRENT_USER)");
        m_hive->branch = *root;
    } else if (!(line.empty() || line[0] == ';' || line[0] == '#' || isBlank(line))) {
        m_reader.fail("unexpected text before the first key");
    }
}

// "[path\\to\\key] seconds": ends the block before and starts this key's.
void HiveParser::keyLine(std::string_view line, std::size_t lineStart)
{
    if (m_current)
        closeBlock(lineStart);
    else
        m_hive->header = std::string(m_content.substr(0, lineStart));
    std::size_t pos = 1;
    const std::u16string path = unescape(m_reader, line, pos, ']', kMaxKeyPathLength, keyPathTooLong);
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    std::uint64_t seconds = 0;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
        seconds = seconds * 10 + static_cast<std::uint64_t>(line[pos++] - '0');
        if (seconds > 0xFFFFFFFFull)
            m_reader.fail("the key's time stamp is out of range");
    }
    expectEnd(m_reader, line, pos, "the key's name and time stamp");
    bool spelledAsStored = true;
    Key& key = keyAt(splitPath(path), spelledAsStored);
    const bool duplicateBlock = !m_withBlock.insert(&key).second;
    m_current = &key;
    m_values.reset(key);
    m_blockStart = duplicateBlock || !spelledAsStored ? std::string_view::npos : lineStart;
    if (duplicateBlock)
        key.text.clear();
    key.modified = seconds * kTicksPerSecond + kTicks1601To1970;
}

// The key a path names, made where it is new.
Key& HiveParser::keyAt(const std::vector<std::u16string>& parts, bool& spelledAsStored)
{
    if (parts.size() > kMaxKeyDepth)
        m_reader.fail("the key is nested " + std::to_string(parts.size()) + " levels deep, deeper than the "
            + std::to_string(kMaxKeyDepth) + " levels a key may have");
    Key* key = &m_hive->root;
    // A key keeps the spelling of its first mention; a block that spells a level otherwise is
    // written afresh, or a save, which reorders blocks, could change which spelling comes first.
    for (const auto& part : parts) {
        if (part.size() > kMaxKeyNameReadLength)
            m_reader.fail("a key name is too long");
        key = &m_tree.child(*key, part);
        if (m_tree.keyCount() > kMaxKeyCount)
            m_reader.fail("the file holds more than " + grouped(kMaxKeyCount)
                + " keys, more than a registry file may hold");
        spelledAsStored = spelledAsStored && key->name == part;
    }
    return *key;
}

// A line inside a key's block.
void HiveParser::blockLine(std::string_view line)
{
    if (line.empty() || isBlank(line))
        return;
    if (startsWith(line, "#time=")) {
        timeLine(line);
    } else if (line[0] == '#' || line[0] == ';') {
        if (startsWith(line, "#class="))
            m_current->hasClass = true;
        else if (line == "#link")
            m_current->hasLink = true;
        m_current->extraLines.emplace_back(line);
    } else if (line[0] == '"' || line[0] == '@') {
        valueLine(line);
    } else {
        m_reader.fail("unrecognised line");
    }
}

void HiveParser::timeLine(std::string_view line)
{
    std::uint64_t ft = 0;
    std::size_t pos = 6;
    int digits = 0;
    while (pos < line.size() && text::hexDigitValue(line[pos]) >= 0) {
        if (++digits > 16)
            m_reader.fail("the key's #time is out of range");
        ft = ft * 16 + static_cast<std::uint64_t>(text::hexDigitValue(line[pos++]));
    }
    if (digits == 0)
        m_reader.fail("the key's #time has no digits");
    expectEnd(m_reader, line, pos, "the key's #time");
    m_current->modified = ft;
}

// A value named again in the key replaces the earlier one in its place; the block is then written afresh.
void HiveParser::valueLine(std::string_view line)
{
    Value v = parseValue(m_reader, line);
    if (Value* existing = m_values.find(v.name)) {
        *existing = std::move(v);
        existing->text.clear();
        m_current->text.clear();
        m_blockStart = std::string_view::npos;
        return;
    }
    if (++m_valueCount > kMaxValueCount)
        m_reader.fail("the file holds more than " + grouped(kMaxValueCount)
            + " values, more than a registry file may hold");
    m_current->values.push_back(std::move(v));
}

void HiveParser::closeBlock(std::size_t end)
{
    if (m_current && m_current->text.empty() && m_blockStart != std::string_view::npos)
        m_current->text = std::string(m_content.substr(m_blockStart, end - m_blockStart));
}

} // namespace

std::optional<HiveRoot> headerRoot(std::string_view line)
{
    constexpr std::string_view prefix = ";; All keys relative to ";
    if (!startsWith(line, prefix))
        return std::nullopt;
    std::string_view root = line.substr(prefix.size());
    if (startsWith(root, "REGISTRY"))
        root.remove_prefix(8);
    if (root == "\\\\Machine")
        return HiveRoot::Machine;
    // A user's SID: S-1-5-21-... (digits and hyphens).
    constexpr std::string_view user = "\\\\User\\\\S-";
    if (startsWith(root, user) && root.size() > user.size()
        && root.find_first_not_of("0123456789-", user.size()) == std::string_view::npos)
        return HiveRoot::User;
    return std::nullopt;
}

std::unique_ptr<Hive> parseHive(std::string_view content, const std::string& fileName, HiveRoot expected)
{
    return HiveParser(content, fileName, expected).run();
}

ParseError oversizeError(std::istream& in, const std::string& fileName, std::uint64_t size)
{
    const std::string tooLarge = "the file is " + std::to_string(size >> 20) + " MiB, larger than the "
        + std::to_string(kMaxFileSize >> 20) + " MiB a registry file may be";
    int line = 0;
    std::string message = tooLarge;
    std::vector<char> buffer(1 << 20);
    std::uint64_t offset = 0;
    std::uint64_t entryStart = 0;
    int lineNo = 1;
    int entryLine = 1;
    bool atLineStart = true;
    bool continues = false; // the line before ended in a backslash
    char last = 0;
    while (in && line == 0) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        for (std::size_t i = 0; i < got && line == 0; ++i, ++offset) {
            const char c = buffer[i];
            if (atLineStart && !continues) {
                entryStart = offset;
                entryLine = lineNo;
            }
            atLineStart = false;
            if (offset - entryStart > kMaxValueTextLength) {
                line = entryLine;
                message = tooLarge + ": the entry that begins on this line is longer than any value may be";
            } else if (offset == kMaxFileSize) {
                line = lineNo;
                message = tooLarge + ": it passes that size on this line";
            }
            if (c == '\n') {
                continues = last == '\\';
                atLineStart = true;
                last = 0;
                ++lineNo;
            } else if (c != '\r') {
                last = c;
            }
        }
    }
    return ParseError { fileName, line, message };
}

} // namespace tw::hive
