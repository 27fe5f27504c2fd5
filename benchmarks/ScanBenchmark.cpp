// SPDX-License-Identifier: MIT
// The program list at scale: load a registry file of N listable entries, each with a usage record and a
// DisplayIcon on one of a few real icon-bearing files, scan it and take the rows' icons. Then a registry
// file of 50 MB as a whole: loaded, changed and saved, and read again after another program changed it; and
// a fresh Wine prefix's registry file loaded.
#include "BenchFixture.h"
#include "base/FsPath.h"
#include "inventory/IconCache.h"
#include "inventory/Inventory.h"
#include "registry/Hive.h"
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <unordered_map>

using namespace tw;
using tw::bench::Fixture;

namespace {

// About 2.1 kB per entry, most of it the usage record's hexadecimal lines.
constexpr int kEntriesIn50MB = 24000;
const std::string kProbeKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Program100000";

// The icons as the list takes them: every entry's path looked up, and each distinct icon of each file
// read once (the window then decodes only those it draws).
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
        std::unordered_map<std::string, std::string> files;
        std::set<std::pair<std::string, std::int32_t>> taken;
        std::size_t loaded = 0;
        for (const auto& row : list) {
            if (!row.icon)
                continue;
            auto file = files.find(row.icon->path);
            if (file == files.end())
                file = files.emplace(row.icon->path, inventory.paths().resolve(row.icon->path)).first;
            if (taken.emplace(file->second, row.icon->index).second
                && cache.extract(file->second, row.icon->index))
                ++loaded;
        }
        rows = list.size();
        benchmark::DoNotOptimize(loaded);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// The same without the icons: the registry file loaded and scanned.
void loadAndScan(benchmark::State& state)
{
    const Fixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        HiveRegistry hive(fixture.registryFile);
        Registry registry(hive);
        Inventory inventory(
            registry, "Microsoft Windows XP", PathMapping::forRegistryFile(fixture.registryFile));
        benchmark::DoNotOptimize(inventory.scan());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void loadOnly(benchmark::State& state)
{
    const Fixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        HiveRegistry hive(fixture.registryFile);
        benchmark::DoNotOptimize(hive.loadError());
    }
    state.counters["file_MB"] = static_cast<double>(fixture.fileSize()) / 1e6;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void largeFileLoad(benchmark::State& state)
{
    const Fixture fixture(kEntriesIn50MB, "-large");
    for (auto _ : state) {
        HiveRegistry hive(fixture.registryFile);
        if (hive.loadError())
            state.SkipWithError(hive.loadError()->text().c_str());
    }
    state.counters["file_MB"] = static_cast<double>(fixture.fileSize()) / 1e6;
}

// A fresh Wine prefix's system.reg (1.7 MB), as every command on a prefix reads it first.
void freshPrefixLoad(benchmark::State& state)
{
    const std::string file = std::string(TIDEWELL_TEST_DATA) + "/wine/system.reg";
    for (auto _ : state) {
        HiveRegistry hive(file);
        if (hive.loadError())
            state.SkipWithError(hive.loadError()->text().c_str());
    }
}

// One value changed: the whole file is written afresh, flushed and renamed over the old one.
void largeFileChangeAndSave(benchmark::State& state)
{
    const Fixture fixture(kEntriesIn50MB, "-large");
    HiveRegistry hive(fixture.registryFile);
    Registry registry(hive);
    int n = 0;
    for (auto _ : state)
        registry.SaveString(kHKeyLocalMachine, kProbeKey, "DisplayVersion", std::to_string(++n));
    if (registry.GetStringValue(kHKeyLocalMachine, kProbeKey, "DisplayVersion") != std::to_string(n))
        state.SkipWithError("the change was not saved");
    state.counters["file_MB"] = static_cast<double>(fixture.fileSize()) / 1e6;
}

// Another copy of the program changes the file; the next call here reads it again.
void largeFileReloadAfterExternalChange(benchmark::State& state)
{
    const Fixture fixture(kEntriesIn50MB, "-large");
    HiveRegistry hive(fixture.registryFile);
    Registry registry(hive);
    HiveRegistry other(fixture.registryFile);
    Registry otherRegistry(other);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        otherRegistry.SaveString(kHKeyLocalMachine, kProbeKey, "Comments", std::to_string(++n));
        state.ResumeTiming();
        if (registry.GetStringValue(kHKeyLocalMachine, kProbeKey, "Comments") != std::to_string(n))
            state.SkipWithError("the other program's change was not seen");
    }
}

} // namespace

BENCHMARK(loadScanAndIcons)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadAndScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadOnly)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(freshPrefixLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(largeFileLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(largeFileChangeAndSave)->Unit(benchmark::kMillisecond);
BENCHMARK(largeFileReloadAfterExternalChange)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
