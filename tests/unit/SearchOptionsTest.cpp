// The search request block: its defaults, its stored layout and the mending of its text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "search/SearchOptions.h"

namespace {

constexpr unsigned char kFill = 0xA5;

SearchOptions filledBlock(unsigned char byte) {
    SearchOptions options;
    std::memset(&options, byte, sizeof options);
    return options;
}

TEST(SearchDefaultsTest, SetsFourThingsAndLeavesTheRestOfTheText) {
    for (unsigned char byte : {static_cast<unsigned char>(0), kFill}) {
        SCOPED_TRACE(static_cast<int>(byte));
        SearchOptions options = filledBlock(byte);
        setSearchDefaults(options);
        EXPECT_EQ(options.startIndex, 0);
        EXPECT_EQ(options.searchText[0], '\0');
        EXPECT_EQ(options.target, static_cast<std::int32_t>(SearchTarget::TableName));
        EXPECT_EQ(options.step, 1);
        for (int i = 1; i < kSearchTextSize; ++i) {
            ASSERT_EQ(static_cast<unsigned char>(options.searchText[i]), byte) << i;
        }
    }
}

TEST(SearchOptionsLayoutTest, StoredBytesMapToTheFields) {
    unsigned char stored[sizeof(SearchOptions)] = {};
    const unsigned char startIndex[] = {0xFF, 0xFF, 0xFF, 0xFF};
    const unsigned char target[] = {0x07, 0x00, 0x00, 0x00};
    const unsigned char step[] = {0xFF, 0xFF, 0xFF, 0xFF};
    std::memcpy(stored, startIndex, 4);
    std::memcpy(stored + 4, "abc", 4);
    std::memcpy(stored + 204, target, 4);
    std::memcpy(stored + 208, step, 4);
    SearchOptions options;
    std::memcpy(&options, stored, sizeof options);
    EXPECT_EQ(options.startIndex, -1);
    EXPECT_STREQ(options.searchText, "abc");
    EXPECT_EQ(options.target, static_cast<std::int32_t>(SearchTarget::HandResult));
    EXPECT_EQ(options.step, -1);
}

TEST(TerminateSearchTextTest, EndsTheTextWithinItsField) {
    struct Case {
        const char* what;
        int nulAt; // -1: no NUL in the text at all
        std::string expected;
    };
    const std::string full(kSearchTextSize - 1, 'x');
    const Case cases[] = {
        {"empty text", 0, ""},
        {"short text", 5, "xxxxx"},
        {"text of 199 bytes", kSearchTextSize - 1, full},
        {"no NUL: the last byte becomes one", -1, full},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SearchOptions options = filledBlock('x');
        options.startIndex = 3;
        options.target = 6;
        options.step = -1;
        if (c.nulAt >= 0) {
            options.searchText[c.nulAt] = '\0';
        }
        SearchOptions before;
        std::memcpy(&before, &options, sizeof options);
        terminateSearchText(options);
        EXPECT_EQ(std::string(options.searchText), c.expected);
        EXPECT_EQ(options.startIndex, 3);
        EXPECT_EQ(options.target, 6);
        EXPECT_EQ(options.step, -1);
        // Only the last text byte may change, and only when no NUL was there.
        const int changed = std::memcmp(options.searchText, before.searchText, kSearchTextSize - 1);
        EXPECT_EQ(changed, 0);
        EXPECT_EQ(options.searchText[kSearchTextSize - 1],
                  c.nulAt < 0 ? '\0' : before.searchText[kSearchTextSize - 1]);
    }
}

} // namespace
