// The five half-game parsers, one table of lines per parser, on raw CP932 bytes.
#include "model/GameRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/LineReader.h"

namespace {

const char* const kAbort = "   ユーザ切断により途中終了";
const char* const kResults = "  ---- 試合結果 ----";

// A line as the reader hands it over: at most 199 bytes in a 200-byte buffer.
struct Line {
    char bytes[kLineBufferSize];
    explicit Line(const std::string& text) {
        std::memset(bytes, 0, sizeof bytes);
        std::memcpy(bytes, text.data(), std::min<std::size_t>(text.size(), kLineBufferSize - 1));
    }
};

// Field contents are set to garbage first, so a test sees what a parser wrote.
GameRecord dirtyRecord() {
    GameRecord record;
    std::memset(record.tableName, '?', sizeof record.tableName - 1);
    record.tableName[sizeof record.tableName - 1] = '\0';
    std::strcpy(record.playerLine, "junk");
    std::strcpy(record.startTime, "junk");
    std::strcpy(record.endTime, "junk");
    for (auto& placing : record.placings) {
        std::strcpy(placing, "junk");
    }
    record.playerCount = 0;
    return record;
}

std::string testName(const char* name) {
    std::string out;
    for (const char* p = name; *p; ++p) {
        out += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    }
    return out;
}

template <typename Case> std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return testName(info.param.name);
}

// ---- header line -------------------------------------------------------------------------

struct HeaderCase {
    const char* name;
    std::string line;
    bool ok;
    std::string tableName;
    std::string startTime;
};

std::vector<HeaderCase> headerCases() {
    return {
        {"usual", "===== TABLE 開始 2003/01/01 21:00", true, "TABLE", "2003/01/01 21:00"},
        {"japanese name and trailer", "===== 東風荘 第3卓 開始 2003/05/17 21:04 =====", true,
         "東風荘 第3卓", "2003/05/17 21:04"},
        {"space before prefix", " ===== TABLE 開始 2003/01/01 21:00", false, "", ""},
        {"six equals signs", "====== TABLE 開始 2003/01/01 21:00", false, "", ""},
        {"prefix without space", "=====TABLE 開始 2003/01/01 21:00", false, "", ""},
        {"no start marker", "===== TABLE 2003/01/01 21:00", false, "", ""},
        {"end marker instead", "===== TABLE 終了 2003/01/01 21:00", false, "", ""},
        {"empty line", "", false, "", ""},
        {"marker at 7", "===== X開始 2003/01/01 21:00", true, "", "2003/01/01 21:00"},
        {"marker right after prefix", "===== 開始 2003/01/01 21:00", true, "", "2003/01/01 21:00"},
        {"marker right after prefix at end", "===== 開始", true, "", ""},
        {"byte before marker dropped", "===== TABLE開始X2003/01/01 21:00", true, "TABL",
         "2003/01/01 21:00"},
        {"ends with marker", "===== TABLE 開始", true, "TABLE", ""},
        {"ends with skipped byte", "===== TABLE 開始 ", true, "TABLE", ""},
        {"short time", "===== TABLE 開始 2003/01", true, "TABLE", "2003/01"},
        {"one time byte", "===== TABLE 開始 2", true, "TABLE", "2"},
        {"long time cut at 16", "===== TABLE 開始 2003/01/01 21:00:59 extra", true, "TABLE",
         "2003/01/01 21:00"},
        {"first marker counts", "===== A 開始 B 開始 2003/01/01 21:00", true, "A",
         "B 開始 2003/01/0"},
        {"leading space in name", "=====  TABLE 開始 2003/01/01 21:00", true, " TABLE",
         "2003/01/01 21:00"},
        {"time bytes are not checked", "===== T 開始 abcdefghijklmnopqrstuvwxyz", true, "T",
         "abcdefghijklmnop"},
        // The marker's bytes are found even when they start on a trail byte.
        {"marker on a trail byte",
         "===== T\x82\x8A"
         "J\x8E"
         "n 2003/01/01 21:00",
         true, "T", "2003/01/01 21:00"},
        {"name of 170 bytes", "===== " + std::string(170, 'n') + " 開始 0123456789", true,
         std::string(170, 'n'), "0123456789"},
    };
}

class HeaderParse : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderParse, Fields) {
    const HeaderCase& c = GetParam();
    GameRecord record = dirtyRecord();
    Line line(c.line);
    ASSERT_EQ(record.parseHeader(line.bytes), c.ok);
    if (c.ok) {
        EXPECT_EQ(std::string(record.tableName), c.tableName);
        EXPECT_EQ(std::string(record.startTime), c.startTime);
        EXPECT_LE(std::strlen(record.startTime), 16u);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, HeaderParse, ::testing::ValuesIn(headerCases()),
                         caseName<HeaderCase>);

// ---- player line -------------------------------------------------------------------------

struct PlayersCase {
    const char* name;
    std::string line;
    bool ok;
    int players;
    std::string playerLine;
};

std::vector<PlayersCase> playersCases() {
    return {
        {"two", "  [1]A a [2]B b", true, 2, "[1]A a [2]B b"},
        {"three", "  [1]A a [2]B b [3]C c", true, 3, "[1]A a [2]B b [3]C c"},
        {"four", "  [1]A a [2]B b [3]C c [4]D d", true, 4, "[1]A a [2]B b [3]C c [4]D d"},
        {"four without three counts two", "  [1]A a [2]B b [4]D d", true, 2,
         "[1]A a [2]B b [4]D d"},
        {"starts with marker", "[1]A a [2]B b [3]C c", true, 3, "[1]A a [2]B b [3]C c"},
        {"two before one is dropped", "  [2]B b [1]A a", true, 2, "[1]A a"},
        {"markers anywhere", "[3] [4] x [1]a [2]b", true, 4, "[1]a [2]b"},
        {"markers only", "[1][2][3][4]", true, 4, "[1][2][3][4]"},
        {"japanese entries", "  [1]ぴよ丸 R1732 [2]たぬき R1655", true, 2,
         "[1]ぴよ丸 R1732 [2]たぬき R1655"},
        {"no one", "  [2]B b [3]C c", false, 0, ""},
        {"no two", "  [1]A a [3]C c [4]D d", false, 0, ""},
        {"empty", "", false, 0, ""},
        {"full-width brackets", "  ［1］A a ［2］B b", false, 0, ""},
        {"result header", kResults, false, 0, ""},
    };
}

class PlayersParse : public ::testing::TestWithParam<PlayersCase> {};

TEST_P(PlayersParse, Fields) {
    const PlayersCase& c = GetParam();
    GameRecord record = dirtyRecord();
    Line line(c.line);
    ASSERT_EQ(record.parsePlayers(line.bytes), c.ok);
    EXPECT_EQ(std::string(record.playerLine), c.playerLine); // empty after a failure too
    if (c.ok) {
        EXPECT_EQ(record.playerCount, c.players);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, PlayersParse, ::testing::ValuesIn(playersCases()),
                         caseName<PlayersCase>);

// ---- hand section ------------------------------------------------------------------------

struct Hand {
    std::string name, result, yaku;
    bool operator==(const Hand& o) const {
        return name == o.name && result == o.result && yaku == o.yaku;
    }
};

void PrintTo(const Hand& hand, std::ostream* os) {
    *os << "{" << hand.name << " | " << hand.result << " | " << hand.yaku << "}";
}

struct HandsCase {
    const char* name;
    std::vector<std::string> lines; // the lines after the player line
    HandSectionEnd end;
    std::vector<Hand> hands;
    std::string nextLine; // what the reader gives right after the section
};

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

const std::string kHand1 = "  HAND-1 0本場(リーチ0) A +1000 B -1000";
const std::string kHand2 = "  HAND-2 1本場(リーチ1) C +2000 D -2000";
const Hand kParsed1Base{"HAND-1 0本場(リーチ0)", "A +1000 B -1000", ""};
const Hand kParsed2Base{"HAND-2 1本場(リーチ1)", "C +2000 D -2000", ""};

Hand hand1(const std::string& yaku) {
    return {kParsed1Base.name, kParsed1Base.result, yaku};
}
Hand hand2(const std::string& yaku) {
    return {kParsed2Base.name, kParsed2Base.result, yaku};
}

std::vector<HandsCase> handsCases() {
    using E = HandSectionEnd;
    const std::string long40(40, 't');
    return {
        {"two hands then results",
         {kHand1, "    YAKU-1", "    FREE", kHand2, "    YAKU-2", kResults, "  1位 X"},
         E::ResultsFollow,
         {hand1("YAKU-1"), hand2("YAKU-2")},
         "  1位 X"},
        {"abort before any hand", {kAbort, "----- f"}, E::Aborted, {}, "----- f"},
        {"abort after a hand",
         {kHand1, "    Y", kAbort, "----- f"},
         E::Aborted,
         {hand1("Y")},
         "----- f"},
        {"results right after players", {kResults, "  1位 X"}, E::Failed, {}, "  1位 X"},
        {"free line right after players", {"    FREE", kHand1}, E::Failed, {}, kHand1},
        {"empty line right after players", {"", kHand1}, E::Failed, {}, kHand1},
        {"abort with trailing space", {std::string(kAbort) + " "}, E::Failed, {}, ""},
        {"first hand line needs only the parenthesis",
         {"  東1局 (親:ぴよ丸) A +1000", "    Y", kResults},
         E::ResultsFollow,
         {{"東1局 (親:ぴよ丸)", "A +1000", "Y"}},
         ""},
        {"later line without round marker is free",
         {kHand1, "    Y", "  HAND-2 (1) C c", kResults},
         E::ResultsFollow,
         {hand1("Y")},
         ""},
        {"parenthesis before round marker",
         {kHand1, "    Y", "  A) B 1本場(リーチ0) C c", "    Z", kResults},
         E::ResultsFollow,
         {hand1("Y"), {"A)", "B 1本場(リーチ0) C c", "Z"}},
         ""},
        {"later hand line without parenthesis fails",
         {kHand1, "    Y", "  HAND-2 1本場(リーチ1 C c", "    Z", kResults},
         E::Failed,
         {hand1("Y")},
         "    Z"},
        {"hand line ending with parenthesis",
         {"  東1局 0本場(リーチ0)", "    Y", kAbort},
         E::Aborted,
         {{"東1局 0本場(リーチ0)", "", "Y"}},
         ""},
        {"one byte after parenthesis",
         {"  H)x", "    Y", kAbort},
         E::Aborted,
         {{"H)", "", "Y"}},
         ""},
        {"two bytes after parenthesis",
         {"  H)xy", "    Y", kAbort},
         E::Aborted,
         {{"H)", "y", "Y"}},
         ""},
        {"parenthesis first", {")abc", "    Y", kAbort}, E::Aborted, {{"", "bc", "Y"}}, ""},
        {"parenthesis second", {" )abc", "    Y", kAbort}, E::Aborted, {{"", "bc", "Y"}}, ""},
        {"parenthesis third", {"  )abc", "    Y", kAbort}, E::Aborted, {{")", "bc", "Y"}}, ""},
        {"title of 29 bytes kept",
         {"  " + std::string(28, 't') + ") r", "    Y", kAbort},
         E::Aborted,
         {{std::string(28, 't') + ")", "r", "Y"}},
         ""},
        {"title of 30 bytes cut to 29",
         {"  " + std::string(29, 't') + ") r", "    Y", kAbort},
         E::Aborted,
         {{std::string(29, 't'), "r", "Y"}},
         ""},
        {"long title cut, result intact",
         {"  " + long40 + "0本場(リーチ0) A +1000", "    Y", kResults},
         E::ResultsFollow,
         {{long40.substr(0, 29), "A +1000", "Y"}},
         ""},
        {"yaku of four bytes is empty", {kHand1, "    ", kAbort}, E::Aborted, {hand1("")}, ""},
        {"yaku shorter than four", {kHand1, "  ab", kAbort}, E::Aborted, {hand1("")}, ""},
        {"yaku keeps its fifth byte on", {kHand1, "   xyz", kAbort}, E::Aborted, {hand1("yz")}, ""},
        {"yaku line is the result header",
         {kHand1, kResults, "  1位 X"},
         E::ResultsFollow,
         {hand1("-- 試合結果 ----")},
         "  1位 X"},
        {"yaku line is the abort line",
         {kHand1, kAbort, "----- f"},
         E::Aborted,
         {hand1(std::string(kAbort).substr(4))},
         "----- f"},
        {"yaku line is the next hand line",
         {kHand1, kHand2, "    YAKU-2", kResults},
         E::ResultsFollow,
         {hand1(kHand2.substr(4)), hand2("YAKU-2")},
         ""},
        {"result header with trailing space is free",
         {kHand1, "    Y", std::string(kResults) + " "},
         E::Failed,
         {hand1("Y")},
         ""},
        {"result header without indentation is free",
         {kHand1, "    Y", "---- 試合結果 ----"},
         E::Failed,
         {hand1("Y")},
         ""},
        {"end of input after hand line", {kHand1}, E::Failed, {hand1("")}, ""},
        {"end of input in free lines",
         {kHand1, "    Y", "    free", "    free"},
         E::Failed,
         {hand1("Y")},
         ""},
        {"many free lines",
         {kHand1, "    Y", "a", "b)", "", "c", kHand2, "    Z", kResults},
         E::ResultsFollow,
         {hand1("Y"), hand2("Z")},
         ""},
    };
}

class HandsParse : public ::testing::TestWithParam<HandsCase> {};

TEST_P(HandsParse, HandsAndEnd) {
    const HandsCase& c = GetParam();
    const std::string text = joined(c.lines);
    LineReader reader(text.data(), text.size());
    GameRecord record = dirtyRecord();
    EXPECT_EQ(record.parseHands(reader), c.end);

    std::vector<Hand> hands;
    for (const HandRecord& hand : record.hands) {
        hands.push_back({hand.handName, hand.handResult, hand.handYaku});
    }
    EXPECT_EQ(hands, c.hands);
    EXPECT_EQ(handCount(record), c.hands.size());

    char next[kLineBufferSize];
    reader.readLine(next);
    EXPECT_EQ(std::string(next), c.nextLine);
}

INSTANTIATE_TEST_SUITE_P(Sections, HandsParse, ::testing::ValuesIn(handsCases()),
                         caseName<HandsCase>);

// ---- placing lines -----------------------------------------------------------------------

struct PlacingsCase {
    const char* name;
    int players;
    std::vector<std::string> lines;
    bool ok;
    std::vector<std::string> placings; // all four
    std::string nextLine;
};

std::vector<PlacingsCase> placingsCases() {
    return {
        {"four",
         4,
         {"  1位 P1", "  2位 P2", "  3位 P3", "  4位 P4", "----- f"},
         true,
         {"1位 P1", "2位 P2", "3位 P3", "4位 P4"},
         "----- f"},
        {"three",
         3,
         {"  1位 P1", "  2位 P2", "  3位 P3", "----- f"},
         true,
         {"1位 P1", "2位 P2", "3位 P3", ""},
         "----- f"},
        {"two",
         2,
         {"  1位 P1", "  2位 P2", "----- f"},
         true,
         {"1位 P1", "2位 P2", "", ""},
         "----- f"},
        {"later lines are free text",
         4,
         {"  1位 P1", "", "ab", "abc", "x"},
         true,
         {"1位 P1", "", "", "c"},
         "x"},
        {"marker alone", 2, {"  1位 ", "  2位 P2"}, true, {"1位 ", "2位 P2", "", ""}, ""},
        {"input ends inside placings",
         4,
         {"  1位 P1", "  2位 P2"},
         true,
         {"1位 P1", "2位 P2", "", ""},
         ""},
        {"second place first", 2, {"  2位 P2", "  1位 P1"}, false, {}, "  1位 P1"},
        {"one leading space", 2, {" 1位 P1", "  2位 P2"}, false, {}, "  2位 P2"},
        {"no space after place", 2, {"  1位P1", "  2位 P2"}, false, {}, "  2位 P2"},
        {"marker without its space", 2, {"  1位", "  2位 P2"}, false, {}, "  2位 P2"},
        {"full-width digit", 2, {"  １位 P1", "  2位 P2"}, false, {}, "  2位 P2"},
        {"nothing left", 2, {}, false, {}, ""},
    };
}

class PlacingsParse : public ::testing::TestWithParam<PlacingsCase> {};

TEST_P(PlacingsParse, Placings) {
    const PlacingsCase& c = GetParam();
    const std::string text = joined(c.lines);
    LineReader reader(text.data(), text.size());
    GameRecord record = dirtyRecord();
    record.playerCount = static_cast<std::int16_t>(c.players);
    ASSERT_EQ(record.parsePlacings(reader), c.ok);
    if (c.ok) {
        for (int i = 0; i < kPlacingCount; ++i) {
            EXPECT_EQ(std::string(record.placings[i]), c.placings[i]) << "place " << i + 1;
        }
    }
    char next[kLineBufferSize];
    reader.readLine(next);
    EXPECT_EQ(std::string(next), c.nextLine);
}

INSTANTIATE_TEST_SUITE_P(Lines, PlacingsParse, ::testing::ValuesIn(placingsCases()),
                         caseName<PlacingsCase>);

// ---- footer line -------------------------------------------------------------------------

struct FooterCase {
    const char* name;
    std::string line;
    bool ok;
    std::string endTime;
};

std::vector<FooterCase> footerCases() {
    return {
        {"usual", "----- TABLE 終了 2003/01/01 21:45", true, "2003/01/01 21:45"},
        {"trailer", "----- 東風荘 第3卓 終了 2003/05/17 21:38 -----", true, "2003/05/17 21:38"},
        {"marker right after prefix", "----- 終了 2003/01/01 21:45", true, "2003/01/01 21:45"},
        {"ends with marker", "----- TABLE 終了", true, ""},
        {"ends with skipped byte", "----- TABLE 終了 ", true, ""},
        {"short time", "----- TABLE 終了 21:45", true, "21:45"},
        {"long time cut at 16", "----- TABLE 終了 2003/01/01 21:45:10", true, "2003/01/01 21:45"},
        {"first marker counts", "----- A 終了 B 終了 C", true, "B 終了 C"},
        {"skipped byte is any byte", "----- TABLE 終了X2003/01/01 21:45", true, "2003/01/01 21:45"},
        {"no end marker", "----- TABLE 2003/01/01 21:45", false, ""},
        {"start marker instead", "----- TABLE 開始 2003/01/01 21:45", false, ""},
        {"space before prefix", " ----- TABLE 終了 2003/01/01 21:45", false, ""},
        {"six dashes", "------ TABLE 終了 2003/01/01 21:45", false, ""},
        {"header line", "===== TABLE 終了 2003/01/01 21:45", false, ""},
        {"empty", "", false, ""},
    };
}

class FooterParse : public ::testing::TestWithParam<FooterCase> {};

TEST_P(FooterParse, EndTime) {
    const FooterCase& c = GetParam();
    GameRecord record = dirtyRecord();
    Line line(c.line);
    ASSERT_EQ(record.parseFooter(line.bytes), c.ok);
    if (c.ok) {
        EXPECT_EQ(std::string(record.endTime), c.endTime);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, FooterParse, ::testing::ValuesIn(footerCases()),
                         caseName<FooterCase>);

// ---- the rest ----------------------------------------------------------------------------

TEST(GameRecordAbort, WritesAbortPlacings) {
    GameRecord record = dirtyRecord();
    record.setAborted();
    EXPECT_STREQ(record.placings[0], "途中終了");
    EXPECT_EQ(std::strlen(record.placings[0]), 8u);
    EXPECT_STREQ(record.placings[1], "");
    EXPECT_STREQ(record.placings[2], "");
    EXPECT_STREQ(record.placings[3], "");
}

TEST(GameRecordHands, FreeHandsEmptiesOnlyTheHands) {
    const std::string text = joined({kHand1, "    Y", kHand2, "    Z", kResults});
    LineReader reader(text.data(), text.size());
    GameRecord record = dirtyRecord();
    Line header("===== TABLE 開始 2003/01/01 21:00");
    ASSERT_TRUE(record.parseHeader(header.bytes));
    ASSERT_EQ(record.parseHands(reader), HandSectionEnd::ResultsFollow);
    ASSERT_EQ(handCount(record), 2u);
    record.freeHands();
    EXPECT_EQ(handCount(record), 0u);
    EXPECT_TRUE(record.hands.empty());
    EXPECT_STREQ(record.tableName, "TABLE");
    EXPECT_STREQ(record.startTime, "2003/01/01 21:00");
    record.freeHands();
    EXPECT_EQ(handCount(record), 0u);
}

TEST(GameRecordHands, NewRecordHasNoHands) {
    GameRecord record;
    EXPECT_EQ(handCount(record), 0u);
    record.freeHands();
    EXPECT_EQ(handCount(record), 0u);
}

} // namespace
