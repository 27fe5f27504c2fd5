// SPDX-License-Identifier: MIT
// The values of a registry file, line by line.
#include "registry/HiveValueReader.h"

#include "base/Text.h"
#include "registry/RegistryApi.h"

namespace tw::hive {

namespace {

// A hexadecimal digit's value, or kNotHex.
constexpr unsigned kNotHex = ~0u;

unsigned hexDigit(char c)
{
    return static_cast<unsigned>(text::hexDigitValue(c));
}

const std::string& valueTooLarge()
{
    static const std::string message = "the value holds more than " + std::to_string(kMaxValueSize >> 20)
        + " MiB of data, the most a value may hold";
    return message;
}

// The type number of "str(N):" and "hex(N):", up to 8 hexadecimal digits from `pos`; how many there were.
int readTypeNumber(std::string_view line, std::size_t& pos, unsigned& type)
{
    type = 0;
    int digits = 0;
    while (pos < line.size() && hexDigit(line[pos]) != kNotHex && digits < 8) {
        type = type * 16 + hexDigit(line[pos++]);
        ++digits;
    }
    return digits;
}

void readDword(LineReader& r, std::string_view line, std::size_t pos, Value& v)
{
    std::uint32_t d = 0;
    int digits = 0;
    while (pos < line.size() && hexDigit(line[pos]) != kNotHex) {
        if (++digits > 8)
            r.fail("dword value has more than 8 digits");
        d = d * 16 + hexDigit(line[pos++]);
    }
    if (digits == 0)
        r.fail("dword value has no digits");
    expectEnd(r, line, pos, "the value");
    v.type = kRegDword;
    v.data = { static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(d >> 8),
        static_cast<std::uint8_t>(d >> 16), static_cast<std::uint8_t>(d >> 24) };
}

// The bytes of one line of hex data from `pos`, as "01,02,..": appends them to `bytes` and leaves `pos` at
// what ends the line's bytes, the backslash of a continued line or the line's end. Stops early once
// `bytes` holds more than `limit`.
void readHexLine(LineReader& r, std::string_view line, std::size_t& pos, std::vector<std::uint8_t>& bytes,
    std::size_t limit)
{
    const std::size_t n = line.size();
    while (bytes.size() <= limit) {
        // Wine's own form first: two digits and a comma.
        if (pos + 2 < n && line[pos + 2] == ',') {
            const unsigned hi = hexDigit(line[pos]);
            const unsigned lo = hexDigit(line[pos + 1]);
            if (hi != kNotHex && lo != kNotHex) {
                bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
                pos += 3;
                continue;
            }
        }
        while (pos < n && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos >= n || (line[pos] == '\\' && pos + 1 == n))
            return;
        const unsigned hi = hexDigit(line[pos]);
        if (hi == kNotHex)
            r.fail("expected a hexadecimal byte");
        unsigned v = hi;
        ++pos;
        if (pos < n && hexDigit(line[pos]) != kNotHex)
            v = v * 16 + hexDigit(line[pos++]);
        bytes.push_back(static_cast<std::uint8_t>(v));
        while (pos < n && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos < n) {
            if (line[pos] == ',')
                ++pos;
            else if (!(line[pos] == '\\' && pos + 1 == n))
                r.fail("expected a comma between bytes");
        }
    }
}

} // namespace

Value ValueReader::read(LineReader& r, std::string_view line)
{
    Value v;
    read(r, line, v);
    return v;
}

void ValueReader::read(LineReader& r, std::string_view line, Value& v)
{
    if (line.size() > kMaxValueTextLength)
        r.fail(valueTooLarge());
    v.name.clear();
    std::size_t pos = 1;
    if (line[0] != '@') {
        m_units.clear();
        unescape(r, line, pos, '"', kMaxValueNameLength,
            "the value name is longer than the 16383 characters a name may have", m_units);
        v.name = m_units;
    }
    if (pos >= line.size() || line[pos] != '=')
        r.fail("expected = after the value name");
    readData(r, line, pos + 1, v);
}

// The data after "=", in whichever form Wine wrote it.
void ValueReader::readData(LineReader& r, std::string_view line, std::size_t pos, Value& v)
{
    const std::string_view rest = line.substr(pos);
    unsigned type = 0;
    if (startsWith(rest, "\"")) {
        v.type = kRegSz;
        readString(r, line, pos + 1, v);
    } else if (startsWith(rest, "str(")) {
        pos += 4;
        if (readTypeNumber(line, pos, type) == 0 || line.substr(pos, 3) != "):\"")
            r.fail("malformed str(N): value");
        v.type = type;
        readString(r, line, pos + 3, v);
    } else if (startsWith(rest, "dword:")) {
        readDword(r, line, pos + 6, v);
    } else if (startsWith(rest, "hex:")) {
        v.type = kRegBinary;
        readHex(r, line, pos + 4, v);
    } else if (startsWith(rest, "hex(")) {
        pos += 4;
        if (readTypeNumber(line, pos, type) == 0 || line.substr(pos, 2) != "):")
            r.fail("malformed hex(N): value");
        v.type = type;
        readHex(r, line, pos + 2, v);
    } else {
        r.fail("unknown value form");
    }
}

// "text" and str(N):"text": the text and its NUL, as UTF-16LE.
void ValueReader::readString(LineReader& r, std::string_view line, std::size_t pos, Value& v)
{
    m_units.clear();
    unescape(r, line, pos, '"', kMaxValueSize / 2 - 1, valueTooLarge().c_str(), m_units);
    expectEnd(r, line, pos, "the value");
    v.data.resize(2 * m_units.size() + 2);
    std::uint8_t* out = v.data.data();
    for (const char16_t c : m_units) {
        *out++ = static_cast<std::uint8_t>(c & 0xFF);
        *out++ = static_cast<std::uint8_t>(c >> 8);
    }
    out[0] = 0;
    out[1] = 0;
}

// hex:01,02,\ <newline> 03 ...: a value too large is refused at its first line, before it is read whole.
void ValueReader::readHex(LineReader& r, std::string_view line, std::size_t pos, Value& v)
{
    const int firstLine = r.lineNumber();
    m_bytes.clear();
    while (true) {
        readHexLine(r, line, pos, m_bytes, kMaxValueSize);
        if (m_bytes.size() > kMaxValueSize)
            r.failAt(firstLine, valueTooLarge());
        if (pos >= line.size())
            break;
        if (r.atEnd())
            r.fail("the value continues past the end of the file");
        line = r.next();
        pos = 0;
    }
    v.data.assign(m_bytes.begin(), m_bytes.end());
}

} // namespace tw::hive
