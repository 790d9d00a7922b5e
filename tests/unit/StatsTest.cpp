// Statistics: each counting rule's corner in a table of small logs, the owner, and
// generated logs whose figures must all be finite.
#include "analysis/Stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <list>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/Figures.h"
#include "analysis/GameFilter.h"
#include "analysis/GameSelection.h"
#include "analysis/NameIndex.h"
#include "model/GameLibrary.h"
#include "samples/generator/ScoreLogGenerator.h"
#include "tests/unit/InlineScoreLog.h"

namespace {

const char* const kFour = "[1]P R1500 [2]A R1600 [3]B R1700 [4]C R1800";
const char* const kThree = "[1]P R1500 [2]A R1600 [3]B R1700";
const char* const kTwo = "[1]P R1500 [2]A R1600";
const std::vector<std::string> kPlacedFour = {"1位 A +30.0 (50000)", "2位 P +10.5 (30500)",
                                              "3位 B -10.0 (20000)", "4位 C -30.5 (-500)"};

std::vector<GameFacts> factsOf(const std::vector<InlineGame>& games) {
    const std::string log = inlineScoreLog(games);
    // The facts view their records: the libraries stay for the whole test run.
    static std::list<GameLibrary> libraries;
    GameLibrary& library = libraries.emplace_back();
    EXPECT_TRUE(library.loadFromMemory(log.data(), log.size())) << log;
    std::vector<GameFacts> facts;
    for (int i = 0; i < library.recordCount(); ++i) {
        facts.push_back(gameFacts(*library.record(i), i + 1));
    }
    return facts;
}

// A half-game needs a hand to load: a plain draw.
const std::vector<InlineHand> kDraw = {{"東1局", "流局 0", "流局"}};

InlineGame game(const char* players, std::vector<InlineHand> hands,
                std::vector<std::string> placings = {}) {
    InlineGame g;
    g.table = "T";
    g.players = players;
    g.hands = std::move(hands);
    g.placings = std::move(placings);
    return g;
}

// -1 for a count or rate the row does not check; rates in percent, -2 for absent.
struct Expect {
    int games, completed, aborted, unplaced, hands, wins, tsumo, dealIns, draws;
    double winRate, tsumoRate, dealInRate, averagePlace;
    int largestWin; // 0 for absent
};

constexpr double kAbsent = -2;

void expectRate(const std::optional<double>& rate, double percent, const char* what) {
    if (percent == kAbsent) {
        EXPECT_FALSE(rate) << what;
    } else if (percent >= 0) {
        ASSERT_TRUE(rate) << what;
        EXPECT_NEAR(*rate * 100, percent, 1e-9) << what;
    }
}

struct Case {
    const char* corner;
    std::vector<InlineGame> games;
    const char* player;
    Expect expect;
};

TEST(StatsTest, HandAndHalfGameCorners) {
    const Case cases[] = {
        {"aborted: no place, its hands count",
         {game(kFour, {{"東1局", "A +8000 P -8000", "満貫 立直"}})},
         "P",
         {1, 0, 1, 0, 1, 0, 0, 1, 0, 0, kAbsent, 100, kAbsent, 0}},
        {"draw with tenpai payments: the lone payer did not deal in",
         {game(kFour, {{"東1局", "A +1000 B +1000 C +1000 P -3000", "流局 聴牌:A,B,C"}},
               kPlacedFour)},
         "P",
         {1, 1, 0, 0, 1, 0, 0, 0, 1, 0, kAbsent, 0, 2, 0}},
        {"draw with tenpai payments: the payee did not win",
         {game(kFour, {{"東1局", "A -1000 B -1000 C -1000 P +3000", "流局 聴牌:P"}}, kPlacedFour)},
         "P",
         {1, 1, 0, 0, 1, 0, 0, 0, 1, 0, kAbsent, 0, 2, 0}},
        {"tsumo at four: every other player paid",
         {game(kFour, {{"東1局", "A -2000 B -1000 C -1000 P +4000", "30符 3飜 門前清自摸和"}},
               kPlacedFour)},
         "P",
         {1, 1, 0, 0, 1, 1, 1, 0, 0, 100, 100, 0, 2, 4000}},
        {"ron at four: one payer",
         {game(kFour, {{"東1局", "A -8000 P +8000", "満貫 立直"}, {"東2局", "流局 0", "流局"}},
               kPlacedFour)},
         "P",
         {1, 1, 0, 0, 2, 1, 0, 0, 1, 50, 0, 0, 2, 8000}},
        {"tsumo at three",
         {game(kThree, {{"東1局", "A -2000 B -1000 P +3000", "30符 3飜 門前清自摸和"}},
               {"1位 P +20.0 (45000)", "2位 A -5.0 (30000)", "3位 B -15.0 (25000)"})},
         "P",
         {1, 1, 0, 0, 1, 1, 1, 0, 0, 100, 100, 0, 1, 3000}},
        {"deal-in at three: the payer alone",
         {game(kThree, {{"東1局", "A +3900 P -3900", "30符 3飜 立直"}},
               {"1位 A +20.0 (45000)", "2位 B -5.0 (30000)", "3位 P -15.0 (25000)"})},
         "P",
         {1, 1, 0, 0, 1, 0, 0, 1, 0, 0, kAbsent, 100, 3, 0}},
        {"double ron: one deal-in for the payer",
         {game(kFour, {{"東1局", "P -12000 A +8000 B +4000", "満貫 立直"}}, kPlacedFour)},
         "P",
         {1, 1, 0, 0, 1, 0, 0, 1, 0, 0, kAbsent, 100, 2, 0}},
        {"double ron: a ron win for each winner",
         {game(kFour, {{"東1局", "P -12000 A +8000 B +4000", "満貫 立直"}}, kPlacedFour)},
         "B",
         {1, 1, 0, 0, 1, 1, 0, 0, 0, 100, 0, 0, 3, 4000}},
        {"two players: no tsumo, no deal-in",
         {game(kTwo,
               {{"東1局", "A -4000 P +4000", "満貫 門前清自摸和"},
                {"東2局", "A +2000 P -2000", "30符 2飜 立直"}},
               {"1位 P +20.0 (45000)", "2位 A -20.0 (15000)"})},
         "P",
         {1, 1, 0, 0, 2, 1, 0, 0, 0, 50, kAbsent, kAbsent, 1, 4000}},
        {"riichi stick and honba: the change as written",
         {game(kFour, {{"東1局", "A -8300 P +9300", "満貫 立直"}}, kPlacedFour)},
         "P",
         {1, 1, 0, 0, 1, 1, 0, 0, 0, 100, 0, 0, 2, 9300}},
        {"a player who left: seated, completed, no placing",
         {game(kFour, {{"東1局", "A +8000 B -8000", "満貫"}},
               {"1位 A +30.0 (50000)", "2位 B +10.5 (30500)", "3位 C -10.0 (20000)",
                "4位 Q -30.5 (-500)"})},
         "P",
         {1, 1, 0, 1, 1, 0, 0, 0, 0, 0, kAbsent, 0, kAbsent, 0}},
        {"a tsumo while one player was gone is a win, not a tsumo",
         {game(kFour, {{"東1局", "A +3000 B -1500 C -1500", "30符 2飜 門前清自摸和"}},
               kPlacedFour)},
         "A",
         {1, 1, 0, 0, 1, 1, 0, 0, 0, 100, 0, 0, 1, 3000}},
        {"a result line that does not read: played, nothing else",
         {game(kFour, {{"東1局", "A +3000 B", "30符 2飜"}}, kPlacedFour)},
         "B",
         {1, 1, 0, 0, 1, 0, 0, 0, 0, 0, kAbsent, 0, 3, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.corner);
        const PlayerStats stats = computeStats(factsOf(c.games), c.player);
        ASSERT_EQ(stats.bySize.size(), 1u);
        const TableSizeStats& s = stats.bySize.front();
        const Expect& e = c.expect;
        EXPECT_EQ(s.games, e.games);
        EXPECT_EQ(s.completed, e.completed);
        EXPECT_EQ(s.aborted, e.aborted);
        EXPECT_EQ(s.unplaced, e.unplaced);
        EXPECT_EQ(s.hands, e.hands);
        EXPECT_EQ(s.wins, e.wins);
        EXPECT_EQ(s.tsumoWins, e.tsumo);
        EXPECT_EQ(s.dealIns, e.dealIns);
        EXPECT_EQ(s.draws, e.draws);
        expectRate(s.winRate, e.winRate, "win rate");
        expectRate(s.tsumoRate, e.tsumoRate, "tsumo rate");
        expectRate(s.dealInRate, e.dealInRate, "deal-in rate");
        if (e.averagePlace == kAbsent) {
            EXPECT_FALSE(s.averagePlace);
            EXPECT_FALSE(s.averageScore);
            EXPECT_FALSE(s.topTwoRate);
            for (const auto& rate : s.placeRates) {
                EXPECT_FALSE(rate);
            }
        } else if (e.averagePlace > 0) {
            EXPECT_EQ(s.averagePlace, e.averagePlace);
        }
        EXPECT_EQ(s.largestWin.value_or(0), e.largestWin);
        EXPECT_EQ(s.averageWin.has_value(), e.largestWin != 0);
    }
}

TEST(StatsTest, PlacesScoresAndRatings) {
    const std::vector<GameFacts> games = factsOf({
        game("[1]P R1880 [2]A R1600 [3]B R1700 [4]C R1800", kDraw, kPlacedFour),
        game("[1]P R1777 [2]A R1600 [3]B R1700 [4]C R1800", kDraw,
             {"1位 A +30.0 (50000)", "2位 B +10.5 (30500)", "3位 C -10.0 (20000)",
              "4位 P -71.2 (-21200)"}),
        game("[1]P R1371 [2]A R1600 [3]B R1700 [4]C R1800", kDraw),
        game("[1]P R- [2]A R1600 [3]B R1700 [4]C R1800", kDraw),
    });
    const PlayerStats stats = computeStats(games, "P");
    ASSERT_EQ(stats.bySize.size(), 1u);
    const TableSizeStats& s = stats.bySize.front();
    EXPECT_EQ(s.placeCounts, (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(s.averagePlace, 3.0);
    EXPECT_EQ(s.topTwoRate, 0.5);
    EXPECT_EQ(s.lastAvoidanceRate, 0.5);
    EXPECT_EQ(s.totalScoreTenths, 105 - 712);
    EXPECT_NEAR(*s.averageScore, -30.35, 1e-9);
    EXPECT_EQ(s.firstRating->rating, 1880);
    EXPECT_EQ(s.firstRating->date, "2003-01-01 21:00");
    EXPECT_EQ(s.lastRating->rating, 1371);
    EXPECT_EQ(s.lastRating->game, 3);
    EXPECT_EQ(s.highestRating->game, 1);
    EXPECT_EQ(s.lowestRating->rating, 1371);
    EXPECT_EQ(stats.ratings.size(), 3u); // R- has none

    ASSERT_FALSE(stats.opponents.empty());
    const HeadToHead& a = stats.opponents.front();
    EXPECT_EQ(a.opponent, "A");
    EXPECT_EQ(a.games, 2);
    EXPECT_EQ(a.above, 0);
    EXPECT_NEAR(*a.scoreDifference, ((10.5 - 30.0) + (-71.2 - 30.0)) / 2, 1e-9);
    EXPECT_EQ(stats.opponents[1].above, 1); // B: below P once, above once
}

TEST(StatsTest, YakuCountsWordsOncePerHandAndSumsDora) {
    const std::vector<GameFacts> games = factsOf(
        {game(kFour,
              {{"東1局", "A -8000 P +8000", "30符 4飜 満貫 立直 立直 役牌 白 ドラ2 裏1 赤1"},
               {"東2局", "A -3000 P +3000", "40符 1飜 立直 場風 東 ドラ1"},
               {"東3局", "P -12000 A +8000 B +4000", "満貫 清一色 ドラ5"}, // not P's
               {"東4局", "A -1000 B +1000", "30符 1飜 断幺九"}},           // not P's
              kPlacedFour)});
    const PlayerStats stats = computeStats(games, "P");
    EXPECT_EQ(stats.yakuHands, 2);
    ASSERT_EQ(stats.yaku.size(), 3u);
    EXPECT_EQ(stats.yaku[0].yaku, "立直");
    EXPECT_EQ(stats.yaku[0].hands, 2);
    EXPECT_EQ(stats.yaku[1].yaku, "役牌 白");
    EXPECT_EQ(stats.yaku[2].yaku, "場風 東");
    EXPECT_EQ(stats.dora, 3);
    EXPECT_EQ(stats.uraDora, 1);
    EXPECT_EQ(stats.akaDora, 1);
    // A double ron's yaku line is nobody's.
    EXPECT_EQ(computeStats(games, "A").yakuHands, 0);
}

TEST(StatsTest, OwnerIsInEveryGameElseInTheMost) {
    const InlineGame pa = game("[1]P R1 [2]A R1", kDraw, {"1位 P +1.0 (1)", "2位 A -1.0 (1)"});
    const InlineGame pb = game("[1]B R1 [2]P R1", kDraw, {"1位 P +1.0 (1)", "2位 B -1.0 (1)"});
    const InlineGame ab = game("[1]A R1 [2]B R1", kDraw, {"1位 A +1.0 (1)", "2位 B -1.0 (1)"});
    const struct {
        std::vector<InlineGame> games;
        const char* owner;
        bool every;
        int count;
    } cases[] = {
        {{pa, pb}, "P", true, 2},
        {{pa, pb, ab}, "P", false, 2}, // A, B and P are each in two: P is met first
        {{ab, pa, pb}, "A", false, 2},
        {{pb, ab, ab}, "B", true, 3},
    };
    for (const auto& c : cases) {
        const auto owner = guessOwner(factsOf(c.games));
        ASSERT_TRUE(owner);
        EXPECT_EQ(owner->name, c.owner);
        EXPECT_EQ(owner->inEveryGame, c.every);
        EXPECT_EQ(owner->games, c.count);
    }
    EXPECT_FALSE(guessOwner({}));
    const PlayerStats none = computeStats({}, "P");
    EXPECT_TRUE(none.bySize.empty());
}

void expectFinite(const std::optional<double>& value, double low, double high) {
    if (value) {
        EXPECT_TRUE(std::isfinite(*value));
        EXPECT_GE(*value, low);
        EXPECT_LE(*value, high);
    }
}

void expectSane(const PlayerStats& stats) {
    for (const TableSizeStats& s : stats.bySize) {
        for (const auto& rate : s.placeRates) {
            expectFinite(rate, 0, 1);
        }
        for (const auto& rate : {s.topTwoRate, s.lastAvoidanceRate, s.winRate, s.tsumoRate,
                                 s.dealInRate, s.drawRate}) {
            expectFinite(rate, 0, 1);
        }
        expectFinite(s.averagePlace, 1, s.players);
        expectFinite(s.averageScore, -1e7, 1e7);
        // Every figure of the catalogue, the strength ones too: finite where present.
        for (const Figure& f : sizeFigures()) {
            if (f.value) {
                expectFinite(f.value(s), -1e9, 1e9);
            }
            if (f.interval) {
                if (const std::optional<Interval> in = f.interval(s)) {
                    expectFinite(in->low, -1e9, 1e9);
                    expectFinite(in->high, in->low, 1e9);
                }
            }
        }
        expectFinite(s.averageWin, 0, 1e9);
        EXPECT_EQ(s.completed + s.aborted, s.games);
        EXPECT_LE(s.wins + s.draws, s.hands);
    }
    for (const HeadToHead& h : stats.opponents) {
        expectFinite(h.aboveRate, 0, 1);
        expectFinite(h.scoreDifference, -1e7, 1e7);
    }
}

TEST(StatsTest, GeneratedLogsGiveFiniteFigures) {
    const struct { int games, abortedPercent; } cases[] = {{3000, 12}, {200, 100}};
    for (const auto& c : cases) {
        GeneratorOptions options;
        options.halfGames = c.games;
        options.abortedPercent = c.abortedPercent;
        // The figures tallied in the one pass agree with those of the games held at once.
        GameSelection selection({generateScoreLog(options)}, {});
        StatsCollector collector;
        std::list<HeldGame> kept;
        std::vector<GameFacts> games;
        ASSERT_TRUE(selection.run(FactsNeeded::Hands, [&](const SelectedGame& game) {
            collector.add(game.facts);
            games.push_back(kept.emplace_back(*game.record, game.facts).facts());
        }));
        const std::vector<PlayerStats> all = collector.all(1);
        const std::vector<PlayerStats> held = computeAllStats(games, 1);
        ASSERT_EQ(all.size(), held.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            ASSERT_EQ(all[i].bySize.size(), held[i].bySize.size());
            for (std::size_t j = 0; j < all[i].bySize.size(); ++j) {
                const TableSizeStats &a = all[i].bySize[j], &b = held[i].bySize[j];
                EXPECT_EQ(std::tie(a.hands, a.wins, a.tsumoWins, a.dealIns, a.draws, a.largestWin),
                          std::tie(b.hands, b.wins, b.tsumoWins, b.dealIns, b.draws, b.largestWin));
            }
            EXPECT_EQ(all[i].yakuHands, held[i].yakuHands);
        }
        ASSERT_FALSE(all.empty());
        int most = 0; // one player in many half-games
        for (const TableSizeStats& s : all.front().bySize) {
            most += s.games;
        }
        EXPECT_GT(most, c.games / 8);
        for (const PlayerStats& stats : all) {
            expectSane(stats);
            if (c.abortedPercent == 100) {
                EXPECT_TRUE(stats.opponents.empty());
                for (const TableSizeStats& s : stats.bySize) {
                    EXPECT_FALSE(s.averagePlace);
                    EXPECT_FALSE(s.averageScore);
                }
            }
        }
    }
}

TEST(StatsTest, PeriodsAndIntervals) {
    const struct {
        const char* start;
        PeriodUnit unit;
        const char* period;
    } periods[] = {
        {"2003-12-29 08:00", PeriodUnit::Week, "2004-W01"}, // the Monday of the first Thursday
        {"2003-12-28 23:59", PeriodUnit::Week, "2003-W52"},
        {"2005-01-01 00:00", PeriodUnit::Week, "2004-W53"},
        {"2004-02-29 12:00", PeriodUnit::Day, "2004-02-29"},
        {"2003-06-30 23:50", PeriodUnit::Month, "2003-06"},
        {"2003-06-30 23:50", PeriodUnit::Year, "2003"},
    };
    for (const auto& p : periods) {
        EXPECT_EQ(periodOf(p.start, p.unit), p.period) << p.start;
    }
    EXPECT_FALSE(wilsonInterval(0, 0));
    const Interval none = *wilsonInterval(0, 10), all = *wilsonInterval(10, 10);
    EXPECT_EQ(none.low, 0.0);
    EXPECT_NEAR(none.high, 0.2775, 1e-4);
    EXPECT_EQ(all.high, 1.0);
    EXPECT_FALSE(meanInterval(3, 9, 1, 1, 4));           // one value tells no spread
    const Interval same = *meanInterval(6, 12, 3, 1, 4); // 2, 2, 2
    EXPECT_DOUBLE_EQ(same.low, 2.0);
    EXPECT_DOUBLE_EQ(same.high, 2.0);
    const Interval wide = *meanInterval(5, 17, 2, 1, 4); // 1, 4: 2.5 ± 2.94, within 1-4
    EXPECT_DOUBLE_EQ(wide.low, 1.0);
    EXPECT_DOUBLE_EQ(wide.high, 4.0);
}

// Names that share their first eight bytes, differ only in their length or are empty
// each keep their own id, in the order added, through the table's growth and a copy.
TEST(StatsTest, NameIndexKeepsEachNameItsId) {
    std::vector<std::string> names{"",
                                   "a",
                                   "立直",
                                   "立直一発",
                                   "abcdefgh",
                                   "abcdefghi",
                                   "abcdefghj",
                                   std::string("x\0y", 3),
                                   std::string(300, 'z')};
    for (int i = 0; i < 500; ++i) {
        names.push_back("player" + std::to_string(i));
    }
    NameIndex index;
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(index.place(names[i]), std::make_pair(i, true)) << names[i];
    }
    const NameIndex copy = index;
    index.place("later");
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(index.place(names[i]), std::make_pair(i, false)) << names[i];
        EXPECT_EQ(copy.find(names[i]), i);
        EXPECT_EQ(copy.name(i), names[i]);
    }
    EXPECT_EQ(copy.find("later"), std::nullopt);
    EXPECT_EQ(index.find("x"), std::nullopt);
    EXPECT_EQ(index.size(), names.size() + 1);
}

// How strong: each figure on a small log worked out by hand.
// Two hands at four, all from 25000: after hand 1 P 17000, A 33000, B 25000, C 25000, so
// before the last hand A is 1st, B 2nd and C 3rd (a tie goes to the lower seat), P 4th;
// P's +12000 from C then ends P 2nd and C last.
InlineGame lastHandGame() {
    return game(kFour,
                {{"東1局", "A +8000 P -8000", "満貫 立直 裏1 ドラ1"},
                 {"東2局", "P +12000 C -12000", "跳満 断幺九 ドラ2 赤1"}},
                {"1位 A +23.0 (33000)", "2位 P +9.0 (29000)", "3位 B -15.0 (25000)",
                 "4位 C -37.0 (13000)"});
}

TEST(StatsTest, StrengthOfASmallLog) {
    StrengthOptions everyone;
    everyone.minGames = 1;
    const auto sizeOf = [&](const std::vector<InlineGame>& games, const char* player) {
        const PlayerStats stats = computeStats(factsOf(games), player, everyone);
        EXPECT_EQ(stats.bySize.size(), 1u);
        return stats.bySize.front().strength;
    };
    // The last hand: ties before it, the player's rows and the table's usual rates.
    const StrengthStats p = sizeOf({lastHandGame()}, "P");
    EXPECT_EQ(p.allLast.games, 1);
    EXPECT_EQ(p.allLast.from[3].final, (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(*p.allLast.mine.escapeLastRate, 1.0);
    EXPECT_EQ(*p.allLast.mine.reachTopRate, 0.0);
    EXPECT_FALSE(p.allLast.mine.keepTopRate);
    EXPECT_EQ(p.allLast.usual.keepTopRate, 1.0);    // A, 1 of 1
    EXPECT_EQ(p.allLast.usual.reachTopRate, 0.0);   // P, B and C: 0 of 3
    EXPECT_EQ(p.allLast.usual.escapeLastRate, 1.0); // P, 1 of 1
    EXPECT_EQ(sizeOf({lastHandGame()}, "B").allLast.from[1].final,
              (std::vector<int>{0, 0, 1, 0})); // 2nd before on the tie, 3rd at the end
    EXPECT_EQ(sizeOf({lastHandGame()}, "C").allLast.from[2].final, (std::vector<int>{0, 0, 0, 1}));
    // A half-game of one hand has no hand before the last.
    EXPECT_EQ(sizeOf({game(kFour, {{"東1局", "A +8000 P -8000", "満貫"}},
                           {"1位 A +23.0 (33000)", "2位 B -5.0 (25000)", "3位 C -5.0 (25000)",
                            "4位 P -13.0 (17000)"})},
                     "P")
                  .allLast.games,
              0);

    // Balance: P's -8000 and +12000 over two hands.
    EXPECT_EQ(*p.balance.pointsPerHand, 2000);
    EXPECT_EQ(*p.balance.winValue, 6000);
    EXPECT_EQ(*p.balance.dealInCost, 4000);
    EXPECT_EQ(*p.balance.net, 2000);
    EXPECT_FALSE(p.balance.scoreSd); // one score has no spread
    // Luck: P won once, without riichi; dealt into a riichi.
    EXPECT_FALSE(p.luck.uraRate);
    EXPECT_FALSE(p.luck.uraPerRiichiWin);
    EXPECT_EQ(*p.luck.doraPerWin, 2);
    EXPECT_EQ(*p.luck.akaPerWin, 1);
    EXPECT_EQ(p.luck.toRiichi.count, 1);
    EXPECT_EQ(*p.luck.toRiichi.rate, 1.0);
    EXPECT_EQ(*p.luck.toRiichi.average, 8000);
    EXPECT_EQ(p.luck.toDama.count, 0);
    const StrengthStats a = sizeOf({lastHandGame()}, "A");
    EXPECT_EQ(*a.luck.uraRate, 1.0);
    EXPECT_EQ(*a.luck.uraPerRiichiWin, 1.0);
    EXPECT_EQ(*a.luck.ippatsuRate, 0.0);
    EXPECT_EQ(*sizeOf({lastHandGame()}, "C").luck.toDama.average, 12000);
    // A limit tsumo while P dealt (東1局: seat 1).
    const StrengthStats hit =
        sizeOf({game(kFour,
                     {{"東1局", "A +8000 P -4000 B -2000 C -2000", "満貫 門前清自摸和"},
                      {"東1局", "A +1000 P -500 B -300 C -200", "30符 1飜 門前清自摸和"}},
                     kPlacedFour)},
               "P");
    EXPECT_EQ(hit.luck.dealerHit.hands, 1);
    EXPECT_EQ(*hit.luck.dealerHit.rate, 0.5);
    EXPECT_EQ(*hit.luck.dealerHit.averageLoss, 4000);

    // The population: places A 1, P 2, B 3, C 4; win rates P and A 1/2, B and C 0;
    // deal-in rates P and C 1/2; points per hand A +4000, P +2000, B 0, C -6000.
    EXPECT_EQ(p.population.players, 4);
    EXPECT_DOUBLE_EQ(*p.population.averagePlace, 2.0 / 3);
    EXPECT_DOUBLE_EQ(*p.population.winRate, 2.5 / 3);
    EXPECT_DOUBLE_EQ(*p.population.dealInRate, 0.5 / 3);
    EXPECT_DOUBLE_EQ(*p.population.pointsPerHand, 2.0 / 3);
    EXPECT_EQ(*p.population.medianBalance.pointsPerHand, 1000);
    // With the default 20 half-games nobody is in it.
    const PlayerStats usual = computeStats(factsOf({lastHandGame()}), "P");
    EXPECT_EQ(usual.bySize.front().strength.population.players, 0);
    EXPECT_FALSE(usual.bySize.front().strength.population.averagePlace);
}

TEST(StatsTest, FormComparesTheNewestBlockWithTheOneBefore) {
    const std::vector<std::string> first = {"1位 P +30.0 (50000)", "2位 A +10.5 (30500)",
                                            "3位 B -10.0 (20000)", "4位 C -30.5 (-500)"};
    StrengthOptions blocks;
    blocks.block = 30;
    const struct {
        int before; // half-games of P 2nd, then 30 of P 1st
        bool given;
    } cases[] = {{29, false}, {30, true}, {45, true}};
    for (const auto& c : cases) {
        std::vector<InlineGame> games;
        for (int i = 0; i < c.before + 30; ++i) {
            games.push_back(game(kFour, kDraw, i < c.before ? kPlacedFour : first));
        }
        const Form form = computeStats(factsOf(games), "P", blocks).bySize[0].strength.form;
        EXPECT_EQ(form.newest.games, 30) << c.before;
        EXPECT_EQ(form.previous.games, std::min(c.before, 30)) << c.before;
        EXPECT_EQ(form.averagePlace.has_value(), c.given) << c.before;
        if (c.given) {
            EXPECT_EQ(*form.averagePlace, -1);
            EXPECT_EQ(form.averagePlaceInterval->low, -1); // no spread in either block
            EXPECT_EQ(*form.winRate, 0);
            EXPECT_LT(form.winRateInterval->low, 0); // 0 of 30 against 0 of 30
            EXPECT_GT(form.winRateInterval->high, 0);
            EXPECT_EQ(form.changed, (std::vector<std::string>{"average_place"}));
        }
    }
    // Welch by hand: places 1, 2, 1, 2... against 3, 4, 3, 4..., 30 each: the means differ
    // by -2, each variance is 7.5 / 29, se = 0.131306, df = 58, t = 2.00172.
    const std::optional<Interval> welch = welchInterval(30, 45, 75, 30, 105, 375);
    ASSERT_TRUE(welch);
    EXPECT_NEAR(welch->low, -2.262838, 1e-4);
    EXPECT_NEAR(welch->high, -1.737162, 1e-4);
    // Newcombe's hybrid score by hand from the two Wilson intervals of 10/20 and 5/20:
    // [0.299298, 0.700702] and [0.111862, 0.468701].
    const std::optional<Interval> newcombe = newcombeInterval(10, 20, 5, 20);
    ASSERT_TRUE(newcombe);
    EXPECT_NEAR(newcombe->low, 0.25 - std::hypot(0.5 - 0.299298, 0.468701 - 0.25), 1e-5);
    EXPECT_NEAR(newcombe->high, 0.25 + std::hypot(0.700702 - 0.5, 0.25 - 0.111862), 1e-5);
}

TEST(StatsTest, StableRatingFromARuleLearntOffTheLog) {
    // By hand: a = (30, 10, -10, -30), b = 1/4, places 2, 1, 1, 0 of 4 and T̄ = 1600:
    // Σ p a = (60 + 10 - 10) / 4 = 15, R* = 1600 + 15 ÷ 0.25 = 1660.
    RatingRule rule;
    rule.a = {30, 10, -10, -30};
    rule.b = 0.25;
    rule.learnt = true;
    EXPECT_DOUBLE_EQ(*settledRating(rule, {2, 1, 1, 0}, 1600), 1660);
    rule.learnt = false;
    EXPECT_FALSE(settledRating(rule, {2, 1, 1, 0}, 1600));

    GeneratedRatingRule generated;
    generated.a = {std::vector<int>{30, 10, -10, -30}, std::vector<int>{30, 0, -30},
                   std::vector<int>{20, -20}};
    generated.divisor = 4;
    const struct {
        int games;
        bool learnt;
    } cases[] = {{400, true}, {20, false}};
    for (const auto& c : cases) {
        GeneratorOptions options;
        options.halfGames = c.games;
        options.seed = 7;
        options.ratingRule = &generated;
        GameSelection selection({generateScoreLog(options)}, {});
        StatsCollector collector;
        ASSERT_TRUE(selection.run(FactsNeeded::Hands,
                                  [&](const SelectedGame& game) { collector.add(game.facts); }));
        const PlayerStats kuma = collector.stats("Kuma");
        for (const TableSizeStats& s : kuma.bySize) {
            const StableRating& stable = s.strength.stableRating;
            EXPECT_EQ(stable.rule.learnt, c.learnt) << s.players;
            if (!c.learnt) {
                EXPECT_FALSE(stable.value);
                continue;
            }
            const auto& a = generated.a[static_cast<std::size_t>(4 - s.players)];
            EXPECT_EQ(stable.rule.a, std::vector<double>(a.begin(), a.end())) << s.players;
            EXPECT_EQ(*stable.rule.b, 0.25);
            EXPECT_EQ(*stable.rule.rSquared, 1.0);
            EXPECT_EQ(*stable.rule.residualSd, 0.0);
            ASSERT_TRUE(stable.value && stable.interval);
            EXPECT_LT(stable.interval->low, *stable.value);
            EXPECT_GT(stable.interval->high, *stable.value);
            // The same on a second run: the bootstrap's seed is fixed.
            const PlayerStats again = collector.stats("Kuma");
            for (const TableSizeStats& t : again.bySize) {
                if (t.players == s.players) {
                    EXPECT_EQ(t.strength.stableRating.interval->low, stable.interval->low);
                    EXPECT_EQ(t.strength.stableRating.interval->high, stable.interval->high);
                }
            }
            // Another player is read by the owner's rule.
            for (const PlayerStats& other : collector.all(100)) {
                for (const TableSizeStats& t : other.bySize) {
                    if (t.players == s.players) {
                        EXPECT_EQ(t.strength.stableRating.rule.a, stable.rule.a);
                    }
                }
            }
        }
    }
}

} // namespace
