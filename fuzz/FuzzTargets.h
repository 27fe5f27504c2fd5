// SPDX-License-Identifier: MIT
// What each fuzz target does with one input. The libFuzzer entry points and the regression test that
// replays the inputs which once failed share these functions, so a fixed fault stays fixed in the
// normal test run too. Each function runs the parser and checks what must hold for any input; a broken
// rule throws Violation, anything else the parser throws (but the errors it documents) is a fault too.
#pragma once

#include "base/Errors.h"
#include "base/Text.h"
#include "base/VersionCompare.h"
#include "inventory/IconReader.h"
#include "inventory/Inventory.h"
#include "inventory/UsageRecord.h"
#include "registry/Hive.h"
#include "registry/HiveRegistry.h"
#include "registry/RegistryApi.h"
#include "uninstall/CommandLine.h"
#include "uninstall/LogViewerText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tw::fuzz {

using Input = std::span<const std::uint8_t>;

// A rule that must hold for every input was broken.
class Violation : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

inline void check(bool holds, const std::string& rule)
{
    if (!holds)
        throw Violation(rule);
}

inline std::string_view asText(Input in)
{
    return { reinterpret_cast<const char*>(in.data()), in.size() };
}

inline bool isValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        char32_t cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0xC2 && b < 0xE0) {
            len = 2;
            cp = b & 0x1Fu;
        } else if (b >= 0xE0 && b < 0xF0) {
            len = 3;
            cp = b & 0x0Fu;
        } else if (b >= 0xF0 && b < 0xF5) {
            len = 4;
            cp = b & 0x07u;
        } else {
            return false;
        }
        if (i + len > s.size())
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000)))
            || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += len;
    }
    return true;
}

// Counts what reaches the common error report while it is installed: the parsers below must never
// get there on any input.
class CountingReporter : public ErrorReporter
{
public:
    CountingReporter() { setErrorReporter(this); }
    ~CountingReporter() override { setErrorReporter(nullptr); }
    CountingReporter(const CountingReporter&) = delete;
    CountingReporter& operator=(const CountingReporter&) = delete;
    ErrorAction report(const ErrorInfo& info) override
    {
        ++count;
        last = errorReportText(info);
        return ErrorAction::Abort;
    }
    int count = 0;
    std::string last;
};

// ---- the registry file -------------------------------------------------------------------------

// Whether a save writes the key's own block. As Wine does, a key with subkeys but no values, class
// or link is not written: its comment lines and last-write time are not expected to come back.
inline bool hasBlock(const hive::Key& k)
{
    return !k.text.empty()
        || ((k.modified != 0 || !k.values.empty() || k.parent)
            && (!k.values.empty() || k.subkeys.empty() || k.hasClass || k.hasLink));
}

// Compares two trees: names, values, #class and #link, and for keys whose block is written the lines
// kept as read and the last-write times (unless `blocks` is false, after a change that rewrites
// blocks). Iterative, as a tree may be deep.
inline void checkSameTree(const hive::Key& a, const hive::Key& b, bool blocks, const std::string& what)
{
    std::vector<std::pair<const hive::Key*, const hive::Key*>> todo { { &a, &b } };
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        const std::string where = what + ": key \"" + text::utf16ToUtf8(x->name) + "\"";
        check(x->name == y->name, where + " changed its name");
        check(x->values.size() == y->values.size(), where + " has another number of values");
        for (std::size_t i = 0; i < x->values.size(); ++i) {
            const hive::Value& v = x->values[i];
            const hive::Value& w = y->values[i];
            const std::string value = where + ", value \"" + text::utf16ToUtf8(v.name) + "\"";
            check(v.name == w.name, value + " changed its name or place");
            check(v.type == w.type, value + " changed its type");
            check(v.data == w.data, value + " changed its data");
        }
        check(x->hasLink == y->hasLink && x->hasClass == y->hasClass, where + " changed #link or #class");
        if (blocks && hasBlock(*x)) {
            check(x->extraLines == y->extraLines, where + " changed its extra lines");
            check(x->modified == y->modified, where + " changed its last-write time");
        }
        check(x->subkeys.size() == y->subkeys.size(), where + " has another number of subkeys");
        for (std::size_t i = 0; i < x->subkeys.size(); ++i)
            todo.emplace_back(x->subkeys[i].get(), y->subkeys[i].get());
    }
}

inline std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::filesystem::path& p, std::string_view content)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    check(static_cast<bool>(out), "the scratch file could not be written");
}

// Reads every key and value the way the scan does, up to a bound so that a large tree stays quick.
inline void walkRegistry(HiveRegistry& reg, std::size_t rootSubkeys)
{
    constexpr std::uint32_t kKeyRead = 0x20019;
    std::vector<RegKey> open { kHKeyLocalMachine };
    std::size_t visited = 0;
    for (std::size_t at = 0; at < open.size() && visited < 64; ++at, ++visited) {
        const RegKey key = open[at];
        for (std::uint32_t i = 0; i < 256; ++i) {
            char name[256];
            std::uint32_t cch = sizeof name;
            const long rc = reg.RegEnumKeyExA(key, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
            if (rc == kErrorNoMoreItems) {
                if (key == kHKeyLocalMachine)
                    check(i == rootSubkeys || rootSubkeys > 256, "the registry lists another number of keys");
                break;
            }
            if (rc != kErrorSuccess)
                continue;
            check(cch < sizeof name && name[cch] == '\0', "RegEnumKeyExA gave an unterminated name");
            RegKey sub = 0;
            if (open.size() < 256 && reg.RegOpenKeyExA(key, name, 0, kKeyRead, &sub) == kErrorSuccess)
                open.push_back(sub);
        }
        for (std::uint32_t i = 0; i < 64; ++i) {
            char name[256];
            std::uint32_t cch = sizeof name;
            std::uint32_t type = 0;
            std::uint8_t data[512];
            std::uint32_t cb = sizeof data;
            const long rc = reg.RegEnumValueA(key, i, name, &cch, nullptr, &type, data, &cb);
            if (rc == kErrorNoMoreItems)
                break;
            if (rc == kErrorSuccess) {
                check(cb <= sizeof data, "RegEnumValueA claims more data than the buffer holds");
                std::uint32_t needed = 0;
                check(reg.RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &needed) != kErrorSuccess
                        || needed <= 1 << 30,
                    "RegQueryValueExA gives an absurd size");
            }
        }
    }
    for (const RegKey key : open) {
        if (key != kHKeyLocalMachine)
            reg.RegCloseKey(key);
    }
}

// The change the registry test makes, applied to a parsed tree by hand for the comparison.
inline constexpr const char* kProbeKey = "Software\\Tidewell Fuzz";
inline constexpr const char* kProbeValue = "Probe";

inline void applyProbeChange(hive::Hive& h)
{
    hive::Key* k = &h.root;
    for (const std::u16string part : { u"Software", u"Tidewell Fuzz" }) {
        hive::Key* sub = k->findSubkey(part);
        k = sub ? sub : &k->addSubkey(part);
    }
    const std::vector<std::uint8_t> data { 'x', 0, 0, 0 };
    if (hive::Value* v = k->findValue(u"Probe")) {
        v->type = kRegSz;
        v->data = data;
    } else {
        k->values.push_back(hive::Value { u"Probe", kRegSz, data, {} });
    }
}

// The scope the file is also read in part for: names the fuzzer reaches from the dictionary's.
inline ReadScope fuzzScope()
{
    return ReadScope().branch("A\\B").values("A\\C").branch("D");
}

// A read in part refuses what a whole read refuses, and answers
// for what its scope names as the whole tree does.
inline void checkReadInPart(std::string_view content, const hive::Hive* whole)
{
    const ReadScope scope = fuzzScope();
    // Handed over in small pieces of the input's own size, so that pieces end anywhere.
    const std::size_t step = 1 + content.size() % 61;
    std::size_t at = 0;
    const hive::TextSource source = [&](char* into, std::size_t size) {
        const std::size_t n = std::min({ size, step, content.size() - at });
        std::memcpy(into, content.data() + at, n);
        at += n;
        return n;
    };
    std::unique_ptr<hive::Hive> part;
    try {
        part = hive::parseHivePart(source, "fuzz.reg", hive::HiveRoot::Machine, scope);
    } catch (const hive::ParseError&) {
        return;
    }
    check(whole != nullptr, "a read in part took a file the whole read refuses");
    // Every key of either tree, by path, where the scope answers for it.
    std::vector<std::pair<const hive::Key*, std::vector<std::u16string>>> todo { { &whole->root, {} } };
    while (!todo.empty()) {
        auto [key, path] = todo.back();
        todo.pop_back();
        const hive::Key* mine = &part->root;
        for (std::size_t i = 0; mine && i < path.size(); ++i)
            mine = mine->findSubkey(path[i]);
        const std::string where = "read in part: key \"" + text::utf16ToUtf8(key->name) + "\"";
        if (scope.answers(path, ReadScope::Need::Exists))
            check(mine != nullptr, where + " is missing");
        if (mine && scope.answers(path, ReadScope::Need::Values)) {
            check(mine->values.size() == key->values.size(), where + " has another number of values");
            for (std::size_t i = 0; i < key->values.size() && i < mine->values.size(); ++i)
                check(mine->values[i].name == key->values[i].name
                        && mine->values[i].type == key->values[i].type
                        && mine->values[i].data == key->values[i].data,
                    where + " has another value");
        }
        if (mine && scope.answers(path, ReadScope::Need::Subkeys))
            check(mine->subkeys.size() == key->subkeys.size(), where + " has another number of subkeys");
        for (const auto& sub : key->subkeys) {
            auto below = path;
            below.push_back(sub->name);
            todo.emplace_back(sub.get(), std::move(below));
        }
    }
}

// Parses the input; one that parses must serialize and parse back to the same tree, and a second save
// must not change the text again. Then the registry opens a file holding the input, is read through
// its API and changed once: a file that did not parse must be left alone, one that did must hold the
// old tree and the change.
inline void hiveFile(Input in, const std::filesystem::path& scratch)
{
    const std::string_view content = asText(in);
    std::unique_ptr<hive::Hive> parsed;
    try {
        parsed = hive::parseHive(content, "fuzz.reg");
    } catch (const hive::ParseError& e) {
        check(!e.message.empty() && e.line >= 0, "a parse error without a message or line");
    }
    checkReadInPart(content, parsed.get());
    if (parsed) {
        const std::string saved = hive::serializeHive(*parsed);
        std::unique_ptr<hive::Hive> again;
        try {
            again = hive::parseHive(saved, "saved.reg");
        } catch (const hive::ParseError& e) {
            throw Violation("a file that parsed was saved as one that does not: " + e.text());
        }
        checkSameTree(parsed->root, again->root, true, "after a save");
        check(hive::serializeHive(*again) == saved, "a second save changed the text");
    }

    writeFile(scratch, content);
    {
        HiveRegistry reg(scratch.string());
        check(reg.loadError().has_value() == !parsed, "the registry and the parser disagree on the file");
        walkRegistry(reg, parsed ? parsed->root.subkeys.size() : 0);
    }
    {
        // Read in part, and changed: the whole file must come back with the change.
        HiveRegistry reg(scratch.string(), hive::HiveRoot::Machine, fuzzScope());
        check(reg.loadError().has_value() == !parsed, "a read in part and the parser disagree on the file");
        RegKey probe = 0;
        const long rc = reg.RegCreateKeyA(kHKeyLocalMachine, kProbeKey, &probe);
        if (!parsed) {
            check(rc == kErrorBadDb, "a change to a broken file did not fail with ERROR_BADDB");
            check(readFile(scratch) == content, "a file that does not parse was written over");
            return;
        }
        check(rc == kErrorSuccess, "RegCreateKeyA failed on a file that parsed");
        const std::uint8_t data[] = { 'x', 0 };
        check(reg.RegSetValueExA(probe, kProbeValue, 0, kRegSz, data, 2) == kErrorSuccess,
            "RegSetValueExA failed on a file that parsed");
        reg.RegCloseKey(probe);
    }
    std::unique_ptr<hive::Hive> written;
    try {
        written = hive::parseHive(readFile(scratch), "written.reg");
    } catch (const hive::ParseError& e) {
        throw Violation("the registry wrote a file that does not parse: " + e.text());
    }
    applyProbeChange(*parsed);
    checkSameTree(parsed->root, written->root, false, "after a change through the registry");
}

// ---- icons -------------------------------------------------------------------------------------

inline void checkChoice(Input file, const std::optional<icons::IconChoice>& c)
{
    if (!c)
        return;
    const icons::IconImage& img = c->image;
    check(!img.data.empty(), "a chosen icon has no bytes");
    check(c->offset <= file.size() && img.data.size() <= file.size() - c->offset,
        "a chosen icon lies outside the file");
    check(std::equal(img.data.begin(), img.data.end(), file.begin() + static_cast<std::ptrdiff_t>(c->offset)),
        "a chosen icon's bytes are not the file's");
    check(img.width >= 1 && img.width <= 1024 && img.height >= 1 && img.height <= 1024,
        "a chosen icon has an impossible size");
    if (img.format == icons::IconImage::Format::Dib)
        check(img.data.size() >= 40, "a DIB icon is shorter than its header");
    else
        check(img.format == icons::IconImage::Format::Png && img.data.size() >= 33,
            "a PNG icon is shorter than its IHDR chunk");
}

// Lists the groups and picks images by position, by id and at several sizes.
inline void iconFile(Input file)
{
    const std::vector<icons::IconGroup> groups = icons::listIconGroups(file);
    const bool pe = file.size() >= 2 && file[0] == 'M' && file[1] == 'Z';
    check(pe || groups.size() <= 1, "an .ico file has more than one group");
    for (const std::int32_t index : { 0, 1, -1, -103, INT32_MIN, INT32_MAX }) {
        for (const int size : { 16, 32 }) {
            const auto c = icons::chooseIcon(file, index, size);
            checkChoice(file, c);
            if (c && pe && index >= 0) {
                check(
                    static_cast<std::size_t>(index) < groups.size(), "an icon came from a group not listed");
                check(c->group.id == groups[static_cast<std::size_t>(index)].id
                        && c->group.named == groups[static_cast<std::size_t>(index)].named,
                    "an icon came from another group than the one asked for");
            }
            if (c && !pe)
                check(index <= 0, "an .ico file answered an index above 0");
        }
    }
    for (std::size_t i = 0; i < groups.size() && i < 8; ++i) {
        const auto byIndex = icons::chooseIcon(file, static_cast<std::int32_t>(i), 48);
        checkChoice(file, byIndex);
        if (pe && !groups[i].named && groups[i].id != 0) {
            const auto byId = icons::chooseIcon(file, -static_cast<std::int32_t>(groups[i].id), 256);
            checkChoice(file, byId);
            if (byId)
                check(byId->group.id == groups[i].id && !byId->group.named,
                    "an icon asked by id has another id");
        }
    }
}

// ---- usage records -----------------------------------------------------------------------------

inline void checkCells(const UsageCells& cells)
{
    check(cells.size.empty() || (cells.size.size() > 3 && cells.size.ends_with(" MB")), "a bad Size cell");
    check(cells.frequency.empty() || cells.frequency == "Rarely" || cells.frequency == "Occasionally"
            || cells.frequency == "Frequently",
        "a bad Frequency cell");
    const std::string& d = cells.lastUsedOn;
    if (d.empty())
        return;
    check(d.size() == 10 && d[4] == '-' && d[7] == '-', "a bad Last Used On cell: " + d);
    const int month = std::stoi(d.substr(5, 2));
    const int day = std::stoi(d.substr(8, 2));
    check(month >= 1 && month <= 12 && day >= 1 && day <= 31, "a bad Last Used On date: " + d);
}

// The record as given, and cut or padded to the 552 bytes of a real one, on both kinds of system.
inline void usageRecord(Input in)
{
    CountingReporter reporter;
    std::vector<std::uint8_t> record(in.begin(), in.end());
    for (int pass = 0; pass < 2; ++pass) {
        for (const char* os : { "Windows XP", "Windows 2000" }) {
            const UsageCells cells = usageCells(record, os, pass == 0 ? '.' : ',');
            const std::string path = programPath(record);
            if (record.size() != 552) {
                check(
                    cells.size.empty() && cells.lastUsedOn.empty() && cells.frequency.empty() && path.empty(),
                    "a record of the wrong size gave cells");
                continue;
            }
            checkCells(cells);
            check(isValidUtf8(path), "the program path is not UTF-8");
        }
        record.resize(552);
    }
    if (in.size() >= 8) {
        std::uint64_t ft = 0;
        for (std::size_t i = 0; i < 8; ++i)
            ft = (ft << 8) | in[i];
        SystemTime st;
        if (FileTimeToSystemTime(ft, st)) {
            check(st.wMonth >= 1 && st.wMonth <= 12 && st.wDay >= 1 && st.wDay <= 31 && st.wHour < 24
                    && st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000 && st.wDayOfWeek < 7,
                "FileTimeToSystemTime gave an impossible time");
        }
    }
    check(reporter.count == 0, "a usage record reached the error report: " + reporter.last);
}

// ---- command lines -----------------------------------------------------------------------------

// Quotes one argument so that the C runtime's rules give it back unchanged.
inline std::string quoteArgument(const std::string& arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos)
        return arg;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(2 * backslashes, '\\');
    out.push_back('"');
    return out;
}

// Splits the text as arguments and as a whole command line; the arguments, quoted back, split again
// to the same list.
inline void commandLine(Input in)
{
    const std::string text(asText(in));
    const std::vector<std::string> args = splitArguments(text);
    std::string joined;
    for (const auto& a : args) {
        if (!joined.empty())
            joined.push_back(' ');
        joined += quoteArgument(a);
    }
    check(splitArguments(joined) == args, "arguments quoted back split differently");

    // Names that end in "!" exist, and those in "?" with ".exe" added, so that the search over spaces
    // runs and can end at any word.
    std::size_t lookups = 0;
    std::size_t longest = 0;
    const SplitCommand c = splitCommandLine(text, [&](const std::string& p) {
        ++lookups;
        longest = std::max(longest, p.size());
        return p.ends_with("!") || p.ends_with("?.exe");
    });
    const std::size_t start = std::min(text.find_first_not_of(" \t"), text.size());
    if (start < text.size() && text[start] == '"') {
        check(c.program.find('"') == std::string::npos, "a quoted program kept a quote");
        // The quoted text, or that text with ".exe" when only the latter exists.
        const bool asQuoted = text.compare(start + 1, c.program.size(), c.program) == 0;
        const bool withExe = c.program.ends_with("?.exe")
            && text.compare(start + 1, c.program.size() - 4, c.program, 0, c.program.size() - 4) == 0;
        check(asQuoted || withExe, "a quoted program is not the text");
    } else {
        const bool prefix = text.compare(start, c.program.size(), c.program) == 0;
        const bool withExe = c.program.ends_with(".exe")
            && text.compare(start, c.program.size() - 4, c.program, 0, c.program.size() - 4) == 0;
        check(prefix || withExe, "the program is not the start of the command line");
    }
    check(lookups <= 3 * (text.size() + 1), "too many file lookups");
    // No file has a name longer than the longest path Windows opens (and ".exe" added to it).
    check(longest <= 32767 + 4, "a name longer than any path was looked up");
}

// ---- DisplayIcon -------------------------------------------------------------------------------

inline void displayIcon(Input in)
{
    const std::string text(asText(in));
    const std::optional<IconRef> ref = iconFromDisplayIcon(text);
    std::string unquoted;
    std::copy_if(text.begin(), text.end(), std::back_inserter(unquoted), [](char c) { return c != '"'; });
    const auto comma = unquoted.rfind(',');
    if (comma == std::string::npos) {
        check(ref && ref->path == unquoted && ref->index == 0, "a DisplayIcon without a comma lost its path");
        return;
    }
    if (ref)
        check(ref->path == unquoted.substr(0, comma), "the icon path is not the text before the last comma");
}

// ---- the version file --------------------------------------------------------------------------

inline std::string joinVersion(const DottedVersion& v)
{
    std::string s;
    for (std::size_t i = 0; i < v.parts.size(); ++i) {
        if (i > 0)
            s.push_back('.');
        s += std::to_string(v.parts[i]);
    }
    return s;
}

// The body as a version file, and its two halves as two versions to compare.
inline void versionFile(Input in)
{
    const std::string_view body = asText(in);
    const DottedVersion running { { 1, 0, 6 } };
    const UpdateVerdict verdict = judgeVersionFile(body, running);
    const std::string_view trimmed = trimVersionText(body);
    check(verdict.published == trimmed, "the published version is not the trimmed text");
    const auto published = parseDottedVersion(trimmed);
    check((verdict.status == UpdateStatus::NotAVersion) == !published, "a verdict disagrees with the parse");

    const std::size_t half = body.size() / 2;
    const auto a = parseDottedVersion(body.substr(0, half));
    const auto b = parseDottedVersion(body.substr(half));
    for (const auto& v : { a, b, published }) {
        if (!v)
            continue;
        check(!v->parts.empty(), "a version without numbers");
        const auto again = parseDottedVersion(joinVersion(*v));
        check(again && again->parts == v->parts, "a version written out parses differently");
        check(compareVersions(*v, *v) == std::strong_ordering::equal, "a version differs from itself");
    }
    if (a && b) {
        const auto ab = compareVersions(*a, *b);
        const auto ba = compareVersions(*b, *a);
        check((ab < 0 && ba > 0) || (ab > 0 && ba < 0) || (ab == 0 && ba == 0),
            "the comparison is not symmetric");
    }
}

// ---- the uninstall log -------------------------------------------------------------------------

inline void logViewer(Input in)
{
    const std::string shown = logViewerText(asText(in));
    check(isValidUtf8(shown), "the log text is not UTF-8");
    for (std::size_t i = shown.find('\r'); i != std::string::npos; i = shown.find('\r', i + 1))
        check(i + 1 < shown.size() && shown[i + 1] == '\n', "a CR in the log text is not a line end");
    const std::string doc = uninstallLogDocument("Fuzz", 1, 0, 6, "2024-01-01 00:00", shown);
    check(doc.ends_with("\r\n") && doc.find(shown) != std::string::npos, "the log document lost the text");
}

// ---- text conversions --------------------------------------------------------------------------

inline void textConversions(Input in)
{
    const std::string_view bytes = asText(in);

    const std::u16string wide = text::utf8ToUtf16(bytes);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const bool high = wide[i] >= 0xD800 && wide[i] < 0xDC00;
        const bool low = wide[i] >= 0xDC00 && wide[i] < 0xE000;
        const bool pairs = high && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000;
        check(!low && (!high || pairs), "UTF-8 decoded to an unpaired surrogate");
        i += pairs ? 1 : 0;
    }
    const std::string narrow = text::utf16ToUtf8(wide);
    check(isValidUtf8(narrow), "UTF-16 to UTF-8 gave invalid UTF-8");
    if (isValidUtf8(bytes))
        check(narrow == bytes, "valid UTF-8 did not survive a trip through UTF-16");

    const std::u16string fromAnsi = text::ansiToUtf16(bytes);
    check(fromAnsi.size() <= bytes.size(), "the ANSI text grew");
#ifndef _WIN32
    // Windows-1252 holds every byte; a system code page on Windows need not.
    check(text::utf16ToAnsi(fromAnsi) == bytes, "ANSI text did not survive a trip through UTF-16");
    check(
        text::utf8ToAnsi(text::ansiToUtf8(bytes)) == bytes, "ANSI text did not survive a trip through UTF-8");
#endif
    check(isValidUtf8(text::ansiToUtf8(bytes)), "ANSI to UTF-8 gave invalid UTF-8");
    check(text::utf8ToAnsi(bytes).size() <= bytes.size(), "UTF-8 to ANSI grew");

    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(in[2 * i] | (in[2 * i + 1] << 8));
    const std::u16string back = text::utf8ToUtf16(text::utf16ToUtf8(units));
    check(back.size() == units.size(), "UTF-16 through UTF-8 changed its length");
    const std::u16string upper = text::toUpper(units);
    check(text::equalsIgnoreCase(units, upper), "a text differs from its upper case, ignoring case");
    check(text::toUpper(upper) == upper, "upper case is not stable");
    const std::size_t half = units.size() / 2;
    const std::u16string_view x = std::u16string_view(units).substr(0, half);
    const std::u16string_view y = std::u16string_view(units).substr(half);
    check(!(hive::lessWindows(x, y) && hive::lessWindows(y, x)), "the key order is not a strict order");
    check(!(hive::lessWine(x, y) && hive::lessWine(y, x)), "the file order is not a strict order");
    check(text::equalsIgnoreCase(x, y) == (!hive::lessWindows(x, y) && !hive::lessWindows(y, x)),
        "key equality and key order disagree");
    check(text::StripNull(bytes).find('\0') == std::string::npos, "StripNull left a NUL");
}

} // namespace tw::fuzz
