// The summary pane and hand history texts: how player lines, results and yaku are cut.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/unit/InlineScoreLog.h"
#include "model/GameLibrary.h"
#include "model/RecordText.h"

namespace {

std::string lines(const std::vector<std::string>& pieces) {
    std::string text;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        text += (i > 0 ? "\r\n" : "") + pieces[i];
    }
    return text;
}

// Loads the games into library and reports whether every one of them loaded.
::testing::AssertionResult load(GameLibrary& library, const std::vector<InlineGame>& games) {
    const std::string log = inlineScoreLog(games);
    if (!library.loadFromMemory(log.data(), log.size())) {
        return ::testing::AssertionFailure() << "log did not load:\n" << log;
    }
    if (library.recordCount() != static_cast<int>(games.size())) {
        return ::testing::AssertionFailure() << "record count " << library.recordCount();
    }
    return ::testing::AssertionSuccess();
}

// A half-game that ended before its first hand: any player line will do.
InlineGame earlyEnd(const std::string& players) {
    return {"T", players, {}, {}};
}

std::string timesHead(const char* start = "2003/01/01 21:00",
                      const char* end = "2003/01/01 21:45") {
    return std::string("開始:") + start + "\r\n終了:" + end + "\r\n\r\n";
}

struct PlayerCase {
    const char* what;
    std::string players;
    std::vector<std::string> pieces;
};

TEST(TimesAndPlayersTextTest, CutsThePlayerLineIntoTwoWordPieces) {
    const std::string longName(80, 'a');
    const std::string longRate(10, 'b');
    const std::string otherName(80, 'c');
    const PlayerCase cases[] = {
        {"four players, eight words",
         "[1]Aoi 1500 [2]Ben 1400 [3]Cat 1300 [4]Dan 1200",
         {"[1]Aoi 1500", "[2]Ben 1400", "[3]Cat 1300", "[4]Dan 1200"}},
        {"four players, a ninth word is not shown",
         "[1]Aoi 1500 [2]Ben 1400 [3]Cat 1300 [4]Dan 1200 extra",
         {"[1]Aoi 1500", "[2]Ben 1400", "[3]Cat 1300", "[4]Dan 1200"}},
        {"three players, six words",
         "[1]Aoi 1500 [2]Ben 1400 [3]Cat 1300",
         {"[1]Aoi 1500", "[2]Ben 1400", "[3]Cat 1300", ""}},
        {"three players, a seventh word is not shown",
         "[1]Aoi 1500 [2]Ben 1400 [3]Cat 1300 extra",
         {"[1]Aoi 1500", "[2]Ben 1400", "[3]Cat 1300", ""}},
        {"two players", "[1]Aoi 1500 [2]Ben 1400", {"[1]Aoi 1500", "[2]Ben 1400", "", ""}},
        {"two players and more words",
         "[1]Aoi 1500 [2]Ben 1400 [9]Zed 1000",
         {"[1]Aoi 1500", "[2]Ben 1400", "", ""}},
        {"a space inside an entry moves every later cut",
         "[1]Ann Lee 1500 [2]Ben 1400 [3]Cat 1300 [4]Dan 1200",
         {"[1]Ann Lee", "1500 [2]Ben", "1400 [3]Cat", "1300 [4]Dan"}},
        {"two spaces in a row end a piece early",
         "[1]Aoi  1500 [2]Ben 1400",
         {"[1]Aoi ", "1500 [2]Ben", "", ""}},
        {"a full-width space is no separator",
         "[1]青木　太郎 1500 [2]Ben 1400",
         {"[1]青木　太郎 1500", "[2]Ben 1400", "", ""}},
        {"a trailing space", "[1]Aoi 1500 [2]Ben 1400 ", {"[1]Aoi 1500", "[2]Ben 1400", "", ""}},
        {"the last piece without a second space takes the rest",
         "[1]Aoi 1500 [2]Ben 1400 [3]Cat 1300 [4]Dan",
         {"[1]Aoi 1500", "[2]Ben 1400", "[3]Cat 1300", "[4]Dan"}},
        {"a piece without a second space takes the rest, later pieces empty",
         "[1]Aoi [2]Ben[3]Cat[4]Dan",
         {"[1]Aoi [2]Ben[3]Cat[4]Dan", "", "", ""}},
        {"a piece without any space takes the rest, later pieces empty",
         "[1]Aoi 1500 [2]Ben1400[3]Cat1300[4]Dan1200",
         {"[1]Aoi 1500", "[2]Ben1400[3]Cat1300[4]Dan1200", "", ""}},
        {"too few words for the players",
         "[1]A [2]B [3]C [4]D",
         {"[1]A [2]B", "[3]C [4]D", "", ""}},
        {"no space at all", "[1]Aoi[2]Ben", {"[1]Aoi[2]Ben", "", "", ""}},
        {"long pieces are shown whole",
         "[1]" + longName + " " + longRate + " [2]" + otherName + " 9",
         {"[1]" + longName + " " + longRate, "[2]" + otherName + " 9", "", ""}},
    };
    for (const PlayerCase& c : cases) {
        SCOPED_TRACE(c.what);
        GameLibrary library;
        ASSERT_TRUE(load(library, {earlyEnd(c.players)}));
        EXPECT_EQ(timesAndPlayersText(*library.record(0)), timesHead() + lines(c.pieces));
    }
}

TEST(TimesAndPlayersTextTest, ShowsBothTimesAsStored) {
    struct TimeCase {
        const char* start;
        const char* end;
    };
    const TimeCase cases[] = {
        {"2003/01/01 21:00", "2003/01/01 21:45"},
        {"21:00", "21:45"},
        {"", ""},
        {"平成15年1月1日", "平成15年1月2日"},
    };
    for (const TimeCase& c : cases) {
        SCOPED_TRACE(c.start);
        InlineGame game = earlyEnd("[1]Aoi 1500 [2]Ben 1400");
        game.start = c.start;
        game.end = c.end;
        GameLibrary library;
        ASSERT_TRUE(load(library, {game}));
        EXPECT_EQ(timesAndPlayersText(*library.record(0)),
                  timesHead(c.start, c.end) + "[1]Aoi 1500\r\n[2]Ben 1400\r\n\r\n");
    }
}

struct PlacingCase {
    const char* what;
    InlineGame game;
    std::vector<std::string> lines;
};

TEST(PlacingsTextTest, ShowsFourLinesFirstPlaceFirst) {
    const InlineHand hand = {"東1局", "Aoi 1000 Ben -1000", "タンヤオ"};
    const std::string longPlacing = "1位 " + std::string(190, 'p');
    const PlacingCase cases[] = {
        {"four players",
         {"T",
          "[1]Aoi 1 [2]Ben 2 [3]Cat 3 [4]Dan 4",
          {hand},
          {"1位 Aoi", "2位 Ben", "3位 Cat", "4位 Dan"}},
         {"1位 Aoi", "2位 Ben", "3位 Cat", "4位 Dan"}},
        {"three players leave the fourth line empty",
         {"T", "[1]Aoi 1 [2]Ben 2 [3]Cat 3", {hand}, {"1位 Aoi", "2位 Ben", "3位 Cat"}},
         {"1位 Aoi", "2位 Ben", "3位 Cat", ""}},
        {"two players leave two lines empty",
         {"T", "[1]Aoi 1 [2]Ben 2", {hand}, {"1位 Aoi", "2位 Ben"}},
         {"1位 Aoi", "2位 Ben", "", ""}},
        {"an early end", earlyEnd("[1]Aoi 1 [2]Ben 2 [3]Cat 3"), {"途中終了", "", "", ""}},
        {"an early end after a hand",
         {"T", "[1]Aoi 1 [2]Ben 2 [3]Cat 3 [4]Dan 4", {hand}, {}},
         {"途中終了", "", "", ""}},
        {"a long placing line is shown whole",
         {"T", "[1]Aoi 1 [2]Ben 2", {hand}, {longPlacing, "2位 Ben"}},
         {longPlacing, "2位 Ben", "", ""}},
    };
    for (const PlacingCase& c : cases) {
        SCOPED_TRACE(c.what);
        GameLibrary library;
        ASSERT_TRUE(load(library, {c.game}));
        EXPECT_EQ(placingsText(*library.record(0)), lines(c.lines));
    }
}

TEST(PaneTextByPositionTest, OutOfRangePositionsGiveErrorText) {
    GameLibrary library;
    ASSERT_TRUE(load(library, {earlyEnd("[1]Aoi 1 [2]Ben 2"), earlyEnd("[1]Cat 3 [2]Dan 4")}));
    for (int position : {-1, 2, 3, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(position);
        EXPECT_EQ(library.timesAndPlayersText(position), "error!");
        EXPECT_EQ(library.placingsText(position), "error!");
    }
    GameLibrary empty;
    EXPECT_EQ(empty.timesAndPlayersText(0), "error!");
    EXPECT_EQ(empty.placingsText(0), "error!");
}

TEST(PaneTextByPositionTest, ValidPositionsShowTheirOwnRecord) {
    InlineGame first = earlyEnd("[1]Aoi 1 [2]Ben 2");
    InlineGame second = {"U", "[1]Cat 3 [2]Dan 4", {{"東1局", "", ""}}, {"1位 Cat", "2位 Dan"}};
    second.start = "2003/02/02 22:00";
    GameLibrary library;
    ASSERT_TRUE(load(library, {first, second}));
    EXPECT_EQ(library.timesAndPlayersText(0), timesHead() + "[1]Aoi 1\r\n[2]Ben 2\r\n\r\n");
    EXPECT_EQ(library.timesAndPlayersText(1),
              timesHead("2003/02/02 22:00") + "[1]Cat 3\r\n[2]Dan 4\r\n\r\n");
    EXPECT_EQ(library.placingsText(0), "途中終了\r\n\r\n\r\n");
    EXPECT_EQ(library.placingsText(1), "1位 Cat\r\n2位 Dan\r\n\r\n");
}

struct ResultCase {
    const char* what;
    std::string result;
    std::vector<std::string> pieces;
};

TEST(HandResultTextTest, CutsUpToFourPiecesOfTwoWords) {
    const std::string longWord(60, 'w');
    const std::string many =
        longWord + " 1 " + longWord + " 2 " + longWord + " 3 " + longWord + " 4";
    const ResultCase cases[] = {
        {"eight words", "a 1 b 2 c 3 d 4", {"a 1", "b 2", "c 3", "d 4"}},
        {"a ninth word is not shown", "a 1 b 2 c 3 d 4 e", {"a 1", "b 2", "c 3", "d 4"}},
        {"ten words, the last two not shown", "a 1 b 2 c 3 d 4 e 5", {"a 1", "b 2", "c 3", "d 4"}},
        {"seven words: the seventh is not shown", "a 1 b 2 c 3 d", {"a 1", "b 2", "c 3", ""}},
        {"two words", "a 1", {"a 1", "", "", ""}},
        {"three words", "a 1 b", {"a 1", "", "", ""}},
        {"one word", "a", {"", "", "", ""}},
        {"empty", "", {"", "", "", ""}},
        {"a word with a space after it but no second space", "a ", {"a ", "", "", ""}},
        {"a trailing space keeps the last word", "a 1 b ", {"a 1", "b ", "", ""}},
        {"two spaces in a row", "a  1 b 2", {"a ", "1 b", "", ""}},
        {"a leading space", " a 1", {" a", "", "", ""}},
        {"double-byte words", "青木 +8000 赤井 -8000", {"青木 +8000", "赤井 -8000", "", ""}},
        {"a full-width space is no separator",
         "青木　+8000 赤井",
         {"青木　+8000 赤井", "", "", ""}},
        {"long pieces and a long pane are shown whole",
         many,
         {longWord + " 1", longWord + " 2", longWord + " 3", longWord + " 4"}},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(handResultText(c.result.c_str()), lines(c.pieces));
    }
}

struct YakuCase {
    const char* what;
    std::string yaku;
    std::string pane;
};

TEST(HandYakuTextTest, SplitsTheFirstLineFromTheRest) {
    const std::string longWord(70, 'y');
    const std::string longRest(180, 'z');
    const YakuCase cases[] = {
        {"first word, empty line, rest", "リーチ ツモ ドラ1", "リーチ\r\n\r\nツモ ドラ1"},
        {"a first word in 符 keeps the second word", "30符 4飜 リーチ ツモ",
         "30符 4飜\r\n\r\nリーチ ツモ"},
        {"符 alone before the space", "符 x y", "符 x\r\n\r\ny"},
        {"a 符 word without a second space is the first line", "30符 4飜", "30符 4飜\r\n\r\n"},
        {"a 符 word and a trailing space", "30符 4飜 ", "30符 4飜\r\n\r\n"},
        {"符 inside the first word does not count", "符30 4飜 リーチ", "符30\r\n\r\n4飜 リーチ"},
        {"符 in a later word does not count", "満貫 30符 4飜", "満貫\r\n\r\n30符 4飜"},
        {"a similar character is not 符", "30府 4飜 リーチ", "30府\r\n\r\n4飜 リーチ"},
        {"no space: unchanged", "役満", "役満"},
        {"符 without a space: unchanged", "30符", "30符"},
        {"empty", "", ""},
        {"a leading space", " リーチ", "\r\n\r\nリーチ"},
        {"a full-width space is no separator", "リーチ　ツモ ドラ1", "リーチ　ツモ\r\n\r\nドラ1"},
        {"a long first line is shown whole", longWord + " " + longRest,
         longWord + "\r\n\r\n" + longRest},
    };
    for (const YakuCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(handYakuText(c.yaku.c_str()), c.pane);
    }
}

} // namespace
