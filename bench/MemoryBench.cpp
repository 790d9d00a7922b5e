// Memory a loaded library holds: bytes per record and per hand, counted at operator new,
// and the peak resident size of a fresh process that loads the file.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "bench/BenchLogs.h"
#include "model/GameLibrary.h"

namespace {

// Counting is switched on only around the load being measured.
std::atomic<bool> counting{false};
std::atomic<long long> liveBytes{0};
constexpr std::size_t kSizeBuckets = 4096;
std::array<std::atomic<long long>, kSizeBuckets> allocationsBySize{};

void* countedAlloc(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) {
        throw std::bad_alloc();
    }
    if (counting.load(std::memory_order_relaxed)) {
        liveBytes += static_cast<long long>(malloc_usable_size(p));
        if (size < kSizeBuckets) {
            ++allocationsBySize[size];
        }
    }
    return p;
}

void countedFree(void* p) {
    if (p && counting.load(std::memory_order_relaxed)) {
        liveBytes -= static_cast<long long>(malloc_usable_size(p));
    }
    std::free(p);
}

// The size of the allocations made exactly count times: the list node of a record or
// of a hand, found by their numbers rather than by the library's layout.
std::size_t sizeAllocated(long long count) {
    for (std::size_t size = 0; size < kSizeBuckets; ++size) {
        if (allocationsBySize[size] == count) {
            return size;
        }
    }
    return 0;
}

void BM_Memory(benchmark::State& state) {
    const int halfGames = static_cast<int>(state.range(0));
    const std::string& path = benchLogPath(halfGames);
    const double fileSize = static_cast<double>(benchLogSize(halfGames));
    GameLibrary lib;
    lib.filePath = path;
    long long held = 0;
    long long hands = 0;
    std::size_t recordBytes = 0;
    std::size_t handBytes = 0;
    for (auto _ : state) {
        for (auto& bucket : allocationsBySize) {
            bucket = 0;
        }
        liveBytes = 0;
        counting = true;
        lib.load();
        held = liveBytes;
        counting = false;
        hands = 0;
        for (int i = 0; i < lib.recordCount(); ++i) {
            hands += static_cast<long long>(lib.record(i)->hands.size());
        }
        recordBytes = sizeAllocated(lib.recordCount());
        handBytes = sizeAllocated(hands);
        counting = true;
        lib.clear();
        counting = false;
        if (liveBytes != 0) {
            state.SkipWithError("clear did not free everything that load allocated");
        }
    }

    // The peak resident size of a process that only loads the file.
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) {
        state.SkipWithError("cannot find the benchmark program");
        return;
    }
    const std::string command = std::string(self) + " --peak-rss " + path;
    long long peak = 0;
    long long before = 0;
    if (std::FILE* child = popen(command.c_str(), "r")) {
        if (std::fscanf(child, "%lld %lld", &before, &peak) != 2) {
            peak = before = 0;
        }
        pclose(child);
    }

    state.counters["records"] = halfGames;
    state.counters["hands"] = static_cast<double>(hands);
    state.counters["file_bytes"] = fileSize;
    state.counters["record_node_bytes"] = static_cast<double>(recordBytes);
    state.counters["hand_node_bytes"] = static_cast<double>(handBytes);
    state.counters["held_bytes_per_record"] = static_cast<double>(held) / halfGames;
    state.counters["held_x_file"] = static_cast<double>(held) / fileSize;
    state.counters["peak_rss_x_file"] = static_cast<double>(peak - before) / fileSize;
}

} // namespace

void* operator new(std::size_t size) {
    return countedAlloc(size);
}
void* operator new[](std::size_t size) {
    return countedAlloc(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return countedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    countedFree(p);
}
void operator delete[](void* p) noexcept {
    countedFree(p);
}
void operator delete(void* p, std::size_t) noexcept {
    countedFree(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    countedFree(p);
}

// Run in a fresh process by BM_Memory: prints the resident size before the load and
// the peak after it, in bytes.
int peakResidentAfterLoad(const char* path) {
    auto statusValue = [](const char* key) {
        long long kb = 0;
        if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
            char line[256];
            const std::size_t keyLength = std::strlen(key);
            while (std::fgets(line, sizeof line, f)) {
                if (std::strncmp(line, key, keyLength) == 0) {
                    kb = std::atoll(line + keyLength);
                }
            }
            std::fclose(f);
        }
        return kb * 1024;
    };
    const long long before = statusValue("VmRSS:");
    GameLibrary lib;
    lib.filePath = path;
    if (!lib.load()) {
        return 1;
    }
    std::printf("%lld %lld\n", before, statusValue("VmHWM:"));
    return 0;
}

BENCHMARK(BM_Memory)
    ->Arg(kSmallLog)
    ->Arg(kMediumLog)
    ->Arg(kLargeLog)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
