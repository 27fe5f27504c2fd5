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

std::string serializeHive(const Hive& hive)
{
    std::string out = hive.header.empty() ? defaultHeader() : hive.header;
    emitKey(hive.root, out);
    return out;
}

} // namespace tw::hive
