// Loads that run out of memory: each allocation in turn fails once, nothing leaks.
//
// This file replaces the global operator new for the whole test program. It only ever
// fails while a test has armed it; otherwise it is malloc, so other tests see no change.
#include "model/GameLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "tests/unit/TempFile.h"
#include "tests/unit/WorkedExample.h"
#include "samples/generator/ScoreLogGenerator.h"

namespace {

long allocationsUntilFailure = -1; // -1: never fail
long failuresSeen = 0;
long liveAllocations = 0;

void* allocate(std::size_t size) {
    if (allocationsUntilFailure >= 0 && allocationsUntilFailure-- == 0) {
        ++failuresSeen;
        throw std::bad_alloc();
    }
    void* block = std::malloc(size ? size : 1);
    if (!block) {
        throw std::bad_alloc();
    }
    ++liveAllocations;
    return block;
}

void release(void* block) noexcept {
    if (block) {
        --liveAllocations;
        std::free(block);
    }
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept {
    release(block);
}
void operator delete[](void* block) noexcept {
    release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    release(block);
}

namespace {

// Fails the allocation after `count` successful ones, once, for the life of the guard.
class FailAfter {
  public:
    explicit FailAfter(long count) : failuresBefore(failuresSeen) {
        allocationsUntilFailure = count;
    }
    ~FailAfter() { allocationsUntilFailure = -1; }
    bool fired() const { return failuresSeen != failuresBefore; }

  private:
    long failuresBefore;
};

std::string smallLog() {
    GeneratorOptions options;
    options.seed = 11;
    options.halfGames = 4;
    options.averageHands = 3;
    return generateScoreLog(options);
}

// Runs load with each allocation in turn failing, until a load needs no more than
// it was allowed; checks after each failure that the library is empty and usable.
template <typename Load>
void failEachAllocation(Load load, int recordsAdded, const std::string& path = "") {
    long step = 0;
    for (; step < 10000; ++step) {
        const long liveBefore = liveAllocations;
        {
            GameLibrary library;
            const std::string before = workedExample("\r\n");
            ASSERT_TRUE(library.loadFromMemory(before.data(), before.size()));
            library.filePath = path;
            bool loaded;
            bool fired;
            {
                FailAfter guard(step);
                loaded = load(library);
                fired = guard.fired();
            }
            if (!fired) {
                EXPECT_TRUE(loaded);
                EXPECT_EQ(library.recordCount(), 2 + recordsAdded);
                break;
            }
            EXPECT_FALSE(loaded) << "allocation " << step;
            EXPECT_EQ(library.recordCount(), 0) << "allocation " << step;
            // Still whole afterwards: a load works again.
            const std::string again = workedExample("\n");
            EXPECT_TRUE(library.loadFromMemory(again.data(), again.size()));
            EXPECT_EQ(library.recordCount(), 2);
        }
        ASSERT_EQ(liveAllocations, liveBefore) << "leak after failing allocation " << step;
    }
    // Records, hands, the index (and the file reader's buffer) each got their turn.
    EXPECT_GT(step, recordsAdded);
    EXPECT_LT(step, 10000);
}

TEST(OutOfMemory, LoadFromMemory) {
    const std::string log = smallLog();
    failEachAllocation(
        [&](GameLibrary& library) { return library.loadFromMemory(log.data(), log.size()); }, 4);
}

TEST(OutOfMemory, LoadFromFile) {
    const std::string log = smallLog();
    TempFile file(log);
    failEachAllocation([](GameLibrary& library) { return library.load(); }, 4, file.path());
}

TEST(OutOfMemory, DisarmedAllocatorChangesNothing) {
    const long before = liveAllocations;
    {
        GameLibrary library;
        const std::string log = smallLog();
        ASSERT_TRUE(library.loadFromMemory(log.data(), log.size()));
        EXPECT_EQ(library.recordCount(), 4);
        EXPECT_GT(liveAllocations, before);
    }
    EXPECT_EQ(liveAllocations, before);
}

} // namespace
