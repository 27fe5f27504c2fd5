// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tw {

// The calendar fields FileTimeToSystemTime gives, in UTC.
struct SystemTime
{
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0;
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;
};

// False, as Windows, for a time past the year 30827 (the high bit set).
bool FileTimeToSystemTime(std::uint64_t fileTime, SystemTime& out);

// The decimal separator of the user's locale, for the Size cell.
using DecimalSeparator = char;

// The three cell texts of a 552-byte usage record and the program path it may name.
std::string getFileSize(const std::vector<std::uint8_t>& record, DecimalSeparator separator = '.');
std::string getFrequency(std::uint8_t b24);
std::string getLastUsedOn(
    std::uint8_t b20, std::uint8_t b21, std::uint8_t b22, std::uint8_t b23, const std::string& osName);
SystemTime MSIEDate(const std::string& high, const std::string& low);
std::int32_t UnsignedToLong(double value);
// Bytes 28 on as UTF-16 up to the first NUL, when byte 4 says there is a path; else empty. UTF-8.
std::string programPath(const std::vector<std::uint8_t>& record);

struct UsageCells
{
    std::string size;
    std::string lastUsedOn;
    std::string frequency;
};
// What the scan does with a record GetBinaryValue accepted: each cell only when recorded.
UsageCells usageCells(
    const std::vector<std::uint8_t>& record, const std::string& osName, DecimalSeparator separator = '.');

} // namespace tw
