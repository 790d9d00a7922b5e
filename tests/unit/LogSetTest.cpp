// The command's reading of imperfect logs, the merged order, the dates its filters take,
// the loose matching of names, and the newest half-games kept for a report.
#include <gtest/gtest.h>

#include <cstdio>
#include <list>

#include <algorithm>
#include <random>

#include "analysis/GameFilter.h"
#include "analysis/NewestGames.h"
#include "analysis/Stats.h"
#include "samples/generator/ScoreLogGenerator.h"
#include "tests/unit/LoadedLog.h"
#include "tests/unit/WorkedExample.h"
#include "text/Nearest.h"

namespace {

using Lines = std::vector<std::string>;

// The worked example (half-games at lines 1-14 and 15-21) changed by a test.
Lines example(const std::function<void(Lines&)>& edit) {
    Lines lines = workedExampleLines();
    edit(lines);
    return lines;
}

struct ReadCase {
    const char* what;
    Lines lines;
    LogSetOptions options;
    bool read;
    std::size_t kept;
    std::vector<long> problemLines; // the line each problem names, in the files' order
    std::vector<LogWarning::Kind> warnings;
};

TEST(LogSetTest, ImperfectLogs) {
    using K = LogWarning::Kind;
    const LogSetOptions salvage{true, false}, strict{false, true};
    const ReadCase cases[] = {
        {"as written", workedExampleLines(), {}, true, 2, {}, {}},
        {"blank lines before, between and after",
         example([](Lines& l) {
             l.insert(l.begin() + 14, {"", " \t"});
             l.insert(l.begin(), "");
             l.insert(l.end(), {"", ""});
         }),
         {},
         true,
         2,
         {},
         {}},
        {"no separator line",
         example([](Lines& l) { l.erase(l.begin() + 13); }),
         {},
         true,
         2,
         {},
         {}},
        // Failing, the pass still reads on, to name every problem; it visits no more.
        {"a stray line between",
         example([](Lines& l) { l.insert(l.begin() + 14, "junk"); }),
         {},
         false,
         2,
         {15},
         {}},
        {"the stray line skipped",
         example([](Lines& l) { l.insert(l.begin() + 14, "junk"); }),
         salvage,
         true,
         2,
         {15},
         {}},
        {"stray lines before the first",
         example([](Lines& l) { l.insert(l.begin(), "x"); }),
         salvage,
         true,
         2,
         {1},
         {}},
        {"no footer: the next header ends it",
         example([](Lines& l) { l.erase(l.begin() + 12); }),
         salvage,
         true,
         1,
         {13},
         {}},
        {"unfinished last half-game",
         example([](Lines& l) { l.resize(18); }),
         {},
         true,
         1,
         {},
         {K::Unfinished}},
        {"unfinished, strict", example([](Lines& l) { l.resize(18); }), strict, false, 1, {19}, {}},
        {"an end-of-file byte with bytes after it",
         example([](Lines& l) { l[14] = "\x1A" + l[14]; }),
         {},
         true,
         1,
         {},
         {K::EndOfFileByte}},
        {"a fifth seat",
         example([](Lines& l) { l[1] += " [5]E R1"; }),
         {},
         true,
         2,
         {},
         {K::SeatPastFour}},
        // A seat mark that gives no seat: before [1], repeated, or past the table's size.
        {"a [2] before [1]",
         example([](Lines& l) { l[1] = "  [2]B R2 [1]A R1 [3]C R3 [4]D R4"; }),
         {},
         true,
         2,
         {},
         {K::SeatUnread}},
        {"a [5] before [1] and a [5] after it",
         example([](Lines& l) { l[1] = "[5]E R5 " + l[1] + " [5]F R6"; }),
         {},
         true,
         2,
         {},
         {K::SeatPastFour, K::SeatUnread}},
        {"[1] twice, and [4] without [3]",
         example([](Lines& l) {
             l[1] += " [1]E R5";
             l[15] = "[1]A R1 [2]B R2 [4]C R3";
         }),
         {},
         true,
         2,
         {},
         {K::SeatUnread}},
        {"marks after [1] in any order",
         example([](Lines& l) { l[1] = "[1]A R1 [4]D R4 [3]C R3 [2]B R2"; }),
         {},
         true,
         2,
         {},
         {}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        LogSet logs;
        logs.load({joinLines(c.lines, "\r\n")}, c.options);
        std::size_t visited = 0;
        EXPECT_EQ(logs.read([&](const LoadedGame&) { ++visited; }), c.read);
        EXPECT_EQ(logs.size(), c.kept);
        if (c.read) {
            EXPECT_EQ(visited, c.kept);
        }
        std::vector<long> lines;
        for (const LoadProblem& problem : logs.problems()) {
            lines.push_back(problem.error.line);
        }
        EXPECT_EQ(lines, c.problemLines);
        std::vector<LogWarning::Kind> kinds;
        for (const LogWarning& warning : logs.warnings()) {
            kinds.push_back(warning.kind);
        }
        EXPECT_EQ(kinds, c.warnings);
    }
}

TEST(LogSetTest, MergedOrderLinesAndCopies) {
    // The second file's half-game starts earlier; the third repeats the first file.
    Lines later = workedExampleLines();
    Lines earlier = example([](Lines& l) {
        l.resize(14);
        l[0] = "===== EARLY 開始 2003/01/01 20:00";
    });
    const LoadedLog log =
        loadLog({joinLines(later, "\n"), joinLines(earlier, "\r\n"), joinLines(later, "\r\n")});
    ASSERT_TRUE(log.ok);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_STREQ(log.record(0).tableName, "EARLY");
    EXPECT_EQ(log.origins[0].file, 1u);
    EXPECT_EQ(log.origins[1].file, 0u);
    EXPECT_EQ(log.duplicates, 2u);
    const RecordLines& lines = log.lines(1);
    EXPECT_EQ(lines.header, 1);
    EXPECT_EQ(lines.players, 2);
    EXPECT_EQ(lines.hands, (std::vector<long>{3, 6}));
    EXPECT_EQ(lines.sectionEnd, 8);
    EXPECT_EQ(lines.placings[3], 12);
    EXPECT_EQ(lines.footer, 13);
    EXPECT_EQ(log.origins[1].lastLine, 14);
    EXPECT_EQ(log.lines(2).hands, (std::vector<long>{17}));
    EXPECT_EQ(log.lines(2).placings[0], 0);
}

TEST(GameFilterTest, DateBounds) {
    const struct {
        const char *text, *iso, *problem;
    } cases[] = {
        {"2003-06-06", "2003-06-06", ""},
        {"2003/06/06 08:24", "2003-06-06 08:24", ""},
        {"2004-02-29", "2004-02-29", ""},
        {"2003-02-29", "", "2003-02 has 28 days"},
        {"2003-13-01", "", "there is no month 13"},
        {"2003-06-06 24:00", "", "there is no hour 24"},
        {"2003-06-06 23:60", "", "there is no minute 60"},
        {"2003/06-06", "", "expected YYYY-MM-DD"},
        {"", "", "got nothing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string iso;
        const std::string problem = readDateBound(c.text, iso);
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        EXPECT_EQ(problem.empty(), !*c.problem);
        EXPECT_EQ(iso, c.iso);
    }
    GameFilter range;
    range.since = "2003-06-06";
    range.until = "2003-06-06 08:00";
    EXPECT_EQ(checkRange(range), "");
    range.since = "2003-06-07";
    EXPECT_NE(checkRange(range), "");
}

TEST(NearestTest, LooseNames) {
    const std::vector<std::string> names = {"Kuma", "neko", "ねこまる", "たぬき", "ｶﾅ"};
    std::vector<std::string> loose;
    for (const std::string& name : names) {
        loose.push_back(looseForm(name));
    }
    const struct {
        const char* typed;
        std::vector<std::size_t> nearest;
    } cases[] = {{"kuma", {0}}, {"ＫＵＭＡ", {0}}, {"ｎｅｋｏ", {1}}, {"ねこま", {2}},
                 {"カナ", {4}}, {"nobody", {}},    {"kume", {0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::string wanted = looseForm(c.typed);
        EXPECT_EQ(nearestOf(wanted, loose, 3, looseDistance(wanted)), c.nearest);
    }
}

// The newest half-games kept for the owner are exactly the owner's newest, whichever
// rule decides the owner, without keeping every half-game.
TEST(NewestGamesTest, TheOwnersNewest) {
    for (const bool ownerEverywhere : {true, false}) {
        SCOPED_TRACE(ownerEverywhere);
        GeneratorOptions options;
        options.halfGames = 1500;
        const LoadedLog log = loadLog({generateScoreLog(options)});
        std::list<GameRecord> records;
        std::vector<GameFacts> games;
        for (std::size_t i = 0; i < log.size(); ++i) {
            GameRecord& record = records.emplace_back(log.record(i));
            if (ownerEverywhere) { // the first seat's name becomes OWNER
                const std::string_view line = record.playerLine;
                const std::string_view name = gameFacts(record, 1).seats[0].name;
                const auto at = static_cast<std::size_t>(name.data() - line.data());
                const std::string renamed = std::string(line.substr(0, at)) + "OWNER" +
                                            std::string(line.substr(at + name.size()));
                std::snprintf(record.playerLine, sizeof record.playerLine, "%s", renamed.c_str());
            }
            games.push_back(gameFacts(record, static_cast<int>(i + 1)));
        }
        NewestGames newest(40, {}, games.size());
        StatsCollector collector;
        auto record = records.begin();
        for (std::size_t i = 0; i < games.size(); ++i, ++record) {
            newest.add(*record, games[i]);
            collector.add(games[i]);
        }
        const std::string owner = collector.owner()->name;
        EXPECT_EQ(collector.owner()->inEveryGame, ownerEverywhere);
        std::vector<int> expected;
        for (auto game = games.rbegin(); game != games.rend() && expected.size() < 40; ++game) {
            if (findSeat(*game, owner)) {
                expected.push_back(game->number);
            }
        }
        std::vector<int> kept;
        for (const auto& game : newest.of(owner)) {
            kept.push_back(game->facts().number);
        }
        EXPECT_EQ(kept, expected);
    }
}

} // namespace
