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

} // namespace

TEST(UsageRecord, sizeIsMegabytesWithOneDecimal)
{
    EXPECT_EQ(getFileSize(sizeRecord(0)), "0.0 MB");
    EXPECT_EQ(getFileSize(sizeRecord(1048576)), "1.0 MB");
    EXPECT_EQ(getFileSize(sizeRecord(1572864)), "1.5 MB");
    EXPECT_EQ(getFileSize(sizeRecord(5550080)), "5.3 MB");
    EXPECT_EQ(getFileSize(sizeRecord(1572864), ','), "1,5 MB");
    // Programs of 2 GiB and more have a size too: the whole 64-bit field is read, unsigned.
    EXPECT_EQ(getFileSize(sizeRecord(0x80000000ull)), "2048.0 MB");
    EXPECT_EQ(getFileSize(sizeRecord(5ull << 30)), "5120.0 MB");
}

TEST(UsageRecord, frequencyWords)
{
    EXPECT_EQ(getFrequency(0), "Rarely");
    EXPECT_EQ(getFrequency(2), "Rarely");
    EXPECT_EQ(getFrequency(3), "Occasionally");
    EXPECT_EQ(getFrequency(10), "Occasionally");
    EXPECT_EQ(getFrequency(11), "Frequently");
    EXPECT_EQ(getFrequency(254), "Frequently");
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
    SystemTime st;
    ASSERT_TRUE(FileTimeToSystemTime(0, st));
    EXPECT_EQ(st.wYear, 1601);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 1);
    EXPECT_EQ(st.wDayOfWeek, 1);
    ASSERT_TRUE(FileTimeToSystemTime(116444736000000000ull + 86399999ull * 10000, st));
    EXPECT_EQ(st.wYear, 1970);
    EXPECT_EQ(st.wDayOfWeek, 4);
    EXPECT_EQ(st.wHour, 23);
    EXPECT_EQ(st.wMinute, 59);
    EXPECT_EQ(st.wSecond, 59);
    EXPECT_EQ(st.wMilliseconds, 999);
    ASSERT_TRUE(FileTimeToSystemTime(0x01C4C00001C4C000ull, st));
    EXPECT_EQ(st.wYear, 2004);
    EXPECT_FALSE(FileTimeToSystemTime(0x8000000000000000ull, st));

    EXPECT_EQ(UnsignedToLong(0), 0);
    EXPECT_EQ(UnsignedToLong(2147483647.0), 2147483647);
    EXPECT_EQ(UnsignedToLong(2147483648.0), -2147483647 - 1);
    EXPECT_EQ(UnsignedToLong(4294967295.0), -1);
    EXPECT_EQ(UnsignedToLong(4294967296.0), 0);
    EXPECT_EQ(UnsignedToLong(-1.0), 0);
    const SystemTime fromText = MSIEDate("29671424", "29671424");
    EXPECT_EQ(fromText.wYear, 2004);
    EXPECT_EQ(fromText.wMonth, 11);
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
    const UsageCells none = usageCells(record({ { 11, 0xFF }, { 24, 0xFF }, { 23, 0xFF } }), "");
    EXPECT_EQ(none.size, "");
    EXPECT_EQ(none.frequency, "");
    EXPECT_EQ(none.lastUsedOn, "");
    const UsageCells neverUsed = usageCells(record({ { 10, 0x10 }, { 24, 3 } }), "");
    EXPECT_EQ(neverUsed.size, "1.0 MB");
    EXPECT_EQ(neverUsed.frequency, "Occasionally");
    EXPECT_EQ(neverUsed.lastUsedOn, "");
    const UsageCells all = usageCells(
        record({ { 9, 0x80 }, { 10, 0x01 }, { 21, 0xC0 }, { 22, 0xC4 }, { 23, 0x01 }, { 24, 40 } }), "");
    EXPECT_EQ(all.size, "0.1 MB");
    EXPECT_EQ(all.lastUsedOn, "2004-11-01");
    EXPECT_EQ(all.frequency, "Frequently");
    // Only a 552-byte record is ever decoded.
    std::vector<std::uint8_t> shortRecord = record({ { 24, 40 } });
    shortRecord.pop_back();
    EXPECT_EQ(usageCells(shortRecord, "").frequency, "");
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
    // A path that fills the field without a NUL ends with the record.
    for (std::size_t i = 28; i < 552; i += 2) {
        r[i] = 'a';
        r[i + 1] = 0;
    }
    EXPECT_EQ(programPath(r), std::string(262, 'a'));
}
