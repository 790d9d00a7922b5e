// The facts of sample half-games field by field, absent pieces, record lines, table widths.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "analysis/GameFacts.h"
#include "tests/unit/LoadedLog.h"
#include "text/TextTable.h"

namespace {

std::string sampleBytes() {
    std::ifstream in(PAIVIEW_SOURCE_DIR "/samples/tonpuso.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SampleFacts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        logs_ = new LoadedLog(loadLog({sampleBytes()}));
        ASSERT_TRUE(logs_->ok);
    }
    static void TearDownTestSuite() {
        delete logs_;
        logs_ = nullptr;
    }
    static GameFacts game(int number) {
        return gameFacts(logs_->record(static_cast<std::size_t>(number - 1)), number);
    }
    static LoadedLog* logs_;
};
LoadedLog* SampleFacts::logs_ = nullptr;

std::vector<std::string> namesOf(const std::vector<PointChange>& changes) {
    std::vector<std::string> names;
    for (const PointChange& c : changes) {
        names.push_back(c.name + (c.change > 0 ? " +" : " ") + std::to_string(c.change));
    }
    return names;
}

using Names = std::vector<std::string>;

TEST_F(SampleFacts, GamesFieldByField) {
    const GameFacts g = game(2);
    EXPECT_EQ(g.number, 2);
    EXPECT_EQ(g.start, "2003-06-06 08:32");
    EXPECT_EQ(g.end, "2003-06-06 09:45");
    EXPECT_EQ(g.table, "三麻 2番卓");
    EXPECT_EQ(g.playerCount, 3);
    EXPECT_FALSE(g.aborted);
    ASSERT_EQ(g.seats.size(), 3u);
    EXPECT_EQ(g.seats[0].name, "リャンメン");
    EXPECT_EQ(g.seats[0].rating, 1391);
    EXPECT_EQ(g.seats[2].seat, 3);
    EXPECT_EQ(g.seats[2].name, "ねこまる");
    EXPECT_EQ(g.seats[2].rating, 1665);
    ASSERT_EQ(g.placings.size(), 3u);
    EXPECT_EQ(g.placings[0].place, 1);
    EXPECT_EQ(g.placings[0].name, "ねこまる");
    EXPECT_EQ(g.placings[0].scoreTenths, 408);
    EXPECT_EQ(g.placings[0].points, 60800);
    EXPECT_EQ(g.placings[2].scoreTenths, -452);

    const GameFacts aborted = game(1);
    EXPECT_TRUE(aborted.aborted);
    EXPECT_TRUE(aborted.placings.empty());
    EXPECT_EQ(aborted.seats.size(), 4u);
}

struct HandCase {
    int game, hand;
    const char* wind;
    std::optional<int> round, honba, riichi;
    bool draw;
    Names changes, winners, payers, tokens;
};

TEST_F(SampleFacts, HandsFieldByField) {
    const HandCase cases[] = {
        {2,
         2,
         "東",
         1,
         1,
         0,
         false,
         {"リャンメン -12300", "ねこまる +12300"},
         {"ねこまる"},
         {"リャンメン"},
         {"跳満", "立直", "立直"}},
        // "流局 0": a draw with no payments.
        {2, 3, "東", 2, 0, 0, true, {}, {}, {}, {"流局", "聴牌:リャンメン,ひよこ豆,ねこまる"}},
        // A draw paid for no tenpai: no winner, the payers still named.
        {2,
         6,
         "東",
         3,
         1,
         0,
         true,
         {"リャンメン -1500", "ひよこ豆 -1500", "ねこまる +3000"},
         {},
         {"リャンメン", "ひよこ豆"},
         {"流局", "聴牌:ねこまる"}},
        {2,
         11,
         "南",
         2,
         2,
         0,
         false,
         {"リャンメン +4500", "ねこまる -4500"},
         {"リャンメン"},
         {"ねこまる"},
         {"30符", "3飜", "立直", "小三元", "三暗刻", "場風 東", "ドラ3"}},
        // A title without honba and riichi: those stay absent.
        {3,
         1,
         "東",
         1,
         std::nullopt,
         std::nullopt,
         false,
         {"雀鬼見習い +4000", "黒猫 -4000"},
         {"雀鬼見習い"},
         {"黒猫"},
         {"満貫", "門前清自摸和", "三暗刻", "立直", "役牌 中"}},
    };
    for (const HandCase& c : cases) {
        SCOPED_TRACE("game " + std::to_string(c.game) + " hand " + std::to_string(c.hand));
        const HandFacts h = game(c.game).hands.at(static_cast<std::size_t>(c.hand - 1));
        EXPECT_EQ(h.number, c.hand);
        EXPECT_EQ(h.wind, std::optional<std::string>(c.wind));
        EXPECT_EQ(h.round, c.round);
        EXPECT_EQ(h.honba, c.honba);
        EXPECT_EQ(h.riichiSticks, c.riichi);
        EXPECT_TRUE(h.resultParsed);
        EXPECT_EQ(h.draw, c.draw);
        EXPECT_EQ(namesOf(h.changes), c.changes);
        EXPECT_EQ(h.winners, c.winners);
        EXPECT_EQ(h.payers, c.payers);
        EXPECT_EQ(h.yakuTokens, c.tokens);
    }
}

// Where each piece of half-game 2 stands in the sample file.
TEST_F(SampleFacts, RecordLines) {
    const RecordLines lines = logs_->lines(1);
    EXPECT_EQ(lines.header, 8);
    EXPECT_EQ(lines.players, 9);
    ASSERT_EQ(lines.hands.size(), 13u);
    EXPECT_EQ(lines.hands[0], 10);
    EXPECT_EQ(lines.hands[1], 12); // after a two-line yaku section
    EXPECT_EQ(lines.hands[4], 19);
    EXPECT_EQ(lines.hands[12], 37);
    EXPECT_EQ(lines.sectionEnd, 39);
    EXPECT_EQ(lines.placings[0], 40);
    EXPECT_EQ(lines.placings[2], 42);
    EXPECT_EQ(lines.placings[3], 0);
    EXPECT_EQ(lines.footer, 43);
    const RecordLines aborted = logs_->lines(0);
    EXPECT_EQ(aborted.hands, std::vector<long>{3});
    EXPECT_EQ(aborted.sectionEnd, 5);
    EXPECT_EQ(aborted.footer, 6);
}

// Pieces that do not read stay absent, with the raw text beside them.
TEST(GameFacts, AbsentPiecesKeepTheirRawText) {
    const std::string log = "===== 東風荘 第9卓 開始 2003/06/06 8:24 =====\n"
                            "  [1]甲 R- [2]乙 R99999999999 [3]丙 R1500 [4]丁 [5]戊 R1700\n"
                            "  東1局 0本場(リーチ0) 甲 +1000 乙 1000\n"
                            "    30符 1飜 立直\n"
                            "  ---- 試合結果 ----\n"
                            "  1位 甲 40.8 (60800)\n"
                            "  2位 乙 +1.0 (30000)\n"
                            "  3位 丙 -1.0 (10000)\n"
                            "  4位 丁 -40.8 (-1000)\n"
                            "----- 東風荘 第9卓 終了 2003/06/06 08:29 -----\n";
    const LoadedLog logs = loadLog({log});
    ASSERT_TRUE(logs.ok);
    const GameFacts g = gameFacts(logs.record(0), 1);
    EXPECT_FALSE(g.start);
    EXPECT_EQ(g.startRaw, "2003/06/06 8:24 ");
    ASSERT_EQ(g.seats.size(), 4u);
    const struct {
        const char *name, *raw;
        std::optional<int> rating;
    } seats[] = {{"甲", "甲 R-", std::nullopt},
                 {"乙", "乙 R99999999999", std::nullopt},
                 {"丙", "丙 R1500", 1500},
                 {"丁", "丁", std::nullopt}}; // the fifth seat is not read into the fourth
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g.seats[i].name, seats[i].name);
        EXPECT_EQ(g.seats[i].raw, seats[i].raw);
        EXPECT_EQ(g.seats[i].rating, seats[i].rating);
    }
    EXPECT_FALSE(g.placings[0].scoreTenths);
    EXPECT_EQ(g.placings[0].name, "甲");
    EXPECT_EQ(g.placings[0].points, 60800);
    EXPECT_EQ(g.placings[0].raw, "1位 甲 40.8 (60800)");
    EXPECT_EQ(g.placings[3].points, -1000);
    const HandFacts& h = g.hands.at(0);
    EXPECT_FALSE(h.resultParsed); // "乙 1000" has no sign
    EXPECT_TRUE(h.changes.empty());
    EXPECT_EQ(h.result, "甲 +1000 乙 1000");
}

TEST(TextTable, AlignsByDisplayWidth) {
    const struct {
        std::vector<std::vector<std::string>> rows;
        std::vector<Align> align;
        const char* expected;
    } cases[] = {
        {{{"ab", "x"}, {"漢字", "y"}}, {}, "ab    x\n漢字  y\n"},
        {{{"1", "ｶﾅ", "z"}, {"12", "かな", ""}}, {Align::Right}, " 1  ｶﾅ    z\n12  かな\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(alignedTable(c.rows, c.align), c.expected);
    }
    EXPECT_EQ(displayWidth("東1局"), 5u);
}

} // namespace
