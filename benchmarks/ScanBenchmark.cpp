// SPDX-License-Identifier: MIT
// The program list at scale: load a registry file of N listable entries, each with a usage record and a
// DisplayIcon on one of a few real icon-bearing files, scan it and take every row's icons.
#include "BenchFixture.h"
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
using tw::bench::Fixture;

namespace {

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
