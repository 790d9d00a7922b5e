// Loading and clearing a score file a thousand times gives all of its memory back.
#define PSAPI_VERSION 2
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/GameLibrary.h"
#include "tests/unit/WorkedExample.h"

namespace {

// The worked example's two half-games, the second ended early; repeated to make a
// file of a few hundred.
constexpr int kCopies = 100;

std::string scoreLog(int copies) {
    std::string log;
    for (int i = 0; i < copies; ++i) {
        log += workedExample("\r\n");
    }
    return log;
}

class TempLog {
  public:
    TempLog(const char* name, const std::string& bytes) {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path_ = std::string(dir) + std::to_string(GetCurrentProcessId()) + "_" + name;
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        ok_ = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (f) {
            std::fclose(f);
        }
    }
    ~TempLog() { DeleteFileA(path_.c_str()); }
    const std::string& path() const { return path_; }
    bool ok() const { return ok_; }

  private:
    std::string path_;
    bool ok_ = false;
};

// Bytes in use in every heap of the process, block by block.
SIZE_T heapBytesInUse() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    SIZE_T total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i])) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                total += entry.cbData;
            }
        }
        HeapUnlock(heaps[i]);
    }
    return total;
}

// The process's committed private memory; Wine leaves PrivateUsage at 0 and reports
// the same figure as the page file usage.
SIZE_T privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

struct Cycle {
    const char* name;
    bool withFailedLoad; // a load that fails after a good one must free both
};

class LoadCycleMemory : public testing::TestWithParam<Cycle> {};

TEST_P(LoadCycleMemory, ThousandCyclesGiveTheMemoryBack) {
    const TempLog good("paiview_cycle_good.txt", scoreLog(kCopies));
    const TempLog bad("paiview_cycle_bad.txt", scoreLog(kCopies) + std::string(300, 'x') + "\r\n");
    ASSERT_TRUE(good.ok() && bad.ok());
    GameLibrary lib;

    auto cycle = [&]() -> bool {
        lib.filePath = good.path();
        if (!lib.load() || lib.recordCount() != 2 * kCopies) {
            return false;
        }
        if (GetParam().withFailedLoad) {
            lib.filePath = bad.path();
            if (lib.load() || lib.recordCount() != 0) {
                return false;
            }
        }
        lib.clear();
        return lib.recordCount() == 0;
    };
    for (int i = 0; i < 20; ++i) { // let the heaps settle at their working size
        ASSERT_TRUE(cycle());
    }
    const SIZE_T heapBefore = heapBytesInUse();
    const SIZE_T privateBefore = privateBytes();

    // The measure must see the library: a load shows up as at least its records' size.
    lib.filePath = good.path();
    ASSERT_TRUE(lib.load());
    EXPECT_GE(heapBytesInUse(), heapBefore + 2 * kCopies * sizeof(GameRecord));
    lib.clear();

    for (int i = 0; i < 1000; ++i) {
        if (!cycle()) {
            FAIL() << "cycle " << i;
        }
    }
    const SIZE_T heapAfter = heapBytesInUse();
    const SIZE_T privateAfter = privateBytes();
    std::printf("memory: %s heap in use %lu -> %lu bytes, private %lu -> %lu bytes\n",
                GetParam().name, static_cast<unsigned long>(heapBefore),
                static_cast<unsigned long>(heapAfter), static_cast<unsigned long>(privateBefore),
                static_cast<unsigned long>(privateAfter));

    // One record kept per cycle would be over 1 MB; allow only incidental noise.
    EXPECT_LE(heapAfter, heapBefore + 16 * 1024);
    EXPECT_LE(privateAfter, privateBefore + 1024 * 1024);
}

std::string cycleName(const testing::TestParamInfo<Cycle>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rows, LoadCycleMemory,
                         testing::Values(Cycle{"LoadClear", false},
                                         Cycle{"LoadFailedLoadClear", true}),
                         cycleName);

} // namespace
