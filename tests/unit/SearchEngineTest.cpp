// The search over loaded records: direction, both ends, fields, raw byte matching.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "tests/unit/InlineScoreLog.h"
#include "model/GameLibrary.h"
#include "search/SearchOptions.h"

namespace {

// Five half-games: 0 and 2 to 4 have hands, 1 ended early without any, 3 ended
// early after one hand. Table names differ in case and width on purpose.
std::string searchLog() {
    return inlineScoreLog({
        {"Alpha東南",
         "[1]Aoi 1500 [2]Ben 1400 [3]Cat 1300 [4]Dan 1200",
         {{"東1局", "Aoi 8000 Ben -8000", "30符 2飜 リーチ ツモ"},
          {"東2局", "Cat 1000 Dan -1000", "タンヤオ"}},
         {"1位 Aoi +30", "2位 Ben +10", "3位 Cat -10", "4位 Dan -30"},
         "2003/01/01 21:00",
         "2003/01/01 21:45"},
        {"表",
         "[1]Eve 1500 [2]Fay 1400 [3]Gus 1300",
         {},
         {},
         "2003/01/02 20:00",
         "2003/01/02 20:05"},
        {"ALPHA",
         "[1]Aoi 1500 [2]Hal 1400",
         {{"東1局", "Aoi 2000 Hal -2000", "リーチ ドラ1"},
          {"東2局", "Hal 3900 Aoi -3900", "リーチ 一発"},
          {"東3局", "Aoi 1000 Hal -1000", "ピンフ"}},
         {"1位 Aoi +20", "2位 Hal -20"},
         "2003/01/03 19:00",
         "2003/01/03 19:40"},
        {"ＡＬＰＨＡ",
         "[1]Ivy 1500 [2]Jon 1400 [3]Kim 1300 [4]Leo 1200",
         {{"南1局", "Ivy 8000 Jon -8000", "リーチ"}},
         {},
         "2003/01/04 18:00",
         "2003/01/04 18:20"},
        {"alpha",
         "[1]Mia 1500 [2]Ned 1400 [3]Oto 1300",
         {{"東1局", "Mia 1000 Ned -1000", "タンヤオ"}},
         {"1位 Mia", "2位 Ned", "3位 Oto"},
         "2003/01/05 18:00",
         "2003/01/05 18:30"},
    });
}

SearchOptions request(const char* text, std::int32_t target, std::int32_t startIndex,
                      std::int32_t step) {
    SearchOptions options;
    std::memset(&options, 0x5A, sizeof options); // bytes after the text's NUL are not read
    std::strcpy(options.searchText, text);
    options.target = target;
    options.startIndex = startIndex;
    options.step = step;
    return options;
}

class SearchEngineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        library = std::make_unique<GameLibrary>();
        const std::string log = searchLog();
        loaded = library->loadFromMemory(log.data(), log.size());
    }
    static void TearDownTestSuite() { library.reset(); }

    void SetUp() override {
        ASSERT_TRUE(loaded);
        ASSERT_EQ(library->recordCount(), 5);
    }

    static std::unique_ptr<GameLibrary> library;
    static bool loaded;
};

std::unique_ptr<GameLibrary> SearchEngineTest::library;
bool SearchEngineTest::loaded = false;

struct SearchCase {
    const char* what;
    const char* text;
    std::int32_t target;
    std::int32_t startIndex;
    std::int32_t step;
    int expected;
};

void expectSearches(const GameLibrary& library, const SearchCase* cases, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const SearchCase& c = cases[i];
        SCOPED_TRACE(c.what);
        const SearchOptions options = request(c.text, c.target, c.startIndex, c.step);
        SearchOptions before;
        std::memcpy(&before, &options, sizeof options);
        EXPECT_EQ(library.search(options), c.expected);
        EXPECT_EQ(std::memcmp(&before, &options, sizeof options), 0) << "request changed";
    }
}

TEST_F(SearchEngineTest, StepsOneRecordAtATimeAndStopsAtEitherEnd) {
    const SearchCase cases[] = {
        {"empty text moves one line down", "", 1, 0, 1, 1},
        {"empty text moves one line up", "", 1, 2, -1, 1},
        {"down from the last line finds nothing", "", 1, 4, 1, -1},
        {"up from the first line finds nothing", "", 1, 0, -1, -1},
        {"no selection, down: the first record is examined", "", 1, -1, 1, 0},
        {"no selection, up: no record is examined", "", 1, -1, -1, -1},
        {"no selection, up, text in the first record", "Alpha", 1, -1, -1, -1},
        {"down never wraps round to the top", "Alpha", 1, 1, 1, -1},
        {"up never wraps round to the bottom", "alpha", 1, 3, -1, -1},
        {"up from one past the end examines the last record", "", 1, 5, -1, 4},
        {"up from further past the end examines nothing", "", 1, 6, -1, -1},
    };
    expectSearches(*library, cases, std::size(cases));
}

TEST_F(SearchEngineTest, StartRecordIsNeverExamined) {
    const SearchCase cases[] = {
        {"text only in the start record, down", "ピンフ", 6, 2, 1, -1},
        {"text only in the start record, up", "ピンフ", 6, 2, -1, -1},
        {"same text from the record above", "ピンフ", 6, 1, 1, 2},
        {"same text from the record below", "ピンフ", 6, 3, -1, 2},
        {"record field only in the start record", "[2]Fay", 2, 1, 1, -1},
    };
    expectSearches(*library, cases, std::size(cases));
}

TEST_F(SearchEngineTest, EachTargetLooksInItsOwnField) {
    const SearchCase cases[] = {
        {"1 table name", "表", 1, -1, 1, 1},
        {"1 table name, a player is no table", "Aoi", 1, -1, 1, -1},
        {"2 player line", "[2]Hal", 2, -1, 1, 2},
        {"2 player line, a table name is no player", "ALPHA", 2, -1, 1, -1},
        {"3 start time", "2003/01/05", 3, -1, 1, 4},
        {"3 start time, an end time is no start", "20:05", 3, -1, 1, -1},
        {"4 end time", "20:05", 4, -1, 1, 1},
        {"5 hand name", "東3局", 5, -1, 1, 2},
        {"5 hand name holds the title up to its )", "本場(リーチ0)", 5, -1, 1, 0},
        {"5 hand name, a yaku is no hand name", "タンヤオ", 5, -1, 1, -1},
        {"6 yaku", "タンヤオ", 6, 0, 1, 4},
        {"7 result", "Hal 3900", 7, -1, 1, 2},
        {"7 result, a placing is no result", "+30", 7, -1, 1, -1},
        {"8 first place", "1位 Mia", 8, -1, 1, 4},
        {"8 first place of an early end", "途中終了", 8, -1, 1, 1},
        {"8 the next early end", "途中終了", 8, 1, 1, 3},
        {"9 second place", "Hal", 9, -1, 1, 2},
        {"10 third place", "Oto", 10, -1, 1, 4},
        {"11 fourth place", "Dan", 11, 0, -1, -1},
        {"11 fourth place from below", "Dan", 11, 3, -1, 0},
        {"11 empty text matches an empty field", "", 11, 0, 1, 1},
        {"text longer than the field", "Alpha東南 and more", 1, -1, 1, -1},
    };
    expectSearches(*library, cases, std::size(cases));
}

TEST_F(SearchEngineTest, HandTargetsMatchRecordsThroughAnyHand) {
    const SearchCase cases[] = {
        {"empty text skips a record without hands, down", "", 5, 0, 1, 2},
        {"empty text skips a record without hands, up", "", 7, 2, -1, 0},
        {"a record matching in several hands is found once", "リーチ", 6, 1, 1, 2},
        {"and the next search moves past it", "リーチ", 6, 2, 1, 3},
        {"an early end with a hand is searched", "Ivy", 7, 2, 1, 3},
        {"players of a record without hands are no hand text", "Eve", 7, -1, 1, -1},
        {"the last hand of a record counts", "ピンフ", 6, -1, 1, 2},
        {"the second hand of a record counts", "Cat 1000", 7, -1, 1, 0},
    };
    expectSearches(*library, cases, std::size(cases));
}

TEST_F(SearchEngineTest, ComparesRawBytes) {
    const SearchCase cases[] = {
        {"lower case does not find capitals", "alpha", 1, -1, 1, 4},
        {"capitals do not find lower case", "ALPHA", 1, -1, 1, 2},
        {"mixed case finds only itself", "Alpha", 1, 0, 1, -1},
        {"half-width does not find full-width", "LPH", 1, 2, 1, -1},
        {"full-width finds only full-width", "ＬＰＨ", 1, -1, 1, 3},
        {"full-width does not find half-width", "ＡＬＰＨＡ", 1, 3, 1, -1},
        {"double-byte match from a second byte (東南 holds 兼)", "兼", 1, -1, 1, 0},
        {"single byte 0x5C is the second byte of 表", "\\", 1, -1, 1, 1},
    };
    expectSearches(*library, cases, std::size(cases));
}

TEST_F(SearchEngineTest, TargetOutsideOneToElevenExaminesNothing) {
    const std::int32_t targets[] = {0, -1, 12, 13, INT_MIN, INT_MAX};
    for (std::int32_t target : targets) {
        SCOPED_TRACE(target);
        for (std::int32_t step : {1, -1}) {
            EXPECT_EQ(library->search(request("", target, 2, step)), -1);
        }
    }
}

TEST_F(SearchEngineTest, RepeatedSearchesVisitEveryMatchInOrder) {
    struct Walk {
        const char* text;
        std::int32_t target;
        std::int32_t from;
        std::int32_t step;
        std::vector<int> hits;
    };
    const Walk walks[] = {
        {"Aoi", 2, -1, 1, {0, 2}},       {"Aoi", 2, 5, -1, {2, 0}},
        {"リーチ", 6, -1, 1, {0, 2, 3}}, {"", 5, -1, 1, {0, 2, 3, 4}},
        {"途中終了", 8, 5, -1, {3, 1}},
    };
    for (const Walk& walk : walks) {
        SCOPED_TRACE(walk.text);
        std::vector<int> hits;
        std::int32_t start = walk.from;
        for (int guard = 0; guard < 10; ++guard) {
            const int found = library->search(request(walk.text, walk.target, start, walk.step));
            if (found < 0) {
                break;
            }
            hits.push_back(found);
            start = found;
        }
        EXPECT_EQ(hits, walk.hits);
    }
}

TEST(SearchEngineEmptyLibraryTest, FindsNothingAnywhere) {
    GameLibrary library;
    for (std::int32_t target = 1; target <= 11; ++target) {
        for (std::int32_t start : {-1, 0, 1}) {
            for (std::int32_t step : {1, -1}) {
                SCOPED_TRACE(testing::Message() << target << " " << start << " " << step);
                EXPECT_EQ(library.search(request("", target, start, step)), -1);
            }
        }
    }
}

TEST(SearchEngineClearedLibraryTest, FindsNothingAfterClear) {
    GameLibrary library;
    const std::string log = searchLog();
    ASSERT_TRUE(library.loadFromMemory(log.data(), log.size()));
    ASSERT_EQ(library.search(request("", 1, -1, 1)), 0);
    library.clear();
    EXPECT_EQ(library.search(request("", 1, -1, 1)), -1);
}

} // namespace
