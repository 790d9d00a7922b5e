// Malformed and hostile score logs: each loads whole with a known count, or fails empty.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "model/GameLibrary.h"
#include "model/GameRecord.h"
#include "samples/generator/ScoreLogGenerator.h"
#include "tests/unit/WorkedExample.h"

namespace {

constexpr int kFails = -1;

// The worked example's two half-games, one entry per line without its line end.
// Numbering below is 1-based, as in the comments: 1-14 the completed four-player
// game, 15-21 the three-player game that ended early.
std::vector<std::string> referenceLines() {
    return workedExampleLines();
}

std::string join(const std::vector<std::string>& lines, const char* eol = "\n",
                 bool finalEol = true) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (finalEol || i + 1 < lines.size()) {
            out += eol;
        }
    }
    return out;
}

std::string reference() {
    return join(referenceLines());
}

// The first count reference lines, each with its LF (or without the last one).
std::string firstLines(std::size_t count, bool finalEol = true) {
    auto lines = referenceLines();
    lines.resize(count);
    return join(lines, "\n", finalEol);
}

// Reference lines first to last (1-based, inclusive).
std::vector<std::string> lineRange(std::size_t first, std::size_t last) {
    const auto lines = referenceLines();
    return {lines.begin() + static_cast<long>(first - 1), lines.begin() + static_cast<long>(last)};
}

// The reference lines with line n (1-based) replaced by none, one or more lines.
std::vector<std::string> linesReplaced(std::size_t n, const std::vector<std::string>& with) {
    auto lines = referenceLines();
    lines.erase(lines.begin() + static_cast<long>(n - 1));
    lines.insert(lines.begin() + static_cast<long>(n - 1), with.begin(), with.end());
    return lines;
}
std::string replacedLines(std::size_t n, const std::vector<std::string>& with) {
    return join(linesReplaced(n, with));
}
std::string replaced(std::size_t n, const std::string& with) {
    return replacedLines(n, {with});
}
std::string removed(std::size_t n) {
    return replacedLines(n, {});
}

// text followed by fill bytes up to exactly length bytes.
std::string padded(std::string text, std::size_t length, char fill = 'x') {
    text.resize(length, fill);
    return text;
}
// fill bytes, then text, exactly length bytes in all.
std::string padFront(const std::string& prefix, const std::string& tail, std::size_t length) {
    return padded(prefix, length - tail.size()) + tail;
}

// Bytes that look like nothing in a score log: a fixed pseudo-random run.
std::string garbage(std::size_t size, unsigned seed, bool withLineEnds) {
    std::string out;
    unsigned state = seed;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        char c = static_cast<char>(0x80 | ((state >> 16) & 0x7F));
        if (withLineEnds && (state >> 8) % 61 == 0) {
            c = '\n';
        }
        out += c;
    }
    return out;
}

std::string allByteValues(int rounds) {
    std::string out;
    for (int r = 0; r < rounds; ++r) {
        for (int b = 0; b < 256; ++b) {
            out += static_cast<char>(b);
        }
    }
    return out;
}

bool terminatedWithin(const char* field, std::size_t width) {
    return std::memchr(field, '\0', width) != nullptr;
}

// What every loaded record must satisfy, whatever the input was.
void expectRecordInvariants(const GameLibrary& library) {
    for (int i = 0; i < library.recordCount(); ++i) {
        const GameRecord& r = *library.record(i);
        SCOPED_TRACE("record " + std::to_string(i));
        EXPECT_GE(r.playerCount, 2);
        EXPECT_LE(r.playerCount, 4);
        ASSERT_TRUE(terminatedWithin(r.tableName, kTextFieldSize));
        ASSERT_TRUE(terminatedWithin(r.playerLine, kTextFieldSize));
        ASSERT_TRUE(terminatedWithin(r.startTime, kTimeFieldSize));
        ASSERT_TRUE(terminatedWithin(r.endTime, kTimeFieldSize));
        EXPECT_LE(std::strlen(r.startTime), 16u);
        EXPECT_LE(std::strlen(r.endTime), 16u);
        for (const auto& placing : r.placings) {
            ASSERT_TRUE(terminatedWithin(placing, kTextFieldSize));
        }
        const bool aborted = std::strcmp(r.placings[0], "途中終了") == 0;
        if (!aborted) {
            EXPECT_EQ(std::strncmp(r.placings[0], "1位 ", 4), 0);
            EXPECT_GE(r.hands.size(), 1u);
        }
        for (int p = aborted ? 1 : r.playerCount; p < kPlacingCount; ++p) {
            EXPECT_STREQ(r.placings[p], "");
        }
        EXPECT_EQ(handCount(r), r.hands.size());
        for (const HandRecord& h : r.hands) {
            ASSERT_TRUE(terminatedWithin(h.handName, kHandNameSize));
            ASSERT_TRUE(terminatedWithin(h.handResult, kTextFieldSize));
            ASSERT_TRUE(terminatedWithin(h.handYaku, kTextFieldSize));
        }
    }
}

using Check = std::function<void(const GameLibrary&)>;

struct HostileCase {
    const char* name;
    std::string log;
    int records; // kFails: load() returns false and the library is empty
    Check check = nullptr;
};

const GameRecord& rec(const GameLibrary& lib, int i) {
    return *lib.record(i);
}

std::vector<HostileCase> hostileCases() {
    const std::string ref = reference();
    const std::string overlong200 = padded("    ", 200);
    std::vector<HostileCase>
        cases =
            {
                // The input ends inside each section of a half-game.
                {"EndsAfterHeader", firstLines(1), kFails},
                {"EndsInsideHeaderWithoutLineEnd", firstLines(1, false), kFails},
                {"EndsAfterPlayers", firstLines(2), kFails},
                {"EndsAfterFirstHandLine", firstLines(3), kFails},
                {"EndsAfterYakuLine", firstLines(4), kFails},
                {"EndsAfterFreeLine", firstLines(5), kFails},
                {"EndsAfterLastYakuLine", firstLines(7, false), kFails},
                {"EndsAfterResultHeader", firstLines(8), kFails},
                {"EndsInsidePlacings", firstLines(10), kFails},
                {"EndsBeforeFooter", firstLines(12), kFails},
                {"EndsInsideFooterMarker", firstLines(12) + "----- TABLE \x8f", kFails},
                {"EndsAfterFooterWithoutSeparator", firstLines(13), 1},
                {"EndsAfterFooterWithoutLineEnd", firstLines(13, false), 1},
                {"EndsAfterSeparator", firstLines(14), 1},
                {"EndsAfterSecondHeader", firstLines(15), kFails},
                {"EndsAfterAbortLine", firstLines(19), kFails},
                {"EndsAfterLastFooter", firstLines(20, false), 2},

                // Empty input and empty lines where a header belongs.
                {"EmptyInput", "", 0},
                {"SingleEmptyLine", "\n", kFails},
                {"SingleCrLf", "\r\n", kFails},
                {"EmptyLineBeforeFirstHeader", "\n" + ref, kFails},
                {"ExtraEmptyLineAtEnd", ref + "\n", kFails},
                {"FooterFollowedDirectlyByHeader", removed(14), kFails},

                // Bytes that are no score log at all.
                {"BinaryGarbage", garbage(4096, 7, true), kFails},
                {"BinaryGarbageWithoutLineEnds", garbage(180, 11, false), kFails},
                {"EveryByteValue", allByteValues(4), kFails},
                {"GarbageAfterLastSeparator", ref + garbage(2048, 3, true), kFails},
                {"GarbageInsteadOfSecondGame", firstLines(14) + garbage(600, 5, true), kFails},

                // NUL bytes: a line ends for the parsers at its first NUL.
                {"NulInsideFreeLine", replaced(5, std::string("    FREE\0TEXT", 13)), 2},
                {"NulHidesStartMarker",
                 replaced(1, std::string("===== TABLE\0 開始 2003/01/01 21:00", 33)), kFails},
                {"NulHidesSecondPlayer",
                 replaced(2, std::string("  [1]NAME-A RATE-A\0 [2]NAME-B RATE-B", 36)), kFails},
                {"NulAfterResultHeader", replaced(8, std::string("  ---- 試合結果 ----\0tail", 25)),
                 2},
                {"NulAtStartOfHeader", std::string(1, '\0') + ref, kFails},
                {"NulAsSeparator", replaced(14, std::string(1, '\0')), 2},
                {"NulInsideTableName",
                 replaced(1, std::string("===== TA\0BLE 開始 2003/01/01 21:00", 33)), kFails},

                // 0x1A ends the input wherever it stands.
                {"EndOfFileByteFirst", "\x1a" + ref, 0},
                {"EndOfFileByteAfterFirstSeparator", firstLines(14) + "\x1a" + firstLines(3), 1},
                {"EndOfFileByteAfterFirstFooter", firstLines(13) + "\x1a\n" + ref, 1},
                {"EndOfFileByteInsidePlayerLine",
                 firstLines(1) + "  [1]NAME-A RATE-A [2]NA\x1a"
                                 "ME-B",
                 kFails},
                {"EndOfFileByteInsidePlacings", firstLines(10) + "\x1a" + ref, kFails},
                {"EndOfFileByteLast", ref + "\x1a", 2},
                {"EndOfFileByteBeforeGarbage", ref + "\x1a" + garbage(1000, 9, true), 2},
                {"EndOfFileByteBeforeOverlongLine", ref + "\x1a" + padded("", 5000) + "\n", 2},

                // CR: removed only directly before an LF; anywhere else it is data.
                {"CrLfLineEnds", join(referenceLines(), "\r\n"), 2},
                {"CrLfWithoutFinalLineEnd", firstLines(13, false) + "\r\n", 1},
                {"MixedLineEnds", firstLines(14) + join(lineRange(15, 21), "\r\n"), 2},
                {"LoneCrInsideFreeLine", replaced(5, "    FREE\rTEXT"), 2},
                {"CrOnlyLineEnds", join(referenceLines(), "\r"), kFails},
                {"ShortCrOnlyLog",
                 "===== T 開始 x\r  [1]a b [2]c d\r   ユーザ切断により途中終了\r----- 終了\r",
                 kFails},
                // "...----\r" is no result header: the hand section runs on to the abort line.
                {"CrBeforeCrLfSpoilsResultHeader", replaced(8, "  ---- 試合結果 ----\r\r"), 1,
                 [](const GameLibrary& lib) {
                     EXPECT_EQ(rec(lib, 0).hands.size(), 3u);
                     EXPECT_STREQ(rec(lib, 0).placings[0], "途中終了");
                     EXPECT_STREQ(rec(lib, 0).endTime, "2003/01/01 22:10");
                 }},
                {"FileEndsInCrAsSeparator", firstLines(13) + "\r", 1},
                {"FileEndsInCrAfterSeparator", ref + "\r", kFails},
                {"CrDroppedBeforeStartMarker", replaced(1, "===== TABLE\r開始 2003/01/01 21:00"), 2,
                 [](const GameLibrary& lib) { EXPECT_STREQ(rec(lib, 0).tableName, "TABLE"); }},

                // Over-long lines (200 bytes or more before the line end) fail the load anywhere.
                {"OverlongHeader", replaced(1, padFront("===== ", " 開始 2003/01/01 21:00", 200)),
                 kFails},
                {"OverlongPlayerLine", replaced(2, padded(referenceLines()[1], 200)), kFails},
                {"OverlongHandLine", replaced(3, padded(referenceLines()[2], 200)), kFails},
                {"OverlongYakuLine", replaced(4, overlong200), kFails},
                {"OverlongFreeLine", replaced(5, overlong200), kFails},
                {"OverlongResultHeader", replaced(8, padded("  ---- 試合結果 ----", 200, ' ')),
                 kFails},
                {"OverlongFirstPlacing", replaced(9, padded("  1位 ", 200)), kFails},
                {"OverlongLastPlacing", replaced(12, padded("  4位 ", 200)), kFails},
                {"OverlongFooter", replaced(13, padded("----- TABLE 終了 2003/01/01 21:45", 200)),
                 kFails},
                {"OverlongSeparator", replaced(14, overlong200), kFails},
                {"OverlongLastSeparator", replaced(21, overlong200), kFails},
                {"OverlongAbortLine", replaced(19, padded("   ユーザ切断により途中終了", 200, ' ')),
                 kFails},
                {"OverlongSecondHeader",
                 replaced(15, padFront("===== ", " 開始 2003/01/01 22:00", 250)), kFails},
                {"OverlongLastLineWithoutLineEnd", firstLines(20) + overlong200, kFails},
                {"HugeLineAfterLog", ref + padded("", 100000) + "\n", kFails},
                {"OverlongByCrBeforeCrLf", replaced(5, padded("    ", 199) + "\r\r"), kFails},

                // 199 bytes is the longest line, in every position.
                {"Header199Bytes", replaced(1, padFront("===== ", " 開始 2003/01/01 21:00", 199)),
                 2,
                 [](const GameLibrary& lib) {
                     EXPECT_EQ(std::strlen(rec(lib, 0).tableName), 199u - 6 - 22);
                     EXPECT_STREQ(rec(lib, 0).startTime, "2003/01/01 21:00");
                 }},
                {"HeaderEndingInStartMarker199", replaced(1, padFront("===== ", " 開始", 199)), 2,
                 [](const GameLibrary& lib) {
                     EXPECT_EQ(std::strlen(rec(lib, 0).tableName), 199u - 6 - 5);
                     EXPECT_STREQ(rec(lib, 0).startTime, "");
                 }},
                {"PlayerLine199Bytes", replaced(2, padded(referenceLines()[1], 199)), 2,
                 [](const GameLibrary& lib) {
                     EXPECT_EQ(std::strlen(rec(lib, 0).playerLine), 197u);
                 }},
                {"HandLine199Bytes", replaced(3, padded(referenceLines()[2], 199)), 2},
                {"HandTitle197Bytes", replaced(3, padded("  HAND-1 0本場(リーチ0", 198) + ")"), 2,
                 [](const GameLibrary& lib) {
                     const HandRecord& h = rec(lib, 0).hands.front();
                     EXPECT_EQ(std::strlen(h.handName), 29u);
                     EXPECT_EQ(std::strncmp(h.handName, "HAND-1 0", 8), 0);
                     EXPECT_STREQ(h.handResult, "");
                     EXPECT_STREQ(h.handYaku, "YAKU-1");
                 }},
                {"YakuLine199Bytes", replaced(4, padded("    ", 199)), 2,
                 [](const GameLibrary& lib) {
                     EXPECT_EQ(std::strlen(rec(lib, 0).hands.front().handYaku), 195u);
                 }},
                {"FreeLine199Bytes", replaced(5, padded("    ", 199)), 2},
                {"FirstPlacing199Bytes", replaced(9, padded("  1位 ", 199)), 2,
                 [](const GameLibrary& lib) {
                     EXPECT_EQ(std::strlen(rec(lib, 0).placings[0]), 197u);
                 }},
                {"Footer199Bytes", replaced(13, padded("----- TABLE 終了 2003/01/01 21:45", 199)),
                 2,
                 [](const GameLibrary&
                        lib) { EXPECT_STREQ(rec(lib, 0).endTime, "2003/01/01 21:45"); }},
                {"Separator199Bytes", replaced(14, padded("", 199)), 2},
                {"LastSeparator199BytesNoLineEnd", firstLines(20) + padded("", 199), 2},
                {"Line199PlusCrLf", replaced(5, padded("    ", 199) + "\r"), 2},

                // A lead byte of a double-byte character as the last byte of a line.
                {"LeadByteEndsFreeLine", replaced(5, "    FREE\x82"), 2},
                {"LeadByteEndsHeader", replaced(1, "===== TABLE 開始 2003/01/01 21:0\x82"), 2,
                 [](const GameLibrary& lib) {
                     EXPECT_STREQ(rec(lib, 0).startTime, "2003/01/01 21:0\x82");
                 }},
                {"LeadByteAsSeparator", replaced(14, "\x81"), 2},
                {"LeadByteBeforeCrLf", join(linesReplaced(5, {"    FREE\x82"}), "\r\n"), 2},
                {"LeadByteInsteadOfLastDash", replaced(8, "  ---- 試合結果 ---\x81"), 1},
                {"LeadByteBeforePlayerMarker",
                 replaced(
                     2,
                     "  \x83[1]NAME-A RATE-A [2]NAME-B RATE-B [3]NAME-C RATE-C [4]NAME-D RATE-D"),
                 2,
                 [](const GameLibrary&
                        lib) { EXPECT_EQ(std::strncmp(rec(lib, 0).playerLine, "[1]NAME-A", 9), 0); }},
                {"LeadByteBeforeStartMarker", replaced(1, "===== TABLE\x88開始 2003/01/01 21:00"),
                 2, [](const GameLibrary& lib) { EXPECT_STREQ(rec(lib, 0).tableName, "TABLE"); }},

                // Markers cut in two by a line end are not markers.
                {"StartMarkerSplit", replacedLines(1, {"===== TABLE 開", "始 2003/01/01 21:00"}),
                 kFails},
                {"PlayerMarkerSplit",
                 replacedLines(
                     2,
                     {"  [1", "]NAME-A RATE-A [2]NAME-B RATE-B [3]NAME-C RATE-C [4]NAME-D RATE-D"}),
                 kFails},
                {"HandMarkerSplit",
                 replacedLines(6, {"  HAND-2 1本場(リ", "ーチ1) NAME-C SCORE-C NAME-D SCORE-D"}), 2,
                 [](const GameLibrary& lib) { EXPECT_EQ(rec(lib, 0).hands.size(), 1u); }},
                {"ResultHeaderSplit", replacedLines(8, {"  ---- 試合", "結果 ----"}), 1,
                 [](const GameLibrary& lib) { EXPECT_EQ(rec(lib, 0).hands.size(), 3u); }},
                {"AbortLineSplit", replacedLines(19, {"   ユーザ切断により", "途中終了"}), kFails},
                {"EndMarkerSplit", replacedLines(13, {"----- TABLE 終", "了 2003/01/01 21:45"}),
                 kFails},
                {"FooterPrefixSplit", replacedLines(13, {"----", "- TABLE 終了 2003/01/01 21:45"}),
                 kFails},
                {"HeaderPrefixSplit", replacedLines(1, {"===", "== TABLE 開始 2003/01/01 21:00"}),
                 kFails},

                // "開始" and "終了" in odd places.
                {"StartMarkerRightAfterHeaderPrefix",
                 replaced(1, "===== 開始TABLE 開始 2003/01/01 21:00"), 2,
                 [](const GameLibrary& lib) {
                     EXPECT_STREQ(rec(lib, 0).tableName, "");
                     EXPECT_STREQ(rec(lib, 0).startTime, "ABLE 開始 2003/0");
                 }},
                {"StartMarkerAtPosition7", replaced(1, "===== X開始 2003/01/01 21:00"), 2,
                 [](const GameLibrary& lib) { EXPECT_STREQ(rec(lib, 0).tableName, ""); }},
                {"HeaderEndsWithStartMarker", replaced(1, "===== TABLE 開始"), 2,
                 [](const GameLibrary& lib) { EXPECT_STREQ(rec(lib, 0).startTime, ""); }},
                {"StartMarkerTwice", replaced(1, "===== A 開始 B 開始 2003/01/01 21:00"), 2,
                 [](const GameLibrary& lib) {
                     EXPECT_STREQ(rec(lib, 0).tableName, "A");
                     EXPECT_STREQ(rec(lib, 0).startTime, "B 開始 2003/01/0");
                 }},
                {"EndMarkerInHeader", replaced(1, "===== TABLE 終了 2003/01/01 21:00"), kFails},
                {"StartMarkerInFooter", replaced(13, "----- TABLE 開始 2003/01/01 21:45"), kFails},
                {"FooterEndsWithEndMarker", replaced(13, "----- TABLE 終了"), 2,
                 [](const GameLibrary& lib) { EXPECT_STREQ(rec(lib, 0).endTime, ""); }},
                {"EndMarkerRightAfterFooterPrefix", replaced(13, "----- 終了"), 2},
                {"MarkersInFreeText",
                 replacedLines(5,
                               {"    開始 終了 ----- ===== [1][2]", "  2位 終了", "----- 終了 x"}),
                 2},
                {"StartMarkerBeforeHeaderPrefix", replaced(1, "開始 ===== TABLE 2003/01/01 21:00"),
                 kFails},
                {"EarlyEndTextInFirstPlacing", replaced(9, "  1位 途中終了"), 2},
                {"SpaceBeforeHeaderPrefix", replaced(1, " ===== TABLE 開始 2003/01/01 21:00"),
                 kFails},

                // Half-games whose sections do not fit together.
                {"FourthPlayerWithoutThird",
                 replaced(2, "  [1]NAME-A RATE-A [2]NAME-B RATE-B [4]NAME-D RATE-D"), kFails},
                {"ResultHeaderRightAfterPlayers", firstLines(2) + join(lineRange(8, 14)), kFails},
                {"AbortRightAfterPlayers", firstLines(16) + join(lineRange(19, 21)), 2,
                 [](const GameLibrary& lib) {
                     EXPECT_EQ(rec(lib, 1).hands.size(), 0u);
                     EXPECT_STREQ(rec(lib, 1).placings[0], "途中終了");
                 }},
                {"ResultHeaderWithTrailingSpace", replaced(8, "  ---- 試合結果 ---- "), 1,
                 [](const GameLibrary& lib) { EXPECT_EQ(rec(lib, 0).hands.size(), 3u); }},
                {"SecondHandLineWithoutMarker",
                 replaced(6, "  HAND-2 (1) NAME-C SCORE-C NAME-D SCORE-D"), 2,
                 [](const GameLibrary& lib) { EXPECT_EQ(rec(lib, 0).hands.size(), 1u); }},
                {"PlacingLinesOfAnyContent",
                 firstLines(8) + join({"  1位 A", "", "  ", "x", "----- 終了 x"}), 1,
                 [](const GameLibrary& lib) {
                     EXPECT_STREQ(rec(lib, 0).placings[1], "");
                     EXPECT_STREQ(rec(lib, 0).placings[2], "");
                     EXPECT_STREQ(rec(lib, 0).placings[3], "");
                 }},
                {"TooFewPlacingsForPlayers", firstLines(10) + join(lineRange(13, 14)), kFails},
                {"FirstHandLineWithoutParenthesis", replaced(3, "  HAND-1 0本場 NAME-A SCORE-A"),
                 kFails},
                {"ResultHeaderAsYakuLine", removed(7), 2,
                 [](const GameLibrary&
                        lib) { EXPECT_STREQ(rec(lib, 0).hands.back().handYaku, "-- 試合結果 ----"); }},
            };
    return cases;
}

std::string caseName(const testing::TestParamInfo<HostileCase>& info) {
    return info.param.name;
}

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

// Named per process: several builds' tests may run at once on one machine.
std::string tempPath(const std::string& name) {
    return testing::TempDir() + "paiview_hostile_" + std::to_string(processId()) + "_" + name +
           ".txt";
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

void expectOutcome(GameLibrary& lib, bool loaded, int before, const HostileCase& c) {
    if (c.records == kFails) {
        EXPECT_FALSE(loaded);
        EXPECT_EQ(lib.recordCount(), 0);
        return;
    }
    ASSERT_TRUE(loaded);
    ASSERT_EQ(lib.recordCount(), before + c.records);
    expectRecordInvariants(lib);
}

class HostileLog : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileLog, LoadsWholeOrFailsEmptyFromMemory) {
    const HostileCase& c = GetParam();
    GameLibrary lib;
    const bool loaded = lib.loadFromMemory(c.log.data(), c.log.size());
    expectOutcome(lib, loaded, 0, c);
    if (loaded && c.check && lib.recordCount() == c.records) {
        c.check(lib);
    }
}

TEST_P(HostileLog, LoadsTheSameFromAFile) {
    const HostileCase& c = GetParam();
    const std::string path = tempPath(c.name);
    ASSERT_TRUE(writeFile(path, c.log));
    GameLibrary lib;
    lib.filePath = path;
    const bool loaded = lib.load();
    expectOutcome(lib, loaded, 0, c);
    if (loaded && c.check && lib.recordCount() == c.records) {
        c.check(lib);
    }
    std::remove(path.c_str());
}

// A failure also discards the records of an earlier load; a success appends.
TEST_P(HostileLog, AfterAnEarlierLoad) {
    const HostileCase& c = GetParam();
    const std::string ref = reference();
    GameLibrary lib;
    ASSERT_TRUE(lib.loadFromMemory(ref.data(), ref.size()));
    ASSERT_EQ(lib.recordCount(), 2);
    const bool loaded = lib.loadFromMemory(c.log.data(), c.log.size());
    expectOutcome(lib, loaded, 2, c);
    if (loaded) {
        EXPECT_STREQ(lib.record(0)->tableName, "TABLE");
        EXPECT_STREQ(lib.record(1)->tableName, "TABLE-B");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileLog, testing::ValuesIn(hostileCases()), caseName);

// The file is read in large blocks: line ends, CRs, 0x1A and over-long lines that
// straddle a block boundary must read as they do anywhere else. Each row places its
// bytes at a chosen distance from the 64 KiB mark, after a half-game padded with free lines.
constexpr std::size_t kBlock = 64 * 1024;

// Header, players and one hand, then free lines up to exactly offset bytes.
std::string openGameUpTo(std::size_t offset) {
    std::string log = firstLines(4);
    const std::string line(99, 'f');
    while (log.size() + 100 <= offset) {
        log += line + "\n";
    }
    if (log.size() < offset) {
        log += std::string(offset - log.size() - 1, 'f') + "\n";
    }
    return log;
}

// The rest of the first half-game after its result header, and the second half-game.
std::string placingsAndNextGame() {
    return join(lineRange(9, 21));
}
// The second half-game alone.
std::string nextGame() {
    return join(lineRange(15, 21));
}

// A completed half-game whose footer line's LF is the byte before offset end.
std::string completedGameEndingAt(std::size_t end) {
    const std::string tail = join(lineRange(8, 13));
    return openGameUpTo(end - tail.size()) + tail;
}

struct BoundaryCase {
    const char* name;
    std::function<std::string()> build;
    int records;
    Check check = nullptr;
};

void expectEarlyEnd(const GameLibrary& lib) {
    EXPECT_STREQ(lib.record(0)->placings[0], "途中終了");
    EXPECT_EQ(lib.record(0)->hands.size(), 2u);
}

std::vector<BoundaryCase> boundaryCases() {
    const std::string result = "  ---- 試合結果 ----";
    const std::size_t r = result.size();
    const std::string line199(199, 'g');
    return {
        {"CrLfAcrossBoundary",
         [=] { return openGameUpTo(kBlock - 1 - r) + result + "\r\n" + placingsAndNextGame(); }, 2},
        {"CrLastByteOfBlockThenData",
         [=] { return openGameUpTo(kBlock - 1 - r) + result + "\rX\n" + nextGame(); }, 1,
         expectEarlyEnd},
        {"TwoCrsAcrossBoundary",
         [=] { return openGameUpTo(kBlock - 1 - r) + result + "\r\r\n" + nextGame(); }, 1,
         expectEarlyEnd},
        {"LfFirstByteOfBlock",
         [=] { return openGameUpTo(kBlock - r) + result + "\n" + placingsAndNextGame(); }, 2},
        {"MarkerAcrossBoundary",
         [=] { return openGameUpTo(kBlock - 6) + result + "\n" + placingsAndNextGame(); }, 2},
        {"HandMarkerAcrossBoundary",
         [=] {
             return openGameUpTo(kBlock - 12) + "  HAND-2 1本場(リーチ1) A B C D\n    YAKU-2\n" +
                    result + "\n" + placingsAndNextGame();
         },
         2, [](const GameLibrary& lib) { EXPECT_EQ(lib.record(0)->hands.size(), 2u); }},
        {"Line199AcrossBoundary",
         [=] {
             return openGameUpTo(kBlock - 100) + line199 + "\n" + result + "\n" +
                    placingsAndNextGame();
         },
         2},
        {"Line199CrLastOfBlockLfFirst",
         [=] {
             return openGameUpTo(kBlock - 200) + line199 + "\r\n" + result + "\n" +
                    placingsAndNextGame();
         },
         2},
        {"Line199CrLastOfBlockThenData",
         [=] {
             return openGameUpTo(kBlock - 200) + line199 + "\rg\n" + result + "\n" +
                    placingsAndNextGame();
         },
         kFails},
        // 198 bytes and a CR that is data make a line of 200.
        {"Line198CrLastOfBlockThenData",
         [=] {
             return openGameUpTo(kBlock - 199) + std::string(198, 'g') + "\rg\n" + result + "\n" +
                    placingsAndNextGame();
         },
         kFails},
        {"Line200AcrossBoundary",
         [=] {
             return openGameUpTo(kBlock - 100) + line199 + "g\n" + result + "\n" +
                    placingsAndNextGame();
         },
         kFails},
        {"EndOfFileByteFirstOfBlock",
         [=] { return completedGameEndingAt(kBlock) + "\x1a" + garbage(5000, 1, true); }, 1},
        {"EndOfFileByteLastOfBlock",
         [=] { return completedGameEndingAt(kBlock - 1) + "\x1a" + garbage(5000, 1, true); }, 1},
        {"EndOfFileByteInsideFooter",
         [=] {
             std::string log = completedGameEndingAt(kBlock + 5) + garbage(5000, 1, true);
             log[kBlock] = '\x1a';
             return log;
         },
         1, [](const GameLibrary& lib) { EXPECT_STREQ(lib.record(0)->endTime, "2003/01/01 2"); }},
        {"OverlongLineInSecondBlock",
         [=] {
             return openGameUpTo(kBlock + 5000) + std::string(300, 'g') + "\n" + result + "\n" +
                    placingsAndNextGame();
         },
         kFails},
        {"ValidAcrossManyBlocks",
         [=] { return openGameUpTo(3 * kBlock + 17) + result + "\n" + placingsAndNextGame(); }, 2},
    };
}

std::string boundaryName(const testing::TestParamInfo<BoundaryCase>& info) {
    return info.param.name;
}

class BlockBoundary : public testing::TestWithParam<BoundaryCase> {};

TEST_P(BlockBoundary, FileAndMemoryAgree) {
    const BoundaryCase& c = GetParam();
    const std::string log = c.build();
    ASSERT_GT(log.size(), kBlock - 300);
    const std::string path = tempPath(std::string("block_") + c.name);
    ASSERT_TRUE(writeFile(path, log));

    GameLibrary fromFile;
    fromFile.filePath = path;
    GameLibrary fromMemory;
    const bool fileLoaded = fromFile.load();
    const bool memoryLoaded = fromMemory.loadFromMemory(log.data(), log.size());
    std::remove(path.c_str());

    EXPECT_EQ(fileLoaded, c.records != kFails);
    EXPECT_EQ(memoryLoaded, c.records != kFails);
    const int expected = c.records == kFails ? 0 : c.records;
    ASSERT_EQ(fromFile.recordCount(), expected);
    ASSERT_EQ(fromMemory.recordCount(), expected);
    for (const GameLibrary* lib : {&fromFile, &fromMemory}) {
        expectRecordInvariants(*lib);
        if (c.check && expected > 0) {
            c.check(*lib);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, BlockBoundary, testing::ValuesIn(boundaryCases()), boundaryName);

// A long valid log spoiled by its very last line still loads nothing.
struct SpoiledEnd {
    const char* name;
    std::string lastLine;
};

class GeneratedLogThenBadLine : public testing::TestWithParam<SpoiledEnd> {
  protected:
    static const std::string& generated() {
        static const std::string log = [] {
            GeneratorOptions options;
            options.seed = 20030101;
            options.halfGames = 5000;
            options.averageHands = 4;
            return generateScoreLog(options);
        }();
        return log;
    }
};

TEST(GeneratedLog, FiveThousandRecordsLoad) {
    GeneratorOptions options;
    options.seed = 20030101;
    options.halfGames = 5000;
    options.averageHands = 4;
    GeneratorStats stats;
    const std::string log = generateScoreLog(options, &stats);
    GameLibrary lib;
    ASSERT_TRUE(lib.loadFromMemory(log.data(), log.size()));
    ASSERT_EQ(lib.recordCount(), 5000);
    std::uint64_t hands = 0;
    for (int i = 0; i < lib.recordCount(); ++i) {
        hands += lib.record(i)->hands.size();
    }
    EXPECT_EQ(hands, stats.hands);
    expectRecordInvariants(lib);
}

TEST_P(GeneratedLogThenBadLine, FailsEmpty) {
    const std::string log = generated() + GetParam().lastLine;
    GameLibrary lib;
    EXPECT_FALSE(lib.loadFromMemory(log.data(), log.size()));
    EXPECT_EQ(lib.recordCount(), 0);

    const std::string path = tempPath(std::string("generated_") + GetParam().name);
    ASSERT_TRUE(writeFile(path, log));
    lib.filePath = path;
    EXPECT_FALSE(lib.load());
    EXPECT_EQ(lib.recordCount(), 0);
    std::remove(path.c_str());
}

std::string spoiledName(const testing::TestParamInfo<SpoiledEnd>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GeneratedLogThenBadLine,
    testing::Values(SpoiledEnd{"EmptyLine", "\n"}, SpoiledEnd{"CrLf", "\r\n"},
                    SpoiledEnd{"Word", "x"}, SpoiledEnd{"HeaderOnly", "===== T 開始 x\r\n"},
                    SpoiledEnd{"Overlong", std::string(200, 'x')},
                    SpoiledEnd{"OverlongAfterEndOfLine", "\r\n" + std::string(300, 'x')},
                    SpoiledEnd{"NulByte", std::string(1, '\0')}, SpoiledEnd{"LeadByte", "\x82"}),
    spoiledName);

// Loading and clearing over and over holds on to nothing: run under LeakSanitizer,
// any record, hand or index left behind is reported at exit.
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kSamplePath = std::string(PAIVIEW_SOURCE_DIR) + "/samples/tonpuso.txt";

TEST(LoadClearCycles, SampleFromMemoryAndFile) {
    const std::string sample = readFile(kSamplePath);
    ASSERT_FALSE(sample.empty());
    GameLibrary probe;
    ASSERT_TRUE(probe.loadFromMemory(sample.data(), sample.size()));
    const int count = probe.recordCount();
    ASSERT_GT(count, 0);

    GameLibrary lib;
    lib.filePath = kSamplePath;
    for (int cycle = 0; cycle < 1000; ++cycle) {
        const bool loaded =
            (cycle % 2 == 0) ? lib.loadFromMemory(sample.data(), sample.size()) : lib.load();
        if (!loaded || lib.recordCount() != count) {
            FAIL() << "cycle " << cycle << ": " << lib.recordCount() << " records";
        }
        lib.clear();
        if (lib.recordCount() != 0) {
            FAIL() << "cycle " << cycle << " not cleared";
        }
    }
}

TEST(LoadClearCycles, HostileLogsAfterTheSample) {
    const std::string sample = readFile(kSamplePath);
    ASSERT_FALSE(sample.empty());
    const std::vector<HostileCase> cases = hostileCases();
    GameLibrary lib;
    for (int cycle = 0; cycle < 1000; ++cycle) {
        // A success appends to the sample, a failure destroys it: both must free all.
        ASSERT_TRUE(lib.loadFromMemory(sample.data(), sample.size()));
        const HostileCase& c = cases[static_cast<std::size_t>(cycle) % cases.size()];
        const bool loaded = lib.loadFromMemory(c.log.data(), c.log.size());
        if (loaded != (c.records != kFails)) {
            FAIL() << "cycle " << cycle << ": " << c.name;
        }
        if (cycle % 3 != 0) {
            lib.clear();
        }
    }
    lib.clear();
    lib.clear();
    EXPECT_EQ(lib.recordCount(), 0);
}

} // namespace
