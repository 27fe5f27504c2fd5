// SPDX-License-Identifier: MIT
// Writing a registry file: what was not changed comes back byte for byte, the rest as Wine writes it.
#include "registry/Hive.h"

#include "base/Bytes.h"
#include "registry/HiveSyntax.h"
#include "registry/RegistryApi.h"

#include <algorithm>
#include <cstdio>

namespace tw::hive {

namespace {

// As Wine does, a key that only holds other keys gets no block of its own.
bool shouldWrite(const Key& key)
{
    return !key.values.empty() || key.subkeys.empty() || key.hasClass || key.hasLink;
}

void ensureBlankLine(HiveText& out)
{
    if (!out.endsBlank())
        out.add(out.back() == '\n' ? "\n" : "\n\n");
}

void emitBlock(const Key& key, HiveText& out)
{
    if (!key.text.empty()) {
        ensureBlankLine(out);
        out.keep(key.text);
    } else if (key.modified != 0 || !key.values.empty() || key.parent) {
        // A key without text is new or changed, or only an ancestor of keys in the file.
        if (shouldWrite(key)) {
            ensureBlankLine(out);
            out.add(formatKeyLine(key));
            // A line read from "...\r\r\n" keeps one CR, which must come back as such when read again.
            for (const auto& line : key.extraLines) {
                out.add(line);
                out.add(!line.empty() && line.back() == '\r' ? "\r\n" : "\n");
            }
            for (const auto& v : key.values) {
                if (v.text.empty())
                    out.add(formatValue(v));
                else
                    out.keep(v.text);
            }
        }
    }
}

// Each key's block, then its subkeys' in Wine's order. A stack of its own rather than recursion, so no
// tree, however deep, can exhaust the thread's stack.
void emitKey(const Key& root, HiveText& out)
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
        // Windows' order is Wine's but for names with [\]^_` or letters beyond ASCII: the subkeys are
        // sorted again only when two are out of Wine's order or the same in it.
        const auto wineOrder = [](const Key* a, const Key* b) { return lessWine(a->name, b->name); };
        const auto notBefore = [&](const Key* a, const Key* b) { return !wineOrder(a, b); };
        if (std::adjacent_find(children.begin(), children.end(), notBefore) != children.end())
            std::sort(children.begin(), children.end(), wineOrder);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
}

// hex:01,02,... with lines broken where Wine breaks them, after the comma that passes 76 characters.
void appendHexBytes(std::string& out, const std::vector<std::uint8_t>& d)
{
    char buf[8];
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
}

} // namespace

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
        out += "\"" + escape(utf16FromData(d), "\"", true) + "\"\n";
        return out;
    }
    char buf[32];
    if (value.type == kRegDword && d.size() == 4) {
        std::snprintf(buf, sizeof buf, "dword:%08x\n", static_cast<unsigned>(bytes::readLe32(d)));
        return out + buf;
    }
    if (value.type == kRegBinary) {
        out += "hex:";
    } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(value.type));
        out += buf;
    }
    appendHexBytes(out, d);
    return out;
}

HiveText hiveText(const Hive& hive)
{
    HiveText out;
    if (hive.header.empty())
        out.add(defaultHeader());
    else
        out.keep(hive.header);
    emitKey(hive.root, out);
    return out;
}

std::string serializeHive(const Hive& hive)
{
    return hiveText(hive).joined();
}

std::vector<std::string_view> HiveText::pieces() const
{
    std::vector<std::string_view> out;
    out.reserve(m_pieces.size());
    for (const Piece& p : m_pieces)
        out.emplace_back(p.held ? p.held : m_fresh.data() + p.offset, p.size);
    return out;
}

std::string HiveText::joined() const
{
    std::string out;
    out.reserve(m_size);
    for (const std::string_view piece : pieces())
        out += piece;
    return out;
}

bool HiveText::endsBlank() const
{
    return m_size == 0 || (m_size >= 2 && m_last[0] == '\n' && m_last[1] == '\n');
}

void HiveText::keep(std::string_view held)
{
    if (held.empty())
        return;
    if (!m_pieces.empty() && m_pieces.back().held
        && m_pieces.back().held + m_pieces.back().size == held.data())
        m_pieces.back().size += held.size();
    else
        m_pieces.push_back({ held.data(), 0, held.size() });
    noteEnd(held);
}

void HiveText::add(std::string_view text)
{
    if (text.empty())
        return;
    if (!m_pieces.empty() && !m_pieces.back().held)
        m_pieces.back().size += text.size();
    else
        m_pieces.push_back({ nullptr, m_fresh.size(), text.size() });
    m_fresh += text;
    noteEnd(text);
}

void HiveText::noteEnd(std::string_view text)
{
    m_last[0] = text.size() >= 2 ? text[text.size() - 2] : m_last[1];
    m_last[1] = text.back();
    m_size += text.size();
}

} // namespace tw::hive
