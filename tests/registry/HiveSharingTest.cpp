// SPDX-License-Identifier: MIT
// The registry file while something else has it open: a reader must not make a write fail.
#include "registry/HiveRegistry.h"

#include "TestFiles.h"
#include "registry/FileStore.h"
#include "registry/Registry.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace tw;

TEST(HiveSharing, aWriteWaitsOutReadersThatHaveTheFileOpen)
{
    test::TempDir dir;
    const std::string file = dir.file("system.reg");
    test::writeAll(file, test::readAll(test::dataPath("wine/system-uninstall-excerpt.reg")));
    HiveRegistry hive(file);
    ASSERT_FALSE(hive.loadError());

    // Another copy of the program reading the file over and over, as a refresh does. On Windows a file
    // that is open cannot be replaced at that moment.
    std::atomic<bool> stop { false };
    std::thread reader([&] {
        std::string content, error;
        filestore::Stamp stamp;
        while (!stop) {
            filestore::readFile(file, content, stamp, error);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    constexpr int kCount = 20;
    RegKey key = 0;
    long created = hive.RegCreateKeyA(kHKeyLocalMachine, "Software\\Tidewell Test", &key);
    for (int i = 0; i < kCount && created == kErrorSuccess; ++i) {
        const std::uint8_t data[] = { 'x', 0 };
        EXPECT_EQ(
            hive.RegSetValueExA(key, ("v" + std::to_string(i)).c_str(), 0, kRegSz, data, 2), kErrorSuccess)
            << i;
    }
    stop = true;
    reader.join();
    ASSERT_EQ(created, kErrorSuccess);
    hive.RegCloseKey(key);

    HiveRegistry again(file);
    EXPECT_EQ(Registry(again).EnumRegistryValuesEx(kHKeyLocalMachine, "Software\\Tidewell Test").size(),
        std::size_t { kCount });
}
