// SPDX-License-Identifier: MIT
// Reading a registry file: every form Wine writes, within the limits of Hive.h. The Hive keeps the file's
// text, and each key's block and value's lines are parts of it, so that a save can write back what it did
// not change without a copy of its own.
#include "registry/Hive.h"

#include "base/Text.h"
#include "registry/HiveKeyReader.h"
#include "registry/HiveSyntax.h"
#include "registry/HiveValueReader.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <unordered_map>
#include <unordered_set>

namespace tw::hive {

namespace {

bool isBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
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
    HiveParser(Hive& hive, const std::string& fileName, HiveRoot expected, const ReadScope* scope)
        : m_expected(expected)
        , m_hive(&hive)
        , m_content(hive.source)
        , m_reader(m_content, fileName)
        , m_keys(hive.root, scope)
        , m_keepText(scope == nullptr)
    { }

    // The file's text is the Hive's.
    void run();
    // The file's text comes from `source`, and none of it is kept.
    void run(const TextSource& source);

private:
    void firstLine();
    void lines();
    void lastLine(char last);
    void headerLine(std::string_view line);
    void keyLine(std::string_view line, std::size_t lineStart);
    void blockLine(std::string_view line, std::size_t lineStart);
    std::uint64_t timeLine(std::string_view line);
    void valueLine(std::string_view line, std::size_t lineStart);
    std::string_view valueText(std::size_t start, bool endsInCrLf);
    void closeBlock(std::size_t end);
    void countValue();
    std::size_t valueLinesAhead() const;

    HiveRoot m_expected;
    Hive* m_hive;
    std::string_view m_content;
    LineReader m_reader;
    KeyReader m_keys;
    // Whether keys and values keep their text as read, for a save.
    bool m_keepText;
    ValueFinder m_values;
    ValueReader m_valueReader;
    Key* m_current = nullptr; // null before the first key line, and in blocks a scope leaves out
    bool m_pastHeader = false;
    Value m_checked; // the values of blocks left out, read only to check them
    // Where the current key's block starts, npos when it is not to be kept as read.
    std::size_t m_blockStart = 0;
    // A key that had a block has a time; but "#time=0" sets it to 0, so such keys are named here.
    std::unordered_set<const Key*> m_blocksOfTimeZero;
    std::size_t m_valueCount = 0;
    // Lines that ended in CR LF before the one being read.
    std::size_t m_crLinesBefore = 0;
};

void HiveParser::run()
{
    if (m_content.empty())
        return;
    firstLine();
    lines();
    lastLine(m_content.back());
    if (m_current)
        closeBlock(m_content.size());
    else if (!m_pastHeader)
        m_hive->header = std::string(m_content);
    m_keys.finish();
}

// The file a piece at a time, each piece ending where a key line starts, so that a key's block (and a
// value continued over lines) is never cut; a piece grows until it holds a whole block.
void HiveParser::run(const TextSource& source)
{
    // Small, and left as the file's bytes fill it: its pages are the only memory the text takes.
    std::size_t size = 64u << 10;
    auto buffer = std::make_unique_for_overwrite<char[]>(size);
    std::size_t held = 0; // bytes in the buffer
    std::size_t searched = 1; // where the search for a key line's start goes on
    std::size_t cut = 0; // the last key line's start found, 0 for none
    bool started = false;
    char last = 0;
    for (bool atEnd = false; !atEnd;) {
        if (held == size) {
            auto larger = std::make_unique_for_overwrite<char[]>(2 * size);
            std::memcpy(larger.get(), buffer.get(), held);
            buffer = std::move(larger);
            size *= 2;
        }
        const std::size_t got = source(buffer.get() + held, size - held);
        atEnd = got == 0;
        held += got;
        const char* const stop = buffer.get() + held;
        for (const char* at = buffer.get() + searched; at < stop; ++at) {
            at = static_cast<const char*>(std::memchr(at, '[', static_cast<std::size_t>(stop - at)));
            if (!at)
                break;
            if (at[-1] == '\n')
                cut = static_cast<std::size_t>(at - buffer.get());
        }
        searched = std::max<std::size_t>(held, 1);
        const std::size_t end = atEnd ? held : cut;
        if (end == 0)
            continue;
        m_content = std::string_view(buffer.get(), end);
        m_reader.restart(m_content);
        if (!started)
            firstLine();
        started = true;
        lines();
        last = m_content.back();
        m_keys.forgetLastLine();
        std::memmove(buffer.get(), buffer.get() + end, held - end);
        held -= end;
        searched = std::max<std::size_t>(held, 1);
        cut = 0;
    }
    if (!started)
        return;
    lastLine(last);
    m_keys.finish();
}

void HiveParser::firstLine()
{
    const std::string_view first = m_reader.next();
    if (first != "WINE REGISTRY Version 2")
        m_reader.fail(notARegistry(first));
}

void HiveParser::lines()
{
    while (!m_reader.atEnd()) {
        const std::size_t lineStart = m_reader.offset();
        m_crLinesBefore = m_reader.crLines();
        const std::string_view line = m_reader.next();
        if (!line.empty() && line[0] == '[')
            keyLine(line, lineStart);
        else if (!m_pastHeader)
            headerLine(line);
        else
            blockLine(line, lineStart);
    }
}

// Wine ends every line it writes. A last line without its end is the trace of a write cut short (a full
// disk, a crash): what it would have said, and what followed, are lost, so nothing of it is taken as read.
void HiveParser::lastLine(char last)
{
    if (last != '\n')
        m_reader.fail("the file ends in the middle of this line: it was cut short");
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
    else if (!m_pastHeader && m_keepText)
        m_hive->header = std::string(m_content.substr(0, lineStart));
    m_pastHeader = true;
    const KeyLine read = m_keys.read(m_reader, line);
    if (!read.inScope) {
        m_current = nullptr;
        return;
    }
    Key& key = *read.key;
    const bool duplicateBlock = key.modified != 0 || m_blocksOfTimeZero.count(&key) != 0;
    m_current = &key;
    m_values.reset(key);
    // Room for the block's values in one allocation, growing as a vector does all the same: a key named
    // again in many blocks of a value or two must not be copied whole for each.
    if (const std::size_t wanted = key.values.size() + valueLinesAhead(); wanted > key.values.capacity())
        key.values.reserve(std::max(wanted, 2 * key.values.capacity()));
    m_blockStart
        = duplicateBlock || !read.spelledAsStored || !m_keepText ? std::string_view::npos : lineStart;
    if (duplicateBlock)
        key.text = {};
    key.modified = read.seconds * kTicksPerSecond + kTicks1601To1970;
}

// A line inside a key's block.
void HiveParser::blockLine(std::string_view line, std::size_t lineStart)
{
    if (line.empty() || isBlank(line))
        return;
    if (startsWith(line, "#time=")) {
        const std::uint64_t ft = timeLine(line);
        if (m_current) {
            m_current->modified = ft;
            if (ft == 0)
                m_blocksOfTimeZero.insert(m_current);
        }
    } else if (!m_current) {
        if (line[0] == '"' || line[0] == '@') {
            m_valueReader.read(m_reader, line, m_checked);
            countValue();
        } else if (line[0] != '#' && line[0] != ';') {
            m_reader.fail("unrecognised line");
        }
    } else if (line[0] == '#' || line[0] == ';') {
        if (startsWith(line, "#class="))
            m_current->hasClass = true;
        else if (line == "#link")
            m_current->hasLink = true;
        m_current->extraLines.emplace_back(line);
    } else if (line[0] == '"' || line[0] == '@') {
        valueLine(line, lineStart);
    } else {
        m_reader.fail("unrecognised line");
    }
}

std::uint64_t HiveParser::timeLine(std::string_view line)
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
    return ft;
}

// A value named again in the key replaces the earlier one in its place; the block is then written afresh.
void HiveParser::valueLine(std::string_view line, std::size_t lineStart)
{
    Value v = m_valueReader.read(m_reader, line);
    if (Value* existing = m_values.find(v.name)) {
        *existing = std::move(v);
        m_current->text = {};
        m_blockStart = std::string_view::npos;
        return;
    }
    countValue();
    if (m_keepText)
        v.text = valueText(lineStart, m_reader.crLines() != m_crLinesBefore);
    m_current->values.push_back(std::move(v));
}

void HiveParser::countValue()
{
    if (++m_valueCount > kMaxValueCount)
        m_reader.fail("the file holds more than " + grouped(kMaxValueCount)
            + " values, more than a registry file may hold");
}

// A value's lines from `start` to where the reader stands, as the writer takes them: each ended by LF.
std::string_view HiveParser::valueText(std::size_t start, bool endsInCrLf)
{
    const std::string_view raw = m_content.substr(start, m_reader.offset() - start);
    if (!endsInCrLf)
        return raw;
    std::string& text = m_hive->valueTexts.emplace_back();
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
            text += raw[i];
    }
    return text;
}

// How many values the block that follows the key line holds at most, so that the key takes them in one
// allocation.
std::size_t HiveParser::valueLinesAhead() const
{
    std::size_t count = 0;
    for (std::size_t pos = m_reader.offset(); pos < m_content.size() && m_content[pos] != '[';) {
        count += m_content[pos] == '"' || m_content[pos] == '@';
        pos = m_content.find('\n', pos);
        pos += pos != std::string_view::npos;
    }
    return count;
}

void HiveParser::closeBlock(std::size_t end)
{
    if (m_current && m_current->text.empty() && m_blockStart != std::string_view::npos)
        m_current->text = m_content.substr(m_blockStart, end - m_blockStart);
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

std::unique_ptr<Hive> parseHive(std::string&& content, const std::string& fileName, HiveRoot expected)
{
    auto hive = std::make_unique<Hive>();
    hive->source = std::move(content);
    HiveParser(*hive, fileName, expected, nullptr).run();
    return hive;
}

std::unique_ptr<Hive> parseHivePart(
    const TextSource& source, const std::string& fileName, HiveRoot expected, const ReadScope& scope)
{
    auto hive = std::make_unique<Hive>();
    hive->partial = true;
    HiveParser(*hive, fileName, expected, &scope).run(source);
    return hive;
}

std::unique_ptr<Hive> parseHive(std::string_view content, const std::string& fileName, HiveRoot expected)
{
    return parseHive(std::string(content), fileName, expected);
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
