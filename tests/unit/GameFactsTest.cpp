// The facts of sample half-games field by field, absent pieces, how hands ended, the yaku
// line's values, running points, record lines, table widths.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "analysis/GameFacts.h"
#include "tests/unit/InlineScoreLog.h"
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
        names.push_back(std::string(c.name) + (c.change > 0 ? " +" : " ") +
                        std::to_string(c.change));
    }
    return names;
}

using Names = std::vector<std::string>;

// The facts' texts (views into the record) as strings, to compare with a table's.
Names texts(const std::vector<std::string_view>& views) {
    return Names(views.begin(), views.end());
}

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
        EXPECT_EQ(h.wind, std::optional<std::string_view>(c.wind));
        EXPECT_EQ(h.round, c.round);
        EXPECT_EQ(h.honba, c.honba);
        EXPECT_EQ(h.riichiSticks, c.riichi);
        EXPECT_TRUE(h.resultParsed);
        EXPECT_EQ(h.draw, c.draw);
        EXPECT_EQ(namesOf(h.changes), c.changes);
        EXPECT_EQ(texts(h.winners), c.winners);
        EXPECT_EQ(texts(h.payers), c.payers);
        EXPECT_EQ(texts(h.yakuTokens), c.tokens);
    }
}

using Seats = std::vector<int>;
using K = HandKind;
constexpr std::nullopt_t no = std::nullopt;

// Each change's role in one letter, in the order of ChangeRole: Win, Deal-in, Tsumo
// payment, draw Payment, draw Receipt, Other.
std::string rolesOf(const HandFacts& hand) {
    std::string roles;
    for (const PointChange& c : hand.changes) {
        roles += "WDTPRO"[static_cast<int>(c.role)];
    }
    return roles;
}

// How a hand ended: the facts that need the half-game's seats and size.
struct EndingCase {
    int hand;
    std::optional<int> dealer;
    std::optional<HandKind> kind;
    const char* roles;
    std::optional<Seats> tenpai;
    std::optional<bool> riichi;
};

void expectEndings(const GameFacts& game, const std::vector<EndingCase>& cases) {
    for (const EndingCase& c : cases) {
        SCOPED_TRACE("game " + std::to_string(game.number) + " hand " + std::to_string(c.hand));
        const HandFacts& h = game.hands.at(static_cast<std::size_t>(c.hand - 1));
        EXPECT_EQ(h.dealer, c.dealer);
        EXPECT_EQ(h.kind, c.kind);
        EXPECT_EQ(rolesOf(h), c.roles);
        EXPECT_EQ(h.tenpai, c.tenpai);
        EXPECT_EQ(h.winnerRiichi, c.riichi);
    }
}

TEST_F(SampleFacts, HowHandsEnded) {
    expectEndings(game(2), {
                               {1, 1, K::Ron, "WD", no, false},
                               // A repeat (1本場) keeps the dealer; "立直 立直" is a riichi.
                               {2, 1, K::Ron, "DW", no, true},
                               {3, 2, K::Draw, "", Seats{1, 2, 3}, no},
                               {4, 2, K::Tsumo, "TTW", no, true}, // both others paid
                               {6, 3, K::Draw, "PPR", Seats{3}, no},
                           });
    // Two players: the title names the dealer, and a win is neither ron nor tsumo.
    expectEndings(game(3), {{1, 1, K::Win, "WO", no, true}});
    // Four players: a tsumo, and a draw without payments where everyone was tenpai.
    expectEndings(game(4), {{3, 2, K::Tsumo, "WTTT", no, true}});
    expectEndings(game(16), {{10, 3, K::Draw, "", Seats{1, 2, 3, 4}, no}});
}

TEST(GameFacts, HowHandsEnded) {
    const std::string log = inlineScoreLog({
        {"T",
         "[1]甲 R1500 [2]乙 R1600 [3]丙 R1700 [4]丁 R1800",
         {
             {"東1局", "甲 -8000 乙 +8000", "満貫 ダブル立直 ドラ2"},
             {"東2局", "甲 -2000 乙 +4000 丙 -1000 丁 -1000", "30符 2飜 門前清自摸和 平和"},
             {"東3局", "甲 -12000 乙 +8000 丙 +4000", "満貫 立直"}, // double ron
             // One winner, two payers of three others (a player left): no ron, no tsumo.
             {"東4局", "甲 -2000 乙 +4000 丙 -2000", "30符 2飜 断幺九"},
             {"南1局", "甲 -4000 乙 -4000 丙 +4000 丁 +4000", "罰符"}, // penalty-like
             {"南2局", "甲 -1000", ""},
             {"南3局", "甲 +1000 乙 1000", "30符 1飜 立直"}, // no sign: does not read
             {"南4局", "甲 +1500 乙 -1500 丙 +1500 丁 -1500", "流局 聴牌:甲,丙"},
             {"西1局", "流局 0", "流局 聴牌:なし"},
             {"西2局", "流局 0", "流局 聴牌:丙,甲"},
             {"北1局", "流局 0", "流局"},
             {"北2局", "流局 0", "流局 聴牌:甲,戊"},   // 戊 has no seat
             {"東5局", "甲 +1500 乙", "流局 聴牌:甲"}, // a draw, its payments unread
         },
         {}},
        {"T2",
         "[1]甲 R1500 [2]乙 R1600",
         {
             {"東1局", "甲 +2000 乙 -2000", "30符 2飜 立直"},
             {"東2局", "甲 -1500 乙 +1500", "流局 聴牌:乙"},
             {"南3局", "甲 -2000 乙 +2000", "40符 1飜 役牌 中"},
         },
         {}},
    });
    const LoadedLog logs = loadLog({log});
    ASSERT_TRUE(logs.ok);
    expectEndings(gameFacts(logs.record(0), 1),
                  {
                      {1, 1, K::Ron, "DW", no, true},
                      {2, 2, K::Tsumo, "TWTT", no, false},
                      {3, 3, K::Ron, "DWW", no, no},
                      {4, 4, K::Other, "OWO", no, false},
                      {5, 1, K::Other, "OOWW", no, no},
                      {6, 2, K::Other, "O", no, no},
                      {7, 3, no, "", no, no},
                      {8, 4, K::Draw, "RPRP", Seats{1, 3}, no},
                      {9, 1, K::Draw, "", Seats{}, no},
                      {10, 2, K::Draw, "", Seats{1, 3}, no}, // seat order, not the written one
                      {11, 1, K::Draw, "", no, no},
                      {12, 2, K::Draw, "", no, no},
                      {13, 1, K::Draw, "", Seats{1}, no}, // the fifth round wraps to seat 1
                  });
    expectEndings(gameFacts(logs.record(1), 2), {
                                                    {1, 1, K::Win, "WO", no, true},
                                                    {2, 2, K::Draw, "PR", Seats{2}, no},
                                                    {3, 1, K::Win, "OW", no, false},
                                                });
}

// The dealer as the first hand's title gives it: a named seat, or the round's.
TEST(GameFacts, DealerFromTheTitle) {
    const struct {
        const char *players, *handLine;
        std::optional<int> dealer, firstSeat;
    } cases[] = {
        {"[1]甲 [2]乙 [3]丙 [4]丁", "東1局 (親:丙) 丙 +1000 甲 -1000", 3, 3},
        {"[1]甲 [2]乙 [3]丙 [4]丁", "東1局 (親:戊) 丙 +1000 甲 -1000", no, 3},
        {"[1]甲 [2]乙 [3]丙", "南4局 0本場(リーチ0) 戊 +1000 甲 -1000", 1, no},
        {"[1]甲 [2]乙 [3]丙 [4]丁", "北4局 0本場(リーチ0) 流局 0", 4, no},
        {"[1]甲 [2]乙 [3]丙 [4]丁", "東0局 0本場(リーチ0) 流局 0", no, no},
        {"[1]甲 [2]乙 [3]丙 [4]丁", "白1局 0本場(リーチ0) 流局 0", no, no},
        {"[1]甲 [2]乙 [3]丙 [4]丁", "特別戦 0本場(リーチ0) 流局 0", no, no},
        // A name held by two seats is no one's seat.
        {"[1]甲 [2]甲 [3]丙 [4]丁", "東1局 (親:甲) 甲 +1000 丙 -1000", no, no},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.handLine);
        const std::string log = std::string("===== T 開始 2003/01/01 21:00\n  ") + c.players +
                                "\n  " + c.handLine +
                                "\n    流局\n   ユーザ切断により途中終了\n"
                                "----- T 終了 2003/01/01 21:45\n\n";
        const LoadedLog logs = loadLog({log});
        ASSERT_TRUE(logs.ok);
        const HandFacts h = gameFacts(logs.record(0), 1).hands.at(0);
        EXPECT_EQ(h.dealer, c.dealer);
        EXPECT_EQ(h.changes.empty() ? std::nullopt : h.changes[0].seat, c.firstSeat);
    }
}

// What the yaku line says of a hand's value, apart from its yaku.
TEST(GameFacts, YakuLineValues) {
    const struct {
        const char* yaku;
        std::optional<int> fu, han;
        const char* limit; // "" for no
        Names names;
        std::vector<int> dora; // dora, ura, aka
    } cases[] = {
        {"30符 4飜 立直 立直 平和 ドラ2 裏1 赤1", 30, 4, "", {"立直", "平和"}, {2, 1, 1}},
        {"40符 3翻 役牌 白", 40, 3, "", {"役牌 白"}, {0, 0, 0}},
        {"ダブル役満 国士無双", no, no, "ダブル役満", {"国士無双"}, {0, 0, 0}},
        {"数え役満 立直 ドラ9 ドラ4", no, no, "数え役満", {"立直"}, {13, 0, 0}},
        {"三倍満 跳満", no, no, "三倍満", {}, {0, 0, 0}}, // the first limit
        // Too many digits: a value word whose count does not read, and no dora.
        {"99999符 1飜 ドラ1234 役牌 ドラ3", no, 1, "", {"ドラ1234", "役牌 ドラ3"}, {0, 0, 0}},
        {"流局 聴牌:甲", no, no, "", {}, {0, 0, 0}},
    };
    InlineGame game{"T", "[1]甲 R1500 [2]乙 R1600", {}, {}};
    for (const auto& c : cases) {
        game.hands.push_back({"東1局", "甲 +1000 乙 -1000", c.yaku});
    }
    const LoadedLog logs = loadLog({inlineScoreLog({game})});
    ASSERT_TRUE(logs.ok);
    const GameFacts g = gameFacts(logs.record(0), 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.yaku);
        const HandFacts& h = g.hands.at(i);
        EXPECT_EQ(h.fu, c.fu);
        EXPECT_EQ(h.han, c.han);
        EXPECT_EQ(h.limit.value_or(""), c.limit);
        EXPECT_EQ(texts(h.yakuNames), c.names);
        EXPECT_EQ((std::vector<int>{h.dora, h.ura, h.aka}), c.dora);
    }
}

using Points = std::vector<long long>;

TEST_F(SampleFacts, RunningPoints) {
    const struct {
        int game;
        std::optional<long long> start;
        Points first, last;
        std::vector<bool> bust;
    } cases[] = {
        {1, no, {}, {}, {false, false, false, false}}, // aborted
        {2, 35000, {47000, 23000, 35000}, {14800, 29400, 60800}, {false, false, false}},
        {6,
         25000,
         {19000, 22000, 22000, 37000},
         {39700, 33400, 52100, -21200},
         {false, false, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("game " + std::to_string(c.game));
        const GameFacts g = game(c.game);
        EXPECT_EQ(g.startPoints, c.start);
        EXPECT_EQ(g.hands.front().pointsAfter, c.first);
        EXPECT_EQ(g.hands.back().pointsAfter, c.last);
        std::vector<bool> bust;
        for (const SeatFacts& seat : g.seats) {
            bust.push_back(seat.bust);
        }
        EXPECT_EQ(bust, c.bust);
    }
}

// Running points need every placing and result to read and to agree on one start.
TEST(GameFacts, RunningPoints) {
    const struct {
        const char *result, *first, *second; // two players' hand and placing lines
        std::optional<long long> start;
        Points last; // after the last hand
        bool secondBust = false;
    } cases[] = {
        {"甲 +2000 乙 -2000", "1位 甲 +2.0 (27000)", "2位 乙 -2.0 (23000)", 25000, {27000, 23000}},
        // Below 0 is bust; 0 is not.
        {"甲 +26000 乙 -26000",
         "1位 甲 +1 (51000)",
         "2位 乙 -1 (-1000)",
         25000,
         {51000, -1000},
         true},
        {"甲 +25000 乙 -25000", "1位 甲 +1 (50000)", "2位 乙 -1 (0)", 25000, {50000, 0}},
        // Placings that disagree, without points, of no seated player; a result unread.
        {"甲 +2000 乙 -2000", "1位 甲 +2.0 (27000)", "2位 乙 -2.0 (24000)", no, {}},
        {"甲 +2000 乙 -2000", "1位 甲 +2.0 (27000)", "2位 乙 -2.0", no, {}},
        {"甲 +2000 乙 -2000", "1位 甲 +2.0 (27000)", "2位 丙 -2.0 (23000)", no, {}},
        {"甲 +2000 乙 2000", "1位 甲 +2.0 (27000)", "2位 乙 -2.0 (23000)", no, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        // A draw without payments leaves the points as they were.
        const InlineGame game{"T",
                              "[1]甲 R1 [2]乙 R2",
                              {{"東1局", c.result, "立直"}, {"東2局", "流局 0", "流局"}},
                              {c.first, c.second}};
        const LoadedLog logs = loadLog({inlineScoreLog({game})});
        ASSERT_TRUE(logs.ok);
        const GameFacts g = gameFacts(logs.record(0), 1);
        EXPECT_EQ(g.startPoints, c.start);
        EXPECT_EQ(g.hands.back().pointsAfter, c.last);
        EXPECT_FALSE(g.seats.at(0).bust);
        EXPECT_EQ(g.seats.at(1).bust, c.secondBust);
        // Read without the hands, the half-game's own facts are the same.
        const GameFacts alone = gameFacts(logs.record(0), 1, false);
        EXPECT_EQ(alone.startPoints, c.start);
        EXPECT_EQ(alone.seats.at(1).bust, c.secondBust);
    }
}

// Seat marks out of order, repeated, missing or past the table's size: the facts hold the
// seats the loaded line gives, by their own numbers, and start points only with all of them.
TEST(GameFacts, SeatMarks) {
    using Three = std::vector<std::string>;
    const Three three = {"1位 ねこまる +40.8 (40200)", "2位 ほたる -10.6 (35000)",
                         "3位 たぬき -45.2 (29800)"};
    const Three four = {"1位 ハコ下 +40.8 (30200)", "2位 表裏一体 +0.0 (25000)",
                        "3位 スズメ -10.6 (25000)", "4位 さくら -45.2 (19800)"};
    const char* const threeResult = "たぬき -5200 ねこまる +5200";
    const char* const fourResult = "さくら -5200 ハコ下 +5200";
    const struct {
        const char* what;
        const char* players;
        const char* result;
        Three placings;
        Names seats; // "n name" for each seat read, in seat order
        std::optional<long long> start;
        int unread; // marks that give no seat
        Seats changeSeats;
    } cases[] = {
        {"in order",
         "[1]ねこまる R1318 [2]ほたる R1759 [3]たぬき R1880",
         threeResult,
         three,
         {"1 ねこまる", "2 ほたる", "3 たぬき"},
         35000,
         0,
         {3, 1}},
        // The loader keeps the line from its first [1]: the [2] before it is dropped.
        {"[2] before [1]",
         "  [2]ほたる R1759 [1]ねこまる R1318 [3]たぬき R1880",
         threeResult,
         three,
         {"1 ねこまる", "3 たぬき"},
         no,
         1,
         {3, 1}},
        {"out of order after [1]",
         "[1]ねこまる R1318 [3]たぬき R1880 [2]ほたる R1759",
         threeResult,
         three,
         {"1 ねこまる", "2 ほたる", "3 たぬき"},
         35000,
         0,
         {3, 1}},
        {"[1] twice: the first is read",
         "[1]ねこまる R1318 [2]ほたる R1759 [1]x R1 [3]たぬき R1880",
         threeResult,
         three,
         {"1 ねこまる", "2 ほたる", "3 たぬき"},
         35000,
         1,
         {3, 1}},
        {"[4] without [3]: two players",
         "[1]ねこまる R1318 [2]ほたる R1759 [4]たぬき R1880",
         "ほたる -5200 ねこまる +5200",
         {"1位 ねこまる +5.2 (40200)", "2位 ほたる -5.2 (29800)"},
         {"1 ねこまる", "2 ほたる"},
         35000,
         1,
         {2, 1}},
        {"[3] before [1] of four",
         "[3]ハコ下 R1353 [1]さくら R1459 [2]スズメ R1930 [4]表裏一体 R1468",
         fourResult,
         four,
         {"1 さくら", "2 スズメ", "4 表裏一体"},
         no,
         1,
         {1}},
        {"[4][2] and [4] before [1]",
         "  [4][2]スズメ R1930 [4]表裏一体 R1468[1]さくら R1459 [3]ハコ下 R1353",
         fourResult,
         four,
         {"1 さくら", "3 ハコ下"},
         no,
         3,
         {1, 3}},
        {"[5] before [1]",
         "[5]ごにん R1 [1]ねこまる R1318 [2]ほたる R1759 [3]たぬき R1880",
         threeResult,
         three,
         {"1 ねこまる", "2 ほたる", "3 たぬき"},
         35000,
         1,
         {3, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const InlineGame game{"T", c.players, {{"東1局", c.result, "20符 4飜 立直"}}, c.placings};
        const LoadedLog logs = loadLog({inlineScoreLog({game})});
        ASSERT_TRUE(logs.ok);
        for (const bool withHands : {true, false}) {
            const GameFacts g = gameFacts(logs.record(0), 1, withHands);
            Names seats;
            for (const SeatFacts& seat : g.seats) {
                seats.push_back(std::to_string(seat.seat) + " " + std::string(seat.name));
            }
            EXPECT_EQ(seats, c.seats);
            EXPECT_EQ(g.startPoints, c.start);
            if (withHands) {
                ASSERT_EQ(g.hands.size(), 1u);
                Seats changeSeats;
                for (const PointChange& change : g.hands[0].changes) {
                    if (change.seat) {
                        changeSeats.push_back(*change.seat);
                    }
                }
                EXPECT_EQ(changeSeats, c.changeSeats);
                EXPECT_EQ(g.hands[0].pointsAfter.size(), c.start ? c.placings.size() : 0u);
            }
        }
        EXPECT_EQ(unreadSeatMarks(c.players, logs.record(0).playerCount), c.unread);
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

// A name of several words, and words the line ends without, read as the rules say.
TEST(GameFacts, NamesOfSeveralWords) {
    const std::string log = "===== 東風荘 第9卓 開始 2003/06/06 08:24 =====\n"
                            "  [1]a b c d R1500 [2]e f [3]g h i R- [4]j\n"
                            "  東1局 0本場(リーチ0) j +1000 a b c d -1000\n"
                            "    30符 1飜 立直\n"
                            "  ---- 試合結果 ----\n"
                            "  1位 a b c d +40.8 (60800)\n"
                            "  2位 e f 1.0 (30000)\n"
                            "  3位 g h i -1.0\n"
                            "  4位 j k l m n\n"
                            "----- 東風荘 第9卓 終了 2003/06/06 08:29 -----\n";
    const LoadedLog logs = loadLog({log});
    ASSERT_TRUE(logs.ok);
    const GameFacts g = gameFacts(logs.record(0), 1);
    ASSERT_EQ(g.seats.size(), 4u);
    ASSERT_EQ(g.placings.size(), 4u);
    const struct {
        const char* seat;
        std::optional<int> rating;
        const char* placing;
        std::optional<long long> tenths, points;
    } cases[] = {{"a b c d", 1500, "a b c d", 408, 60800},
                 {"e f", std::nullopt, "e f", std::nullopt, 30000}, // "1.0" has no sign
                 {"g h i", std::nullopt, "g h i", -10, std::nullopt},
                 {"j", std::nullopt, "j k l m n", std::nullopt, std::nullopt}};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g.seats[i].name, cases[i].seat);
        EXPECT_EQ(g.seats[i].rating, cases[i].rating);
        EXPECT_EQ(g.placings[i].name, cases[i].placing);
        EXPECT_EQ(g.placings[i].scoreTenths, cases[i].tenths);
        EXPECT_EQ(g.placings[i].points, cases[i].points);
    }
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
