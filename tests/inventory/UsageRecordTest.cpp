// SPDX-License-Identifier: MIT
#include "inventory/UsageRecord.h"

#include <gtest/gtest.h>
#include <random>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace tw;

namespace {

std::vector<std::uint8_t> record(std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes)
{
    std::vector<std::uint8_t> r(552, 0);
    for (const auto& [at, value] : bytes)
        r[at] = value;
    return r;
}

std::vector<std::uint8_t> sizeRecord(std::uint64_t size)
{
    std::vector<std::uint8_t> r(552, 0);
    for (int i = 0; i < 8; ++i)
        r[8 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
    return r;
}

// The calendar fields of a file time; none when the conversion fails.
std::vector<int> calendar(std::uint64_t fileTime)
{
    SystemTime s;
    if (!FileTimeToSystemTime(fileTime, s))
        return {};
    return { s.wYear, s.wMonth, s.wDay, s.wDayOfWeek, s.wHour, s.wMinute, s.wSecond, s.wMilliseconds };
}

// Size, last used on and frequency, as a scan without an OS name shows them.
std::string cells(const std::vector<std::uint8_t>& r)
{
    const UsageCells c = usageCells(r, "");
    return c.size + "|" + c.lastUsedOn + "|" + c.frequency;
}

} // namespace

TEST(UsageRecord, sizeIsMegabytesWithOneDecimal)
{
    EXPECT_EQ(getFileSize(sizeRecord(0)), "0.0 MB");
    EXPECT_EQ(getFileSize(sizeRecord(1572864)), "1.5 MB");
    EXPECT_EQ(getFileSize(sizeRecord(5550080)), "5.3 MB");
    EXPECT_EQ(getFileSize(sizeRecord(1572864), ','), "1,5 MB");
    // Programs of 2 GiB and more have a size too: the whole 64-bit field is read, unsigned.
    EXPECT_EQ(getFileSize(sizeRecord(0x80000000ull)), "2048.0 MB");
    EXPECT_EQ(getFileSize(sizeRecord(5ull << 30)), "5120.0 MB");
}

TEST(UsageRecord, frequencyWords)
{
    std::string words;
    for (int b : { 0, 2, 3, 10, 11, 254 })
        words += getFrequency(static_cast<std::uint8_t>(b)) + " ";
    EXPECT_EQ(words, "Rarely Rarely Occasionally Occasionally Frequently Frequently ");
}

TEST(UsageRecord, lastUsedDateUsesTheHighHalfTwiceAndTheUtcDate)
{
    EXPECT_EQ(getLastUsedOn(0x00, 0xC0, 0xC4, 0x01, "Microsoft Windows XP"), "2004-11-01");
    EXPECT_EQ(getLastUsedOn(0x00, 0xC0, 0xC4, 0x01, "Microsoft Windows 2000"), "2004-11-02");
    // The probe's record: 2026-11-30 12:00 UTC.
    EXPECT_EQ(getLastUsedOn(0xC2, 0x80, 0xDD, 0x01, ""), "2026-11-30");
    // A sum that overflows the signed 32 bits leaves the cell empty.
    EXPECT_EQ(getLastUsedOn(0, 0, 0, 0x90, ""), "");
    // Beyond the year 9999 the year shown is 7999.
    EXPECT_EQ(getLastUsedOn(0xFF, 0xFF, 0xFF, 0x7F, "").substr(0, 5), "7999-");
    // The last day there is has no day after it for the "2000" systems.
    EXPECT_EQ(getLastUsedOn(0x96, 0x59, 0xC8, 0x24, ""), "9999-12-31");
    EXPECT_EQ(getLastUsedOn(0x96, 0x59, 0xC8, 0x24, "Microsoft Windows 2000"), "");
}

TEST(UsageRecord, fileTimesAndUnsignedNumbers)
{
    // Year, month, day, day of week (1601-01-01 was a Monday), time of day.
    EXPECT_EQ(calendar(0), (std::vector<int> { 1601, 1, 1, 1, 0, 0, 0, 0 }));
    EXPECT_EQ(calendar(116444736000000000ull + 86399999ull * 10000),
        (std::vector<int> { 1970, 1, 1, 4, 23, 59, 59, 999 }));
    EXPECT_TRUE(calendar(0x8000000000000000ull).empty());

    EXPECT_EQ(UnsignedToLong(0), 0);
    EXPECT_EQ(UnsignedToLong(2147483647.0), 2147483647);
    EXPECT_EQ(UnsignedToLong(2147483648.0), -2147483647 - 1);
    EXPECT_EQ(UnsignedToLong(4294967295.0), -1);
    EXPECT_EQ(UnsignedToLong(4294967296.0), 0);
    EXPECT_EQ(UnsignedToLong(-1.0), 0);
}

#ifdef _WIN32
// Our conversion against the system's, over the whole range and at its edges.
TEST(UsageRecord, fileTimesConvertAsTheSystemConvertsThem)
{
    std::mt19937_64 random(7);
    std::vector<std::uint64_t> times { 0, 1, 0x01C4C00001C4C000ull, 0x24C8599624C85996ull,
        0x7FFFFFFFFFFFFFFFull, 0x8000000000000000ull, 0xFFFFFFFFFFFFFFFFull };
    for (int i = 0; i < 2000; ++i)
        times.push_back(random() >> (i % 2));
    for (const std::uint64_t t : times) {
        SystemTime ours;
        const bool ok = FileTimeToSystemTime(t, ours);
        FILETIME ft { static_cast<DWORD>(t), static_cast<DWORD>(t >> 32) };
        SYSTEMTIME theirs {};
        ASSERT_EQ(ok, ::FileTimeToSystemTime(&ft, &theirs) != 0) << t;
        if (!ok)
            continue;
        EXPECT_EQ(std::vector<int>({ ours.wYear, ours.wMonth, ours.wDayOfWeek, ours.wDay, ours.wHour,
                      ours.wMinute, ours.wSecond, ours.wMilliseconds }),
            std::vector<int>({ theirs.wYear, theirs.wMonth, theirs.wDayOfWeek, theirs.wDay, theirs.wHour,
                theirs.wMinute, theirs.wSecond, theirs.wMilliseconds }))
            << t;
    }
}
#endif

TEST(UsageRecord, cellsAppearOnlyWhenRecorded)
{
    EXPECT_EQ(cells(record({ { 11, 0xFF }, { 24, 0xFF }, { 23, 0xFF } })), "||");
    EXPECT_EQ(cells(record({ { 10, 0x10 }, { 24, 3 } })), "1.0 MB||Occasionally");
    EXPECT_EQ(
        cells(record({ { 9, 0x80 }, { 10, 0x01 }, { 21, 0xC0 }, { 22, 0xC4 }, { 23, 0x01 }, { 24, 40 } })),
        "0.1 MB|2004-11-01|Frequently");
    // Only a 552-byte record is ever decoded.
    std::vector<std::uint8_t> shortRecord = record({ { 24, 40 } });
    shortRecord.pop_back();
    EXPECT_EQ(cells(shortRecord), "||");
}

TEST(UsageRecord, programPathOnlyWhenFlagged)
{
    std::vector<std::uint8_t> r = record({});
    const std::u16string path = u"C:\\Program Files\\Caf\u00e9\\app.exe";
    for (std::size_t i = 0; i < path.size(); ++i) {
        r[28 + 2 * i] = static_cast<std::uint8_t>(path[i] & 0xFF);
        r[29 + 2 * i] = static_cast<std::uint8_t>(path[i] >> 8);
    }
    EXPECT_EQ(programPath(r), "");
    r[4] = 1;
    EXPECT_EQ(programPath(r), "C:\\Program Files\\Caf\xc3\xa9\\app.exe");
    // A path that fills the field without a NUL ends with the record (the high bytes are all 0).
    for (std::size_t i = 28; i < 552; i += 2)
        r[i] = 'a';
    EXPECT_EQ(programPath(r), std::string(262, 'a'));
}
