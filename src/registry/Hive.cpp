// SPDX-License-Identifier: MIT
// The tree a registry file is read into: keys in Windows' order, values in theirs.
#include "registry/Hive.h"

#include "base/Bytes.h"
#include "base/Text.h"
#include "registry/HiveSyntax.h"

#include <algorithm>
#include <chrono>

namespace tw::hive {

namespace {

int compareFolded(std::u16string_view a, std::u16string_view b, char16_t (*fold)(char16_t))
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const char16_t x = fold(a[i]);
        const char16_t y = fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

std::string ParseError::text() const
{
    if (line <= 0)
        return file + ": " + message;
    return file + ", line " + std::to_string(line) + ": " + message;
}

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

std::u16string utf16FromData(std::span<const std::uint8_t> data)
{
    std::u16string s(data.size() / 2, u'\0');
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char16_t>(bytes::readLe16(data, 2 * i));
    return s;
}

std::vector<std::uint8_t> dataFromUtf16(std::u16string_view s, bool addNul)
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
    text = {};
}

} // namespace tw::hive
