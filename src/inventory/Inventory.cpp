// SPDX-License-Identifier: MIT
#include "inventory/Inventory.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "inventory/UsageRecord.h"
#include "registry/Registry.h"
#include "registry/RegistryViews.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <unordered_set>

namespace tw {

namespace {

// Whether the text reads as a number: spaces around it, a sign, digits with a fraction and an exponent.
std::optional<double> readNumber(const std::string& s)
{
    std::size_t b = s.find_first_not_of(' ');
    std::size_t e = s.find_last_not_of(' ');
    if (b == std::string::npos)
        return std::nullopt;
    const std::string t = s.substr(b, e - b + 1);
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-')
        ++i;
    std::size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    return std::strtod(t.c_str(), nullptr);
}

} // namespace

std::optional<IconRef> iconFromDisplayIcon(const std::string& displayIcon)
{
    std::string s;
    for (char c : displayIcon) {
        if (c != '"')
            s.push_back(c);
    }
    const auto comma = s.rfind(',');
    if (comma == std::string::npos)
        return IconRef { s, 0 };
    const auto number = readNumber(s.substr(comma + 1));
    if (!number)
        return std::nullopt;
    // Halves to even, as the conversion to a whole number rounds.
    const double rounded = std::nearbyint(*number);
    if (rounded < std::numeric_limits<std::int32_t>::min()
        || rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return IconRef { s.substr(0, comma), static_cast<std::int32_t>(rounded) };
}

Inventory::Inventory(Registry& registry, std::string osName, PathMapping paths, char decimalSeparator)
    : m_sources { { RegistrySource {}, &registry } }
    , m_backend(registry.api())
    , m_osName(std::move(osName))
    , m_paths(std::move(paths))
    , m_decimalSeparator(decimalSeparator)
{ }

Inventory::Inventory(RegistryViews& views, std::string osName, PathMapping paths, char decimalSeparator)
    : m_backend(views.backend())
    , m_osName(std::move(osName))
    , m_paths(std::move(paths))
    , m_decimalSeparator(decimalSeparator)
{
    for (const RegistrySource& where : views.listed())
        m_sources.push_back({ where, &views.registryFor(where) });
}

std::vector<ProgramRow> Inventory::scan()
{
    // One state of the registry for the whole scan, every source read from it.
    const ReadHold hold(m_backend);
    std::vector<ProgramRow> rows;
    for (const Source& source : m_sources)
        scan(source, rows);
    return rows;
}

void Inventory::scan(const Source& source, std::vector<ProgramRow>& rows)
{
    Procedure proc("showUnInstallList", OnError::Skip);
    Registry& registry = *source.registry;
    const RegKey root = source.where.root;
    std::vector<std::string> names;
    proc.step(__LINE__, [&] { registry.GetKeyNames(root, kUninstallPath, names); });
    const bool readUsage = !usageHidden();
    // A row's key is unique in its source. Two subkeys can read as one name (a name cut at a NUL, or
    // characters the code page has no room for read as '?'): the second is refused, as the list refuses it.
    std::unordered_set<std::u16string> keys;
    for (const std::string& name : names) {
        const std::string path = kUninstallPath + name;
        bool listed = false;
        ProgramRow row;
        proc.step(__LINE__, [&] {
            if (registry.GetDWORDValue(root, path, "NoRemove") == 1)
                return;
            row.uninstallCommand = registry.GetStringValue(root, path, "UninstallString");
            row.text = registry.GetStringValue(root, path, "DisplayName");
            listed = !row.uninstallCommand.empty() && !row.text.empty();
        });
        if (!listed || !keys.insert(text::toUpper(text::utf8ToUtf16(name))).second)
            continue;
        row.key = name;
        row.source = source.where;
        std::string displayIcon;
        std::vector<std::uint8_t> record;
        bool haveRecord = false;
        proc.step(__LINE__, [&] { displayIcon = registry.GetStringValue(root, path, "DisplayIcon"); });
        if (readUsage) {
            proc.step(__LINE__, [&] {
                haveRecord = registry.GetBinaryValue(root, kArpCachePath + name, "SlowInfoCache", record);
            });
        }
        proc.step(__LINE__, [&] {
            if (!displayIcon.empty()) {
                row.icon = iconFromDisplayIcon(displayIcon);
            } else if (haveRecord && record[4] != 0) {
                const std::string program = programPath(record);
                if (m_paths.exists(program))
                    row.icon = IconRef { program, 0 };
            }
        });
        if (haveRecord) {
            proc.step(__LINE__, [&] {
                const UsageCells cells = usageCells(record, m_osName, m_decimalSeparator);
                row.size = cells.size;
                row.frequency = cells.frequency;
                row.lastUsedOn = cells.lastUsedOn;
            });
        }
        rows.push_back(std::move(row));
    }
}

} // namespace tw
