// Load throughput of GameLibrary::load against counting the same file's lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "bench/BenchLogs.h"
#include "model/GameLibrary.h"

namespace {

// The baseline: the least any line-based reader must do, reading the file in 1 MiB
// blocks and finding every LF with memchr.
void BM_LineCountBaseline(benchmark::State& state) {
    const int halfGames = static_cast<int>(state.range(0));
    const std::string& path = benchLogPath(halfGames);
    auto block = std::make_unique<char[]>(1 << 20);
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::size_t got;
        while ((got = std::fread(block.get(), 1, 1 << 20, file)) > 0) {
            const char* p = block.get();
            const char* end = p + got;
            while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr) {
                ++lines;
                ++p;
            }
        }
        std::fclose(file);
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchLogSize(halfGames)));
    state.counters["lines"] = static_cast<double>(lines);
}

void BM_Load(benchmark::State& state) {
    const int halfGames = static_cast<int>(state.range(0));
    GameLibrary lib;
    lib.filePath = benchLogPath(halfGames);
    for (auto _ : state) {
        if (!lib.load() || lib.recordCount() != halfGames) {
            state.SkipWithError("the benchmark log did not load");
            break;
        }
        state.PauseTiming();
        lib.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchLogSize(halfGames)));
}

// Clearing is part of what a user waits for too (Clear, and the end of the program).
void BM_Clear(benchmark::State& state) {
    const int halfGames = static_cast<int>(state.range(0));
    GameLibrary lib;
    lib.filePath = benchLogPath(halfGames);
    for (auto _ : state) {
        state.PauseTiming();
        lib.load();
        state.ResumeTiming();
        lib.clear();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchLogSize(halfGames)));
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(kSmallLog)->Arg(kMediumLog)->Arg(kLargeLog);
    b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_LineCountBaseline)->Apply(sizes);
BENCHMARK(BM_Load)->Apply(sizes);
// Each iteration needs a full load outside the timing: a few are enough.
BENCHMARK(BM_Clear)
    ->Arg(kSmallLog)
    ->Arg(kMediumLog)
    ->Arg(kLargeLog)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
