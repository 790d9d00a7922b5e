// A search that finds nothing, visiting every record, against memmem over the raw file.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>

#include "analysis/LogSet.h"
#include "bench/BenchLogs.h"
#include "model/GameLibrary.h"
#include "search/FieldMatch.h"
#include "search/SearchOptions.h"

namespace {

// Occurs nowhere in a generated log, so every field is read to its end.
constexpr const char* kNoHit = "NO-SUCH-TEXT";

const GameLibrary& loaded(int halfGames) {
    static std::map<int, std::unique_ptr<GameLibrary>> libraries;
    auto& lib = libraries[halfGames];
    if (!lib) {
        lib = std::make_unique<GameLibrary>();
        const std::string& bytes = benchLogBytes(halfGames);
        lib->loadFromMemory(bytes.data(), bytes.size());
    }
    return *lib;
}

void BM_MemmemBaseline(benchmark::State& state) {
    const std::string& bytes = benchLogBytes(static_cast<int>(state.range(0)));
    const std::size_t needle = std::strlen(kNoHit);
    for (auto _ : state) {
        benchmark::DoNotOptimize(memmem(bytes.data(), bytes.size(), kNoHit, needle));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void searchNoHit(benchmark::State& state, SearchTarget target) {
    const int halfGames = static_cast<int>(state.range(0));
    const GameLibrary& lib = loaded(halfGames);
    SearchOptions options;
    options.startIndex = -1;
    options.step = 1;
    options.target = static_cast<std::int32_t>(target);
    std::strcpy(options.searchText, kNoHit);
    for (auto _ : state) {
        const int found = lib.search(options);
        if (found != -1) {
            state.SkipWithError("the text was found");
            break;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchLogSize(halfGames)));
}

void BM_SearchTableName(benchmark::State& state) {
    searchNoHit(state, SearchTarget::TableName);
}
void BM_SearchHandYaku(benchmark::State& state) {
    searchNoHit(state, SearchTarget::HandYaku);
}
void BM_SearchHandResult(benchmark::State& state) {
    searchNoHit(state, SearchTarget::HandResult);
}

// The command's search: the same no-hit scan over records held in memory, in the
// merged order the command's pass hands them out.
void BM_CliSearchScan(benchmark::State& state) {
    const int halfGames = static_cast<int>(state.range(0));
    static std::map<int, std::vector<GameRecord>> sets;
    auto& records = sets[halfGames];
    if (records.empty()) {
        LogSet logs;
        logs.load({benchLogBytes(halfGames)});
        logs.read([&](const LoadedGame& game) { records.push_back(game.record); });
    }
    for (auto _ : state) {
        std::size_t hits = 0;
        forEveryHit(
            records.size(), [&](std::size_t pos) -> const GameRecord& { return records[pos]; },
            SearchTarget::HandYaku, kNoHit, [&](std::size_t, int) { ++hits; });
        if (hits != 0) {
            state.SkipWithError("the text was found");
            break;
        }
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchLogSize(halfGames)));
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(kSmallLog)->Arg(kMediumLog)->Arg(kLargeLog);
    b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_MemmemBaseline)->Apply(sizes);
BENCHMARK(BM_SearchTableName)->Apply(sizes);
BENCHMARK(BM_SearchHandYaku)->Apply(sizes);
BENCHMARK(BM_SearchHandResult)->Apply(sizes);
BENCHMARK(BM_CliSearchScan)->Apply(sizes);
