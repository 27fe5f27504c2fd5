// SPDX-License-Identifier: MIT
// Wine's registry file format: what Wine writes, read back; what Tidewell changes, written as Wine
// would write it; everything else kept byte for byte.
#include "registry/Hive.h"

#include "base/Text.h"
#include "registry/RegistryApi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <istream>
#include <unordered_map>
#include <unordered_set>

namespace tw::hive {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
// Names longer than Windows creates (255) are still read, as Wine reads them, up to its own bound.
constexpr std::size_t kMaxKeyNameReadLength = 16383;
// A key line names every level: the deepest key with the longest names, and their separators.
constexpr std::size_t kMaxKeyPathLength = kMaxKeyDepth * (kMaxKeyNameReadLength + 1);
constexpr const char* keyPathTooLong = "the key's path is too long";
constexpr std::uint64_t kTicks1601To1970 = 116'444'736'000'000'000;

bool isHexDigit(char32_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int compareFolded(std::u16string_view a, std::u16string_view b, char16_t (*fold)(char16_t))
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = fold(a[i]);
        const char16_t y = fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool isStringType(std::uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Escapes text as Wine's writer does; `quote` are the characters that get a backslash besides it.
std::string escape(std::u16string_view s, std::string_view quote, bool skipFinalNul)
{
    static constexpr char kEscapes[] = ".......abtnvfr.............e....";
    std::string out;
    out.reserve(s.size() + 8);
    char buf[16];
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        const bool hasNext = i + 1 < s.size();
        const char16_t next = hasNext ? s[i + 1] : 0;
        if (c > 127) {
            const bool pad = hasNext && next < 128 && isHexDigit(next);
            std::snprintf(buf, sizeof buf, pad ? "\\x%04x" : "\\x%x", static_cast<unsigned>(c));
            out += buf;
            continue;
        }
        if (c < 32) {
            if (c == 0 && !hasNext && skipFinalNul)
                continue;
            if (kEscapes[c] != '.') {
                out += '\\';
                out += kEscapes[c];
            } else {
                const bool pad = hasNext && next >= '0' && next <= '7';
                std::snprintf(buf, sizeof buf, pad ? "\\%03o" : "\\%o", static_cast<unsigned>(c));
                out += buf;
            }
            continue;
        }
        if (c == '\\' || quote.find(static_cast<char>(c)) != std::string_view::npos)
            out += '\\';
        out += static_cast<char>(c);
    }
    return out;
}

std::u16string utf16FromBytes(const std::vector<std::uint8_t>& data)
{
    std::u16string s(data.size() / 2, u'\0');
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return s;
}

std::vector<std::uint8_t> bytesFromUtf16(std::u16string_view s, bool addNul)
{
    std::vector<std::uint8_t> data;
    data.reserve(2 * s.size() + 2);
    for (char16_t c : s) {
        data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (addNul) {
        data.push_back(0);
        data.push_back(0);
    }
    return data;
}

// Reads one line at a time and knows its number, for error messages.
class Reader
{
public:
    Reader(std::string_view content, const std::string& file)
        : m_content(content)
        , m_file(file)
    { }

    bool atEnd() const { return m_pos >= m_content.size(); }
    std::size_t offset() const { return m_pos; }
    int lineNumber() const { return m_line; }

    // The next line without its end; its start offset is offset() before the call.
    std::string_view next()
    {
        const std::size_t end = m_content.find('\n', m_pos);
        std::string_view line
            = end == std::string_view::npos ? m_content.substr(m_pos) : m_content.substr(m_pos, end - m_pos);
        m_pos = end == std::string_view::npos ? m_content.size() : end + 1;
        ++m_line;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    }

    [[noreturn]] void fail(const std::string& message) const { failAt(m_line, message); }
    [[noreturn]] void failAt(int line, const std::string& message) const
    {
        throw ParseError { m_file, line, message };
    }

private:
    std::string_view m_content;
    const std::string& m_file;
    std::size_t m_pos = 0;
    int m_line = 0;
};

// Parses quoted text from `pos` (just after the opening character) to the unescaped `close`; text longer
// than `maxUnits` UTF-16 units fails with `tooLong` as soon as it gets there.
std::u16string parseEscaped(
    Reader& r, std::string_view line, std::size_t& pos, char close, std::size_t maxUnits, const char* tooLong)
{
    std::u16string out;
    while (true) {
        if (out.size() > maxUnits)
            r.fail(tooLong);
        if (pos >= line.size())
            r.fail("text is not closed with " + std::string(1, close));
        const auto c = static_cast<unsigned char>(line[pos]);
        if (c == static_cast<unsigned char>(close)) {
            ++pos;
            return out;
        }
        if (c >= 0x80) {
            // Wine writes ASCII only, but reads UTF-8.
            std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            if (c < 0xC2 || c > 0xF4 || pos + len > line.size())
                r.fail("the text is not valid UTF-8");
            const std::u16string part = text::utf8ToUtf16(line.substr(pos, len));
            if (part.find(u'\xFFFD') != std::u16string::npos)
                r.fail("the text is not valid UTF-8");
            out += part;
            pos += len;
            continue;
        }
        if (c != '\\') {
            out.push_back(c);
            ++pos;
            continue;
        }
        ++pos;
        if (pos >= line.size())
            r.fail("a backslash ends the line");
        const char e = line[pos++];
        switch (e) {
        case '\\':
        case '"':
        case '[':
        case ']':
            out.push_back(static_cast<char16_t>(e));
            break;
        case 'a':
            out.push_back(7);
            break;
        case 'b':
            out.push_back(8);
            break;
        case 't':
            out.push_back(9);
            break;
        case 'n':
            out.push_back(10);
            break;
        case 'v':
            out.push_back(11);
            break;
        case 'f':
            out.push_back(12);
            break;
        case 'r':
            out.push_back(13);
            break;
        case 'e':
            out.push_back(27);
            break;
        case 'x': {
            unsigned v = 0;
            int digits = 0;
            while (digits < 4 && pos < line.size() && text::hexDigitValue(line[pos]) >= 0) {
                v = v * 16 + static_cast<unsigned>(text::hexDigitValue(line[pos++]));
                ++digits;
            }
            if (digits == 0)
                r.fail("\\x is not followed by a hexadecimal digit");
            out.push_back(static_cast<char16_t>(v));
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned v = static_cast<unsigned>(e - '0');
                for (int k = 0; k < 2 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++k)
                    v = v * 8 + static_cast<unsigned>(line[pos++] - '0');
                out.push_back(static_cast<char16_t>(v));
                break;
            }
            r.fail(std::string("unknown escape \\") + e);
        }
    }
}

void expectEnd(Reader& r, std::string_view line, std::size_t pos, const char* after = "the value")
{
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
        ++pos;
    if (pos != line.size())
        r.fail(std::string("unexpected text after ") + after);
}

bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

std::string sizeText(std::uint64_t bytes)
{
    return std::to_string(bytes >> 20) + " MiB";
}

std::string valueTooLarge()
{
    return "the value holds more than " + sizeText(kMaxValueSize) + " of data, the most a value may hold";
}

// hex:01,02,\ <newline> 03 ... ; `text` collects the raw lines of the value.
std::vector<std::uint8_t> parseHexBytes(Reader& r, std::string_view line, std::size_t pos, std::string& text)
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

Value parseValue(Reader& r, std::string_view line)
{
    if (line.size() > kMaxValueTextLength)
        r.fail(valueTooLarge());
    Value v;
    v.text.reserve(line.size() + 1);
    v.text.append(line).push_back('\n');
    std::size_t pos = 0;
    if (line[0] == '@') {
        pos = 1;
    } else {
        pos = 1;
        v.name = parseEscaped(r, line, pos, '"', kMaxValueNameLength,
            "the value name is longer than the 16383 characters a name may have");
    }
    if (pos >= line.size() || line[pos] != '=')
        r.fail("expected = after the value name");
    ++pos;
    const std::string_view rest = line.substr(pos);
    if (startsWith(rest, "\"")) {
        ++pos;
        v.type = kRegSz;
        v.data = bytesFromUtf16(
            parseEscaped(r, line, pos, '"', kMaxValueSize / 2 - 1, valueTooLarge().c_str()), true);
        expectEnd(r, line, pos);
    } else if (startsWith(rest, "str(")) {
        pos += 4;
        unsigned type = 0;
        int digits = 0;
        while (pos < line.size() && text::hexDigitValue(line[pos]) >= 0 && digits < 8) {
            type = type * 16 + static_cast<unsigned>(text::hexDigitValue(line[pos++]));
            ++digits;
        }
        if (digits == 0 || line.substr(pos, 3) != "):\"")
            r.fail("malformed str(N): value");
        pos += 3;
        v.type = type;
        v.data = bytesFromUtf16(
            parseEscaped(r, line, pos, '"', kMaxValueSize / 2 - 1, valueTooLarge().c_str()), true);
        expectEnd(r, line, pos);
    } else if (startsWith(rest, "dword:")) {
        pos += 6;
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
    } else if (startsWith(rest, "hex:") || startsWith(rest, "hex(")) {
        if (rest[3] == ':') {
            v.type = kRegBinary;
            pos += 4;
        } else {
            pos += 4;
            unsigned type = 0;
            int digits = 0;
            while (pos < line.size() && text::hexDigitValue(line[pos]) >= 0 && digits < 8) {
                type = type * 16 + static_cast<unsigned>(text::hexDigitValue(line[pos++]));
                ++digits;
            }
            if (digits == 0 || line.substr(pos, 2) != "):")
                r.fail("malformed hex(N): value");
            pos += 2;
            v.type = type;
        }
        v.data = parseHexBytes(r, line, pos, v.text);
    } else {
        r.fail("unknown value form");
    }
    return v;
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

bool isBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool shouldWrite(const Key& key)
{
    return !key.values.empty() || key.subkeys.empty() || key.hasClass || key.hasLink;
}

void ensureBlankLine(std::string& out)
{
    if (out.empty() || (out.size() >= 2 && out.compare(out.size() - 2, 2, "\n\n") == 0))
        return;
    out += out.back() == '\n' ? "\n" : "\n\n";
}

void emitBlock(const Key& key, std::string& out)
{
    if (!key.text.empty()) {
        ensureBlankLine(out);
        out += key.text;
    } else if (key.modified != 0 || !key.values.empty() || key.parent) {
        // A key without text is new or changed, or only an ancestor of keys in the file.
        if (shouldWrite(key)) {
            ensureBlankLine(out);
            out += formatKeyLine(key);
            // A line read from "...\r\r\n" keeps one CR, which must come back as such when read again.
            for (const auto& line : key.extraLines)
                out += line + (!line.empty() && line.back() == '\r' ? "\r\n" : "\n");
            for (const auto& v : key.values)
                out += v.text.empty() ? formatValue(v) : v.text;
        }
    }
}

// Each key's block, then its subkeys' in Wine's order. A stack of its own rather than recursion, so no
// tree, however deep, can exhaust the thread's stack.
void emitKey(const Key& root, std::string& out)
{
    std::vector<const Key*> pending { &root };
    std::vector<const Key*> children;
    while (!pending.empty()) {
        const Key& key = *pending.back();
        pending.pop_back();
        emitBlock(key, out);
        children.clear();
        for (const auto& k : key.subkeys)
            children.push_back(k.get());
        std::sort(children.begin(), children.end(),
            [](const Key* a, const Key* b) { return lessWine(a->name, b->name); });
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
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

} // namespace

std::string ParseError::text() const
{
    if (line <= 0)
        return file + ": " + message;
    return file + ", line " + std::to_string(line) + ": " + message;
}

bool lessWindows(std::u16string_view a, std::u16string_view b)
{
    return compareFolded(a, b, text::foldUpper) < 0;
}

bool lessWine(std::u16string_view a, std::u16string_view b)
{
    return compareFolded(a, b, text::foldLower) < 0;
}

std::uint64_t filetimeNow()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100;
    return kTicks1601To1970 + static_cast<std::uint64_t>(ticks);
}

Key* Key::findSubkey(std::u16string_view subName) const
{
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), subName,
        [](const std::unique_ptr<Key>& k, std::u16string_view n) { return lessWindows(k->name, n); });
    if (it != subkeys.end() && text::equalsIgnoreCase((*it)->name, subName))
        return it->get();
    return nullptr;
}

Key& Key::addSubkey(std::u16string subName)
{
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), subName,
        [](const std::unique_ptr<Key>& k, std::u16string_view n) { return lessWindows(k->name, n); });
    auto key = std::make_unique<Key>();
    key->name = std::move(subName);
    key->parent = this;
    return **subkeys.insert(it, std::move(key));
}

std::unique_ptr<Key> Key::removeSubkey(const Key& child)
{
    for (auto it = subkeys.begin(); it != subkeys.end(); ++it) {
        if (it->get() == &child) {
            std::unique_ptr<Key> removed = std::move(*it);
            subkeys.erase(it);
            removed->parent = nullptr;
            return removed;
        }
    }
    return nullptr;
}

Value* Key::findValue(std::u16string_view valueName)
{
    for (auto& v : values) {
        if (text::equalsIgnoreCase(v.name, valueName))
            return &v;
    }
    return nullptr;
}

const Value* Key::findValue(std::u16string_view valueName) const
{
    return const_cast<Key*>(this)->findValue(valueName);
}

void Key::touch(std::uint64_t filetime)
{
    modified = filetime;
    text.clear();
}

std::string defaultHeader()
{
    return "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n";
}

std::string formatKeyLine(const Key& key)
{
    std::vector<const Key*> chain;
    for (const Key* k = &key; k->parent; k = k->parent)
        chain.push_back(k);
    std::string out = "[";
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin())
            out += "\\\\";
        out += escape((*it)->name, "[]", false);
    }
    const std::uint64_t ft = key.modified;
    const auto seconds = static_cast<unsigned>((ft - kTicks1601To1970) / kTicksPerSecond);
    char buf[64];
    std::snprintf(buf, sizeof buf, "] %u\n#time=%x%08x\n", seconds, static_cast<unsigned>(ft >> 32),
        static_cast<unsigned>(ft & 0xFFFFFFFFu));
    out += buf;
    return out;
}

std::string formatValue(const Value& value)
{
    std::string out = value.name.empty() ? "@=" : "\"" + escape(value.name, "\"", false) + "\"=";
    const auto& d = value.data;
    if (isStringType(value.type) && d.size() >= 2 && d.size() % 2 == 0 && d[d.size() - 1] == 0
        && d[d.size() - 2] == 0) {
        if (value.type != kRegSz) {
            char buf[24];
            std::snprintf(buf, sizeof buf, "str(%x):", static_cast<unsigned>(value.type));
            out += buf;
        }
        out += "\"" + escape(utf16FromBytes(d), "\"", true) + "\"\n";
        return out;
    }
    char buf[32];
    if (value.type == kRegDword && d.size() == 4) {
        std::snprintf(buf, sizeof buf, "dword:%08x\n",
            static_cast<unsigned>(d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<unsigned>(d[3]) << 24)));
        return out + buf;
    }
    if (value.type == kRegBinary) {
        out += "hex:";
    } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(value.type));
        out += buf;
    }
    std::size_t count = out.size();
    for (std::size_t i = 0; i < d.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", d[i]);
        out += buf;
        count += 2;
        if (i + 1 < d.size()) {
            out += ',';
            if (++count > 76) {
                out += "\\\n  ";
                count = 2;
            }
        }
    }
    out += '\n';
    return out;
}

std::unique_ptr<Hive> parseHive(std::string_view content, const std::string& fileName)
{
    auto hive = std::make_unique<Hive>();
    if (content.empty())
        return hive;
    Reader r(content, fileName);
    const std::string_view first = r.next();
    if (first != "WINE REGISTRY Version 2")
        r.fail(notARegistry(first));
    TreeBuilder tree;
    ValueFinder values;
    Key* current = nullptr;
    std::size_t blockStart = 0;
    auto closeBlock = [&](std::size_t end) {
        if (current && current->text.empty() && blockStart != std::string_view::npos)
            current->text = std::string(content.substr(blockStart, end - blockStart));
    };
    // The keys that had a block already; not told by their time, which "#time=0" sets to 0.
    std::unordered_set<const Key*> withBlock;
    std::size_t valueCount = 0;
    while (!r.atEnd()) {
        const std::size_t lineStart = r.offset();
        const std::string_view line = r.next();
        if (!line.empty() && line[0] == '[') {
            if (current)
                closeBlock(lineStart);
            else
                hive->header = std::string(content.substr(0, lineStart));
            std::size_t pos = 1;
            const std::u16string path = parseEscaped(r, line, pos, ']', kMaxKeyPathLength, keyPathTooLong);
            while (pos < line.size() && line[pos] == ' ')
                ++pos;
            std::uint64_t seconds = 0;
            while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
                seconds = seconds * 10 + static_cast<std::uint64_t>(line[pos++] - '0');
                if (seconds > 0xFFFFFFFFull)
                    r.fail("the key's time stamp is out of range");
            }
            expectEnd(r, line, pos, "the key's name and time stamp");
            std::vector<std::u16string> parts = splitPath(path);
            if (parts.size() > kMaxKeyDepth)
                r.fail("the key is nested " + std::to_string(parts.size()) + " levels deep, deeper than the "
                    + std::to_string(kMaxKeyDepth) + " levels a key may have");
            Key* key = &hive->root;
            // A key keeps the spelling of its first mention; a block that spells a level otherwise is
            // written afresh, or a save, which reorders blocks, could change which spelling comes first.
            bool spelledAsStored = true;
            for (const auto& part : parts) {
                if (part.size() > kMaxKeyNameReadLength)
                    r.fail("a key name is too long");
                key = &tree.child(*key, part);
                if (tree.keyCount() > kMaxKeyCount)
                    r.fail("the file holds more than " + grouped(kMaxKeyCount)
                        + " keys, more than a registry file may hold");
                spelledAsStored = spelledAsStored && key->name == part;
            }
            const bool duplicateBlock = !withBlock.insert(key).second;
            current = key;
            values.reset(*key);
            blockStart = duplicateBlock || !spelledAsStored ? std::string_view::npos : lineStart;
            if (duplicateBlock)
                key->text.clear();
            key->modified = seconds * kTicksPerSecond + kTicks1601To1970;
            continue;
        }
        if (!current) {
            // The header: comments, options and blank lines only.
            if (startsWith(line, ";; All keys relative to ")) {
                if (line != ";; All keys relative to REGISTRY\\\\Machine")
                    r.fail("the file does not hold the machine's keys (HKEY_LOCAL_MACHINE)");
            } else if (!(line.empty() || line[0] == ';' || line[0] == '#' || isBlank(line))) {
                r.fail("unexpected text before the first key");
            }
            continue;
        }
        if (line.empty() || isBlank(line))
            continue;
        if (startsWith(line, "#time=")) {
            std::uint64_t ft = 0;
            std::size_t pos = 6;
            int digits = 0;
            while (pos < line.size() && text::hexDigitValue(line[pos]) >= 0) {
                if (++digits > 16)
                    r.fail("the key's #time is out of range");
                ft = ft * 16 + static_cast<std::uint64_t>(text::hexDigitValue(line[pos++]));
            }
            if (digits == 0)
                r.fail("the key's #time has no digits");
            expectEnd(r, line, pos, "the key's #time");
            current->modified = ft;
            continue;
        }
        if (line[0] == '#' || line[0] == ';') {
            if (startsWith(line, "#class="))
                current->hasClass = true;
            else if (line == "#link")
                current->hasLink = true;
            current->extraLines.emplace_back(line);
            continue;
        }
        if (line[0] == '"' || line[0] == '@') {
            Value v = parseValue(r, line);
            if (Value* existing = values.find(v.name)) {
                *existing = std::move(v);
                existing->text.clear();
                current->text.clear();
                blockStart = std::string_view::npos;
            } else {
                if (++valueCount > kMaxValueCount)
                    r.fail("the file holds more than " + grouped(kMaxValueCount)
                        + " values, more than a registry file may hold");
                current->values.push_back(std::move(v));
            }
            continue;
        }
        r.fail("unrecognised line");
    }
    // Wine ends every line it writes. A last line without its end is the trace of a write cut short
    // (a full disk, a crash): what it would have said, and what followed, are lost, so nothing of it
    // is taken as read.
    if (content.back() != '\n')
        r.fail("the file ends in the middle of this line: it was cut short");
    if (current)
        closeBlock(content.size());
    else
        hive->header = std::string(content);
    tree.finish();
    return hive;
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

std::string serializeHive(const Hive& hive)
{
    std::string out = hive.header.empty() ? defaultHeader() : hive.header;
    emitKey(hive.root, out);
    return out;
}

} // namespace tw::hive
