// SPDX-License-Identifier: MIT
// The program list at scale: load a registry file of N listable entries, each with a usage record and a
// DisplayIcon on one of a few real icon-bearing files, scan it and take every row's icons.
#include "app/FsPath.h"
#include "inventory/IconCache.h"
#include "inventory/Inventory.h"
#include "registry/Hive.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

using namespace tw;

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> utf16z(const std::string& s)
{
    std::vector<std::uint8_t> out;
    for (char c : s) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

std::u16string u16(const std::string& s)
{
    return std::u16string(s.begin(), s.end());
}

// A prefix folder with the registry file and the icon files its entries name.
struct Fixture
{
    fs::path folder;
    std::string registryFile;

    explicit Fixture(int entries)
    {
        folder = fs::temp_directory_path() / ("tidewell-bench-" + std::to_string(entries));
        fs::remove_all(folder);
        const fs::path programs = folder / "drive_c" / "Program Files" / "Bench";
        fs::create_directories(programs);
        const char* files[]
            = { "TidewellProbe.exe", "uninst.exe", "uninst-group103.ico", "TidewellProbe-x86.exe" };
        for (const char* f : files)
            fs::copy_file(fs::path(TIDEWELL_TEST_DATA) / "wine" / f, programs / f);

        hive::Hive h;
        hive::Key* uninstall = &h.root;
        for (const char* part : { "Software", "Microsoft", "Windows", "CurrentVersion", "Uninstall" })
            uninstall = &uninstall->addSubkey(u16(part));
        hive::Key* cache = &uninstall->parent->addSubkey(u"App Management").addSubkey(u"ARPCache");
        const auto now = hive::filetimeNow();
        for (int i = 0; i < entries; ++i) {
            const std::string name = "Program" + std::to_string(100000 + i);
            hive::Key& k = uninstall->addSubkey(u16(name));
            k.values.push_back({ u"DisplayName", kRegSz, utf16z("Bench Program " + std::to_string(i)), {} });
            k.values.push_back(
                { u"UninstallString", kRegSz, utf16z("\"C:\\Program Files\\Bench\\uninst.exe\" /S"), {} });
            k.values.push_back({ u"DisplayIcon", kRegSz,
                utf16z("C:\\Program Files\\Bench\\" + std::string(files[i % 4]) + ",0"), {} });
            k.values.push_back({ u"Publisher", kRegSz, utf16z("Bench Corp"), {} });
            k.touch(now);
            hive::Key& c = cache->addSubkey(u16(name));
            std::vector<std::uint8_t> record(552, 0);
            record[10] = static_cast<std::uint8_t>(i);
            record[22] = 0xC4;
            record[23] = 0x01;
            record[24] = static_cast<std::uint8_t>(i % 30);
            c.values.push_back({ u"SlowInfoCache", kRegBinary, record, {} });
            c.touch(now);
        }
        registryFile = (folder / "system.reg").string();
        std::ofstream(registryFile, std::ios::binary) << hive::serializeHive(h);
    }
    ~Fixture() { fs::remove_all(folder); }
};

void loadScanAndIcons(benchmark::State& state)
{
    const Fixture fixture(static_cast<int>(state.range(0)));
    std::size_t rows = 0;
    for (auto _ : state) {
        HiveRegistry hive(fixture.registryFile);
        Registry registry(hive);
        Inventory inventory(
            registry, "Microsoft Windows XP", PathMapping::forRegistryFile(fixture.registryFile));
        icons::IconCache cache;
        const auto list = inventory.scan();
        std::size_t loaded = 0;
        for (const auto& row : list) {
            if (row.icon && cache.extract(inventory.paths().resolve(row.icon->path), row.icon->index))
                ++loaded;
        }
        rows = list.size();
        benchmark::DoNotOptimize(loaded);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void loadOnly(benchmark::State& state)
{
    const Fixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        HiveRegistry hive(fixture.registryFile);
        benchmark::DoNotOptimize(hive.loadError());
    }
}

} // namespace

BENCHMARK(loadScanAndIcons)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadOnly)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
