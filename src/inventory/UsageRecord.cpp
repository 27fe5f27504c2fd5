// SPDX-License-Identifier: MIT
#include "inventory/UsageRecord.h"

#include "base/Bytes.h"
#include "base/Errors.h"
#include "base/Text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace tw {

namespace {

constexpr std::size_t kRecordSize = 552;

// Days since 1970-01-01 to a proleptic Gregorian date.
void civilFromDays(std::int64_t z, int& year, unsigned& month, unsigned& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

std::int64_t daysFromCivil(int y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::int64_t kDays1601To1970 = 134774;

} // namespace

bool FileTimeToSystemTime(std::uint64_t fileTime, SystemTime& out)
{
    if (fileTime >= 0x8000000000000000ull)
        return false;
    const std::uint64_t ms = fileTime / 10'000;
    const auto days = static_cast<std::int64_t>(ms / 86'400'000);
    const std::uint64_t msOfDay = ms % 86'400'000;
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(days - kDays1601To1970, year, month, day);
    out.wYear = static_cast<std::uint16_t>(year);
    out.wMonth = static_cast<std::uint16_t>(month);
    out.wDay = static_cast<std::uint16_t>(day);
    // 1601-01-01 was a Monday.
    out.wDayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);
    out.wHour = static_cast<std::uint16_t>(msOfDay / 3'600'000);
    out.wMinute = static_cast<std::uint16_t>(msOfDay / 60'000 % 60);
    out.wSecond = static_cast<std::uint16_t>(msOfDay / 1000 % 60);
    out.wMilliseconds = static_cast<std::uint16_t>(msOfDay % 1000);
    return true;
}

std::string getFileSize(const std::vector<std::uint8_t>& record, DecimalSeparator separator)
{
    Procedure proc("getFileSize", OnError::Leave);
    std::string text;
    proc.step(__LINE__, [&] {
        if (record.size() < 16)
            throw std::out_of_range("the usage record ends before its size");
        // All eight bytes, unsigned: a program of 2 GiB or more has a size too.
        const double mb = static_cast<double>(bytes::readLe64(record, 8)) / 1024.0 / 1024.0;
        // "0.0": one decimal, halves away from zero.
        const double rounded = std::floor(mb * 10.0 + 0.5) / 10.0;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.1f", rounded);
        text = buf;
        if (const auto dot = text.find('.'); dot != std::string::npos)
            text[dot] = separator;
        text += " MB";
    });
    return text;
}

std::string getFrequency(std::uint8_t b24)
{
    if (b24 <= 2)
        return "Rarely";
    if (b24 <= 10)
        return "Occasionally";
    if (b24 <= 254)
        return "Frequently";
    return {};
}

std::int32_t UnsignedToLong(double value)
{
    Procedure proc("UnsignedToLong");
    std::int32_t result = 0;
    proc.step(__LINE__, [&] {
        if (value >= 0 && value <= 2147483647.0)
            result = static_cast<std::int32_t>(value);
        else if (value >= 2147483648.0 && value < 4294967296.0)
            result = static_cast<std::int32_t>(value - 4294967296.0);
    });
    return result;
}

SystemTime MSIEDate(const std::string& high, const std::string& low)
{
    Procedure proc("MSIEDate");
    SystemTime st;
    std::int32_t hi = 0;
    std::int32_t lo = 0;
    auto number = [](const std::string& s) {
        char* end = nullptr;
        const double v = std::strtod(s.c_str(), &end);
        if (s.empty() || *end != '\0')
            throw Error(errc::kTypeMismatch, "Type mismatch");
        return v;
    };
    if (!proc.step(__LINE__, [&] { hi = UnsignedToLong(number(high)); }))
        return st;
    if (!proc.step(__LINE__, [&] { lo = UnsignedToLong(number(low)); }))
        return st;
    proc.step(__LINE__, [&] {
        const std::uint64_t ft = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(hi)) << 32)
            | static_cast<std::uint32_t>(lo);
        FileTimeToSystemTime(ft, st);
    });
    return st;
}

std::string getLastUsedOn(
    std::uint8_t b20, std::uint8_t b21, std::uint8_t b22, std::uint8_t b23, const std::string& osName)
{
    // The sum is a signed 32-bit number: with byte 23 at 0x80 or above it overflows and the cell stays empty.
    if (b23 >= 0x80)
        return {};
    const std::uint8_t stored[] = { b20, b21, b22, b23 };
    const auto h = static_cast<std::int32_t>(bytes::readLe32(stored));
    const SystemTime st = MSIEDate(std::to_string(h), std::to_string(h));
    if (st.wMonth == 0)
        return {};
    const int year = st.wYear > 9999 ? 7999 : st.wYear;
    std::int64_t days = daysFromCivil(year, st.wMonth, st.wDay);
    if (osName.find("2000") != std::string::npos)
        ++days;
    int y = 0;
    unsigned m = 0;
    unsigned d = 0;
    civilFromDays(days, y, m, d);
    // The day after 31 December 9999 is no date the system can hold: the computation fails.
    if (y > 9999)
        return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", y, m, d);
    return buf;
}

std::string programPath(const std::vector<std::uint8_t>& record)
{
    if (record.size() != kRecordSize || record[4] == 0)
        return {};
    std::u16string path;
    for (std::size_t i = 28; i + 1 < kRecordSize; i += 2) {
        const auto c = static_cast<char16_t>(bytes::readLe16(record, i));
        if (c == 0)
            break;
        path.push_back(c);
    }
    return text::utf16ToUtf8(path);
}

UsageCells usageCells(
    const std::vector<std::uint8_t>& record, const std::string& osName, DecimalSeparator separator)
{
    UsageCells cells;
    if (record.size() != kRecordSize)
        return cells;
    if (record[11] != 0xFF)
        cells.size = getFileSize(record, separator);
    if (record[24] != 0xFF)
        cells.frequency = getFrequency(record[24]);
    if (record[23] != 0 && record[23] != 0xFF)
        cells.lastUsedOn = getLastUsedOn(record[20], record[21], record[22], record[23], osName);
    return cells;
}

} // namespace tw
