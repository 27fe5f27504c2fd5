// SPDX-License-Identifier: MIT
// A save cut short by the system (here a file size limit standing in for a full disk) or by the end of
// the program keeps the file the user chose intact.
#include "reports/TextFiles.h"

#include "../registry/TestFiles.h"
#include "TextWriterDocument.h"
#include "registry/FileStore.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tw;

TEST(TextFiles, aWriteCutShortKeepsTheEarlierFileWhole)
{
    test::TempDir dir;
    const std::string file = dir.file("report.txt");
    test::writeAll(file, "the earlier report\r\n");

    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = writeTextFile(file, std::string(100000, 'x'), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find(file), std::string::npos) << error;
    EXPECT_EQ(test::readAll(file), "the earlier report\r\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

namespace {

// The file a save writes before it renames it over the report.
bool saveUnderWay(const std::filesystem::path& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename() != "report.txt")
            return true;
    }
    return false;
}

} // namespace

// Kills a program at random moments while it saves a large document over and over, half the time at a
// moment chosen inside a save (converting the text takes longer than writing it): after each kill the file
// is one whole version, the one before or the one being saved, never part of one or a mix of two.
TEST(TextFiles, killingAWriterMidSaveLeavesAWholeVersion)
{
    test::TempDir dir;
    const std::string file = dir.file("report.txt");
    const std::string versions[]
        = { test::versionedDocument(0), test::versionedDocument(1), test::versionedDocument(2) };
    test::writeAll(file, versions[0]);
    std::mt19937 random(20240611);
    // At least kRounds kills, and more (up to four times as many) until a quarter of them came inside a
    // save: where a kill lands depends on the machine's load, and the mid-save ones are the point.
    constexpr int kRounds = 60;
    int kills = 0;
    int midSave = 0;
    int damaged = 0;
    int round = 0;
    for (; round < kRounds || (midSave < kRounds / 4 && round < 4 * kRounds); ++round) {
        const auto before = filestore::stamp(file);
        const pid_t pid = fork();
        if (pid == 0) {
            execl(TIDEWELL_TEXT_WRITER, TIDEWELL_TEXT_WRITER, file.c_str(), "100000",
                static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(pid, 0);
        // Once the writer has saved once it is in its loop; then a moment anywhere in the next few saves
        // (each takes milliseconds, tens of them under sanitizers), or within a millisecond of a save's
        // start.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (filestore::stamp(file) == before && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (round % 2 == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 50000));
        } else {
            while (!saveUnderWay(dir.path()) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 1000));
        }
        if (kill(pid, SIGKILL) == 0)
            ++kills;
        int status = 0;
        waitpid(pid, &status, 0);

        // A temporary file left beside it means the kill came inside a save.
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().filename() != "report.txt") {
                ++midSave;
                std::filesystem::remove(entry.path());
            }
        }
        const std::string content = test::readAll(file);
        if (std::find(std::begin(versions), std::end(versions), content) == std::end(versions)) {
            ++damaged;
            ADD_FAILURE() << "round " << round << ": " << content.size() << " bytes, not a whole version";
        }
    }
    std::cout << "kills: " << kills << " (" << midSave << " inside a save), damaged files: " << damaged
              << '\n';
    EXPECT_EQ(kills, round);
    EXPECT_GE(midSave, kRounds / 4);
    EXPECT_EQ(damaged, 0);
}

TEST(TextFiles, aLinkStaysALinkAndAPipeOrNewFileIsWrittenAsAPlainCreateWould)
{
    test::TempDir dir;
    std::string error;

    // Saving over a link replaces the file it names.
    std::filesystem::create_directories(dir.file("real"));
    test::writeAll(dir.file("real/target.txt"), "old");
    chmod(dir.file("real/target.txt").c_str(), 0640);
    std::filesystem::create_symlink("real/target.txt", dir.file("link.txt"));
    ASSERT_TRUE(writeTextFile(dir.file("link.txt"), "new\r\n", error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(test::readAll(dir.file("real/target.txt")), "new\r\n");
    struct stat st = {};
    ASSERT_EQ(stat(dir.file("real/target.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A new file takes the user's umask.
    const mode_t before = umask(077);
    ASSERT_TRUE(writeTextFile(dir.file("private.txt"), "x", error)) << error;
    umask(before);
    ASSERT_EQ(stat(dir.file("private.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    // A pipe is written into, not replaced by a file.
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        const int fd = open(fifo.c_str(), O_RDONLY);
        char buffer[64];
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
            received.append(buffer, static_cast<std::size_t>(n));
        close(fd);
    });
    const bool written = writeTextFile(fifo, "through the pipe\r\n", error);
    reader.join();
    EXPECT_TRUE(written) << error;
    EXPECT_EQ(received, "through the pipe\r\n");
    ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}
