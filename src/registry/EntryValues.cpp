// SPDX-License-Identifier: MIT
#include "registry/EntryValues.h"

#include "base/Bytes.h"
#include "base/Text.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace tw::entries {
namespace {

// Room for the longest value name Windows allows (16383 characters) and its NUL.
constexpr std::uint32_t kNameBuffer = 16384;

constexpr std::string_view kSeparator = " | ";

std::string fromAnsi(const std::uint8_t* data, std::size_t size)
{
    return text::ansiToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
}

void appendAnsi(std::vector<std::uint8_t>& out, std::string_view utf8)
{
    const std::string ansi = text::utf8ToAnsi(utf8);
    out.insert(out.end(), ansi.begin(), ansi.end());
}

std::u16string folded(const std::string& name)
{
    return text::toUpper(text::utf8ToUtf16(name));
}

std::optional<std::vector<std::uint8_t>> encodeNumber(std::string_view text)
{
    const std::string t = text::trimSpaces(text);
    std::size_t i = 0;
    const bool negative = i < t.size() && t[i] == '-';
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    if (i == t.size())
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(t[i] - '0');
        if (magnitude > 0xFFFFFFFFu)
            return std::nullopt;
    }
    if (negative && magnitude > 0x80000000u)
        return std::nullopt;
    const auto bits
        = static_cast<std::uint32_t>(negative ? (0x100000000u - magnitude) & 0xFFFFFFFFu : magnitude);
    return std::vector<std::uint8_t> { static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24) };
}

std::optional<std::vector<std::uint8_t>> encodeBytes(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == ',' || text[i] == '\t') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && text::hexDigitValue(text[end]) >= 0)
            ++end;
        const std::size_t length = end - i;
        // A lone digit is a byte of its own; longer runs are whole pairs.
        if (length == 0 || (length > 2 && length % 2 != 0))
            return std::nullopt;
        if (length == 1) {
            bytes.push_back(static_cast<std::uint8_t>(text::hexDigitValue(text[i])));
        } else {
            for (std::size_t k = i; k < end; k += 2)
                bytes.push_back(static_cast<std::uint8_t>(
                    text::hexDigitValue(text[k]) * 16 + text::hexDigitValue(text[k + 1])));
        }
        i = end;
    }
    return bytes;
}

// The strings of a multi-string as typed: split at each single '|', one space on either side of it
// belongs to the separator, and "||" is a '|' of the text.
std::vector<std::string> splitTyped(std::string_view text)
{
    std::vector<std::string> strings;
    if (text.empty())
        return strings;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '|') {
            current += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '|') {
            current += '|';
            ++i;
            continue;
        }
        if (!current.empty() && current.back() == ' ')
            current.pop_back();
        strings.push_back(std::move(current));
        current.clear();
        if (i + 1 < text.size() && text[i + 1] == ' ')
            ++i;
    }
    strings.push_back(std::move(current));
    return strings;
}

std::string joinForDisplay(const std::vector<std::string>& strings)
{
    std::string shown;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        if (i > 0)
            shown += kSeparator;
        for (char c : strings[i]) {
            shown += c;
            if (c == '|')
                shown += '|';
        }
    }
    return shown;
}

std::string hexText(const std::vector<std::uint8_t>& data)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(data.size() * 3);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0)
            shown += ' ';
        shown += kDigits[data[i] >> 4];
        shown += kDigits[data[i] & 0x0F];
    }
    return shown;
}

// A row that stays, under the name it is written with.
struct Kept
{
    std::size_t row;
    std::string name;
    bool nameKept; // the name as loaded, spaces and all
};

const EntryValue* originOf(const std::vector<EntryValue>& original, const EntryRow& row)
{
    return row.origin && *row.origin < original.size() ? &original[*row.origin] : nullptr;
}

// The last row of each name (case ignored), in the order those rows stand.
std::vector<Kept> keptRows(const std::vector<EntryValue>& original, const std::vector<EntryRow>& rows)
{
    std::vector<Kept> kept;
    std::map<std::u16string, std::size_t> slot;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const EntryRow& row = rows[i];
        const EntryValue* from = originOf(original, row);
        Kept k { i, text::trimSpaces(row.name), false };
        if (from && row.name == displayName(*from)) {
            k.name = from->name;
            k.nameKept = true;
        }
        // A name cleared drops the row; the default value's row has no name to clear.
        if (k.name.empty() && !(from && from->name.empty()))
            continue;
        const auto [it, added] = slot.emplace(folded(k.name), kept.size());
        if (added)
            kept.push_back(k);
        else
            kept[it->second] = k;
    }
    std::sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) { return a.row < b.row; });
    return kept;
}

bool hasNoMoreItems(RegistryApi& api, RegKey key)
{
    std::vector<char> name(kNameBuffer);
    std::uint32_t nameSize = kNameBuffer;
    const long values = api.RegEnumValueA(key, 0, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr);
    nameSize = kNameBuffer;
    const long subkeys
        = api.RegEnumKeyExA(key, 0, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr);
    return values == kErrorNoMoreItems && subkeys == kErrorNoMoreItems;
}

} // namespace

std::vector<EntryValue> readEntryValues(RegistryApi& api, RegKey root, const std::string& path)
{
    std::vector<EntryValue> values;
    RegKey key = 0;
    if (api.RegOpenKeyExA(root, text::utf8ToAnsi(path).c_str(), 0, kKeyRead, &key) != kErrorSuccess)
        return values;
    std::vector<char> name(kNameBuffer);
    for (std::uint32_t index = 0;; ++index) {
        std::vector<std::uint8_t> data(256);
        std::uint32_t nameSize = kNameBuffer;
        std::uint32_t type = 0;
        auto size = static_cast<std::uint32_t>(data.size());
        long rc = api.RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type, data.data(), &size);
        // The data may grow between the calls when another program writes it: ask again.
        for (int attempt = 0; rc == kErrorMoreData && attempt < 3; ++attempt) {
            data.assign(size, 0);
            nameSize = kNameBuffer;
            rc = api.RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type, data.data(), &size);
        }
        if (rc == kErrorMoreData)
            continue;
        if (rc != kErrorSuccess)
            break;
        data.resize(size);
        values.push_back(
            { text::ansiToUtf8(std::string_view(name.data(), nameSize)), type, std::move(data) });
    }
    api.RegCloseKey(key);
    return values;
}

ValueForm formOf(std::uint32_t type, std::size_t size)
{
    switch (type) {
    case kRegSz:
    case kRegExpandSz:
        return ValueForm::Text;
    case kRegMultiSz:
        return ValueForm::Strings;
    case kRegDword:
        return size == 4 ? ValueForm::Number : ValueForm::Bytes;
    default:
        return ValueForm::Bytes;
    }
}

std::string typeName(std::uint32_t type)
{
    static constexpr const char* kNames[] = { "REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY",
        "REG_DWORD", "REG_DWORD_BIG_ENDIAN", "REG_LINK", "REG_MULTI_SZ", "REG_RESOURCE_LIST",
        "REG_FULL_RESOURCE_DESCRIPTOR", "REG_RESOURCE_REQUIREMENTS_LIST", "REG_QWORD" };
    if (type < std::size(kNames))
        return kNames[type];
    char number[16];
    std::snprintf(number, sizeof number, "0x%08x", static_cast<unsigned>(type));
    return number;
}

std::string displayName(const EntryValue& value)
{
    return text::trimSpaces(value.name);
}

std::string displayText(const EntryValue& value)
{
    switch (formOf(value)) {
    case ValueForm::Text:
        return text::trimSpaces(text::StripNull(fromAnsi(value.data.data(), value.data.size())));
    case ValueForm::Strings:
        return text::trimSpaces(joinForDisplay(splitMultiString(value.data)));
    case ValueForm::Number:
        return std::to_string(static_cast<std::int32_t>(bytes::readLe32(value.data)));
    case ValueForm::Bytes:
        break;
    }
    return hexText(value.data);
}

std::optional<std::vector<std::uint8_t>> encodeText(ValueForm form, std::string_view typed)
{
    switch (form) {
    case ValueForm::Text: {
        std::vector<std::uint8_t> data;
        appendAnsi(data, text::trimLeadingSpaces(typed));
        data.push_back(0);
        return data;
    }
    case ValueForm::Strings:
        return joinMultiString(splitTyped(text::trimLeadingSpaces(typed)));
    case ValueForm::Number:
        return encodeNumber(typed);
    case ValueForm::Bytes:
        return encodeBytes(typed);
    }
    return std::nullopt;
}

std::vector<std::string> splitMultiString(const std::vector<std::uint8_t>& data)
{
    // The list ends with an empty string: the data's last NUL or two are terminators, not strings.
    std::size_t end = data.size();
    for (int i = 0; i < 2 && end > 0 && data[end - 1] == 0; ++i)
        --end;
    std::vector<std::string> strings;
    if (end == 0)
        return strings;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= end; ++i) {
        if (i == end || data[i] == 0) {
            strings.push_back(fromAnsi(data.data() + start, i - start));
            start = i + 1;
        }
    }
    return strings;
}

std::vector<std::uint8_t> joinMultiString(const std::vector<std::string>& strings)
{
    std::vector<std::uint8_t> data;
    for (const std::string& s : strings) {
        appendAnsi(data, s);
        data.push_back(0);
    }
    data.push_back(0);
    return data;
}

EntryPlan planWriteBack(const std::vector<EntryValue>& original, const std::vector<EntryRow>& rows)
{
    const std::vector<Kept> kept = keptRows(original, rows);
    EntryPlan plan;
    std::set<std::string> keptNames;
    for (const Kept& k : kept)
        keptNames.insert(k.name);
    // Deletions first: a rename to another case of the same name deletes the old one, then writes.
    for (const EntryValue& value : original) {
        if (!keptNames.count(value.name))
            plan.changes.push_back({ EntryChange::Kind::DeleteValue, value.name, kRegNone, {} });
    }
    const bool deletes = !plan.changes.empty();
    for (const Kept& k : kept) {
        const EntryRow& row = rows[k.row];
        const EntryValue* from = originOf(original, row);
        const bool textKept = from && row.text == displayText(*from);
        if (k.nameKept && textKept)
            continue;
        EntryChange change { EntryChange::Kind::SetValue, k.name, from ? from->type : kRegSz, {} };
        if (textKept) {
            change.data = from->data;
        } else {
            const ValueForm form = from ? formOf(*from) : ValueForm::Text;
            auto data = encodeText(form, row.text);
            if (!data) {
                plan.changes.clear();
                plan.rejected = RejectedRow { k.row, k.name, form };
                return plan;
            }
            change.data = std::move(*data);
        }
        plan.changes.push_back(std::move(change));
    }
    if (deletes && kept.empty())
        plan.changes.push_back({ EntryChange::Kind::DeleteKeyIfEmpty, {}, kRegNone, {} });
    return plan;
}

long applyChange(RegistryApi& api, RegKey root, const std::string& path, const EntryChange& change)
{
    const std::string ansiPath = text::utf8ToAnsi(path);
    RegKey key = 0;
    long rc = kErrorSuccess;
    switch (change.kind) {
    case EntryChange::Kind::DeleteValue:
        if (rc = api.RegOpenKeyA(root, ansiPath.c_str(), &key); rc != kErrorSuccess)
            return rc;
        rc = api.RegDeleteValueA(key, text::utf8ToAnsi(change.name).c_str());
        // A value that is not there is as deleted as the change wants it.
        if (rc == kErrorFileNotFound)
            rc = kErrorSuccess;
        break;
    case EntryChange::Kind::SetValue: {
        if (rc = api.RegCreateKeyA(root, ansiPath.c_str(), &key); rc != kErrorSuccess)
            return rc;
        // The ANSI call looks at the byte after string data counted without its NUL: make it one
        // that is there. A string stored without its NUL gets it, as the call adds it.
        std::vector<std::uint8_t> data = change.data;
        data.push_back(0);
        rc = api.RegSetValueExA(key, text::utf8ToAnsi(change.name).c_str(), 0, change.type, data.data(),
            static_cast<std::uint32_t>(change.data.size()));
        break;
    }
    case EntryChange::Kind::DeleteKeyIfEmpty: {
        if (api.RegOpenKeyA(root, ansiPath.c_str(), &key) != kErrorSuccess)
            return kErrorSuccess;
        const bool empty = hasNoMoreItems(api, key);
        api.RegCloseKey(key);
        return empty ? api.RegDeleteKeyA(root, ansiPath.c_str()) : kErrorSuccess;
    }
    }
    api.RegCloseKey(key);
    return rc;
}

namespace {

// Writes the key back to `before`, for a backend that made some of the changes before one failed.
// Nothing is written where the key already reads as it did.
void restore(RegistryApi& api, RegKey root, const std::string& path, const std::vector<EntryValue>& before)
{
    const std::vector<EntryValue> now = readEntryValues(api, root, path);
    const auto find = [](const std::vector<EntryValue>& in, const std::string& name) {
        const std::u16string wanted = text::utf8ToUtf16(name);
        for (const EntryValue& v : in) {
            if (text::equalsIgnoreCase(text::utf8ToUtf16(v.name), wanted))
                return &v;
        }
        return static_cast<const EntryValue*>(nullptr);
    };
    for (const EntryValue& v : now) {
        if (!find(before, v.name))
            applyChange(api, root, path, { EntryChange::Kind::DeleteValue, v.name, v.type, {} });
    }
    for (const EntryValue& v : before) {
        const EntryValue* current = find(now, v.name);
        if (!current || current->type != v.type || current->data != v.data)
            applyChange(api, root, path, { EntryChange::Kind::SetValue, v.name, v.type, v.data });
    }
}

} // namespace

long applyChanges(
    RegistryApi& api, RegKey root, const std::string& path, const std::vector<EntryChange>& changes)
{
    const std::vector<EntryValue> before = readEntryValues(api, root, path);
    if (const long rc = api.beginChanges(); rc != kErrorSuccess)
        return rc;
    for (const EntryChange& change : changes) {
        if (const long rc = applyChange(api, root, path, change); rc != kErrorSuccess) {
            api.cancelChanges();
            restore(api, root, path, before);
            return rc;
        }
    }
    return api.commitChanges();
}

} // namespace tw::entries
