// The user's search request: one 212-byte block, stored byte for byte as ForSearch.
#pragma once

#include <cstddef>
#include <cstdint>

// The searchable fields; the numbers are stored, so they never change.
enum class SearchTarget : std::int32_t {
    TableName = 1,
    PlayerLine = 2,
    StartTime = 3,
    EndTime = 4,
    HandName = 5,
    HandYaku = 6,
    HandResult = 7,
    Placing1 = 8,
    Placing2 = 9,
    Placing3 = 10,
    Placing4 = 11,
};

constexpr int kSearchTextSize = 200;

struct SearchOptions {
    std::int32_t startIndex; // the scan starts next to this position; -1 for none
    char searchText[kSearchTextSize];
    std::int32_t target; // a SearchTarget number, or anything read from settings
    std::int32_t step;   // +1 downwards, -1 upwards
};

static_assert(sizeof(SearchOptions) == 212, "ForSearch is stored as 212 bytes");
static_assert(offsetof(SearchOptions, startIndex) == 0, "ForSearch layout");
static_assert(offsetof(SearchOptions, searchText) == 4, "ForSearch layout");
static_assert(offsetof(SearchOptions, target) == 204, "ForSearch layout");
static_assert(offsetof(SearchOptions, step) == 208, "ForSearch layout");

// The request when no stored one can be read: start 0, empty text, table name, down.
// Only the first byte of the text is touched.
void setSearchDefaults(SearchOptions& options);

// A stored request is used as read, except that its text always ends within the
// field: a block without a NUL in its text gets one in the last byte.
void terminateSearchText(SearchOptions& options);
