// SPDX-License-Identifier: MIT
// Registry files a user may come across that cannot be read: each is reported with the file and the line
// at fault, `tidewell --list` ends with status 2 and that message, and the file is never written.
#include "TestFiles.h"
#include "app/ListCommand.h"
#include "registry/FileStore.h"
#include "registry/Hive.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "session/OpenRegistry.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <sys/resource.h>

using namespace tw;

namespace {

const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n";

struct BadFile
{
    const char* name;
    std::string content;
    int line;
    const char* message;
};

int lineAt(const std::string& content, std::size_t offset)
{
    return 1
        + static_cast<int>(std::count(content.begin(), content.begin() + static_cast<long>(offset), '\n'));
}

std::vector<BadFile> badFiles()
{
    const std::string real = test::readAll(test::dataPath("wine/system-uninstall-excerpt.reg"));
    // Cut off in the middle of a string value, or followed by the zeros a crash can leave at the end.
    const auto cut = real.find("\"DisplayName\"=\"") + 20;
    return {
        { "text", "Dear diary,\nthis is no registry.\n", 1, "not a registry file" },
        { "windowsHive", std::string("regf\x01\0\0\0\x02\0\0\0", 12) + std::string(4096, '\0'), 1,
            "Windows registry hive" },
        { "export", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n", 1,
            "registry export" },
        { "truncatedMidLine", real.substr(0, cut), lineAt(real, cut), "text is not closed" },
        { "zeroFilledTail", real + std::string(8192, '\0'), lineAt(real, real.size()), "unrecognised line" },
        { "invalidEscape", kHeader + "[A] 1\n\"x\"=\"C:\\Program Files\\q\"\n", 5, "unknown escape \\P" },
    };
}

// What a bad file must lead to: the message from loading and from --list, and no write.
void expectRefusedAndUntouched(const std::string& file, const std::string& expectedText)
{
    HiveRegistry hive(file);
    ASSERT_TRUE(hive.loadError());
    EXPECT_EQ(hive.loadError()->text(), expectedText);
    Registry reg(hive);
    reg.SaveString(kHKeyLocalMachine, "Software\\Tidewell", "Written", "yes");
    RegKey key = 0;
    EXPECT_EQ(hive.RegCreateKeyA(kHKeyLocalMachine, "Software\\Tidewell", &key), kErrorBadDb);

    std::ostringstream out, err;
    EXPECT_EQ(runListCommand({ file }, std::filesystem::path(file).parent_path().string(), '.', out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "tidewell: The registry file cannot be read:\n" + expectedText + "\n");
}

std::size_t entriesIn(const std::filesystem::path& folder)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

// The whole file, chunk by chunk, for files too large to hold twice.
std::vector<std::size_t> digest(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::size_t> chunks;
    std::string buffer(1u << 20, '\0');
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
        chunks.push_back(std::hash<std::string_view> {}(std::string_view(buffer.data(), in.gcount())));
    return chunks;
}

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST(BadRegistryFile, eachIsReportedWithItsLineAndLeftAsItWas)
{
    for (const BadFile& bad : badFiles()) {
        SCOPED_TRACE(bad.name);
        test::TempDir dir;
        const std::string file = dir.file("system.reg");
        test::writeAll(file, bad.content);
        std::string expected;
        try {
            hive::parseHive(bad.content, file);
            ADD_FAILURE() << "accepted";
        } catch (const hive::ParseError& e) {
            EXPECT_EQ(e.line, bad.line);
            EXPECT_NE(e.message.find(bad.message), std::string::npos) << e.message;
            expected = file + ", line " + std::to_string(bad.line) + ": " + e.message;
        }
        expectRefusedAndUntouched(file, expected);
        EXPECT_EQ(test::readAll(file), bad.content);
        EXPECT_EQ(entriesIn(dir.path()), 1u);
    }
}

// A file of several hundred MB, and one whose last value runs to 1 GiB, are refused by their size before
// they are read, naming the line where the value that makes them so begins: neither the time nor the memory
// taken grows with them.
TEST(BadRegistryFile, filesOverTheSizeLimitAreRefusedUnread)
{
    for (const std::uintmax_t size : { std::uintmax_t { 300 } << 20, std::uintmax_t { 1 } << 30 }) {
        SCOPED_TRACE(size);
        test::TempDir dir;
        const std::string file = dir.file("system.reg");
        // Sparse: the disk holds only the first lines.
        test::writeAll(
            file, kHeader + "[Software\\\\Big] 1700000000\n#time=1da1a2b3c4d5e6f\n\"Blob\"=hex:00,\\\n");
        std::filesystem::resize_file(file, size);
        const auto before = digest(file);
        const auto stampBefore = filestore::stamp(file);
        const long peakBefore = peakKilobytes();
        const auto started = std::chrono::steady_clock::now();

        expectRefusedAndUntouched(file,
            file + ", line 6: the file is " + std::to_string(size >> 20)
                + " MiB, larger than the 256 MiB a registry file may be: the entry that begins on this line "
                  "is "
                  "longer than any value may be");

        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
        EXPECT_LT(peakKilobytes() - peakBefore, 64 * 1024);
        EXPECT_EQ(filestore::stamp(file), stampBefore);
        EXPECT_EQ(digest(file), before);
        EXPECT_EQ(entriesIn(dir.path()), 1u);
    }

    // Many ordinary lines: the line on which the file passes the limit.
    test::TempDir dir;
    const std::string file = dir.file("system.reg");
    {
        std::ofstream out(file, std::ios::binary);
        out << kHeader;
        const std::string block = "[Software\\\\Many] 1700000000\n\"v\"=\"" + std::string(1000, 'x') + "\"\n";
        for (std::uint64_t written = kHeader.size(); written <= (std::uint64_t { 257 } << 20);
             written += block.size())
            out << block;
    }
    HiveRegistry hive(file);
    ASSERT_TRUE(hive.loadError());
    EXPECT_NE(hive.loadError()->text().find(": it passes that size on this line"), std::string::npos);
    EXPECT_GT(hive.loadError()->line, 400000);
}
