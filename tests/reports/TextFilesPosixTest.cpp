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
#include <sys/resource.h>
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
