// Loading whole score logs: the worked example, failures, appends, clear and files on disk.
#include "model/GameLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tests/unit/TempFile.h"
#include "tests/unit/WorkedExample.h"
#include "samples/generator/ScoreLogGenerator.h"

namespace {

bool loadText(GameLibrary& library, const std::string& text) {
    return library.loadFromMemory(text.data(), text.size());
}

void expectWorkedExample(const GameLibrary& library, int first = 0) {
    ASSERT_GE(library.recordCount(), first + 2);
    const GameRecord& a = *library.record(first);
    EXPECT_STREQ(a.tableName, "TABLE");
    EXPECT_STREQ(a.startTime, "2003/01/01 21:00");
    EXPECT_STREQ(a.endTime, "2003/01/01 21:45");
    EXPECT_EQ(a.playerCount, 4);
    EXPECT_STREQ(a.playerLine,
                 "[1]NAME-A RATE-A [2]NAME-B RATE-B [3]NAME-C RATE-C [4]NAME-D RATE-D");
    ASSERT_EQ(handCount(a), 2u);
    const HandRecord& h1 = a.hands.front();
    const HandRecord& h2 = a.hands.back();
    EXPECT_STREQ(h1.handName, "HAND-1 0本場(リーチ0)");
    EXPECT_STREQ(h1.handResult, "NAME-A SCORE-A NAME-B SCORE-B");
    EXPECT_STREQ(h1.handYaku, "YAKU-1");
    EXPECT_STREQ(h2.handName, "HAND-2 1本場(リーチ1)");
    EXPECT_STREQ(h2.handResult, "NAME-C SCORE-C NAME-D SCORE-D");
    EXPECT_STREQ(h2.handYaku, "YAKU-2");
    EXPECT_STREQ(a.placings[0], "1位 PLACE-1");
    EXPECT_STREQ(a.placings[1], "2位 PLACE-2");
    EXPECT_STREQ(a.placings[2], "3位 PLACE-3");
    EXPECT_STREQ(a.placings[3], "4位 PLACE-4");

    const GameRecord& b = *library.record(first + 1);
    EXPECT_STREQ(b.tableName, "TABLE-B");
    EXPECT_STREQ(b.startTime, "2003/01/01 22:00");
    EXPECT_STREQ(b.endTime, "2003/01/01 22:10");
    EXPECT_EQ(b.playerCount, 3);
    EXPECT_STREQ(b.playerLine, "[1]NAME-A RATE-A [2]NAME-B RATE-B [3]NAME-C RATE-C");
    ASSERT_EQ(handCount(b), 1u);
    EXPECT_STREQ(b.hands.front().handName, "HAND-1 0本場(リーチ0)");
    EXPECT_STREQ(b.hands.front().handResult, "NAME-A SCORE-A NAME-B SCORE-B");
    EXPECT_STREQ(b.hands.front().handYaku, "YAKU-1");
    EXPECT_STREQ(b.placings[0], "途中終了");
    EXPECT_STREQ(b.placings[1], "");
    EXPECT_STREQ(b.placings[2], "");
    EXPECT_STREQ(b.placings[3], "");
}

TEST(GameLibraryWorkedExample, LoadsWithCrLf) {
    GameLibrary library;
    ASSERT_TRUE(loadText(library, workedExample("\r\n")));
    EXPECT_EQ(library.recordCount(), 2);
    expectWorkedExample(library);
}

TEST(GameLibraryWorkedExample, LoadsWithLf) {
    GameLibrary library;
    ASSERT_TRUE(loadText(library, workedExample("\n")));
    EXPECT_EQ(library.recordCount(), 2);
    expectWorkedExample(library);
}

// ---- whole logs: load or not, and what a failure does to earlier records ----------------

std::vector<std::string> withLine(std::vector<std::string> lines, std::size_t index,
                                  const std::string& line) {
    lines.at(index) = line;
    return lines;
}

std::vector<std::string> withoutLine(std::vector<std::string> lines, std::size_t index) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(index));
    return lines;
}

std::vector<std::string> firstLines(std::size_t count) {
    std::vector<std::string> lines = workedExampleLines();
    lines.resize(count);
    return lines;
}

// Alternates LF and CR LF from line to line.
std::string mixedLineEnds(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i] + (i % 2 ? "\r\n" : "\n");
    }
    return text;
}

struct LogCase {
    const char* name;
    std::string text;
    bool ok;
    int records; // added by a successful load
};

std::vector<LogCase> logCases() {
    const std::vector<std::string> example = workedExampleLines();
    const std::string crlf = "\r\n";
    const std::string longLine(250, 'L');
    // Indices into the example: 12 and 19 are footers, 13 and 20 separators.
    return {
        {"empty file", "", true, 0},
        {"worked example CR LF", workedExample("\r\n"), true, 2},
        {"worked example LF", workedExample("\n"), true, 2},
        {"mixed line ends", mixedLineEnds(example), true, 2},
        {"single empty line", "\n", false, 0},
        {"single CR LF", "\r\n", false, 0},
        {"extra empty line at the end", workedExample("\r\n") + "\r\n", false, 0},
        {"empty line before first header", "\r\n" + workedExample("\r\n"), false, 0},
        {"ends after last footer with line end", joinLines(firstLines(20), "\r\n"), true, 2},
        {"ends after last footer without line end",
         joinLines(firstLines(20), "\r\n").substr(0, joinLines(firstLines(20), "\r\n").size() - 2),
         true, 2},
        {"footer followed by next header", joinLines(withoutLine(example, 13), "\r\n"), false, 0},
        {"end of file byte after first half-game",
         joinLines(firstLines(14), "\r\n") + "\x1A" + joinLines(example, "\r\n"), true, 1},
        {"end of file byte first", "\x1A" + workedExample("\r\n"), true, 0},
        {"end of file byte inside second half-game",
         joinLines(firstLines(17), "\r\n") + "\x1A"
                                             "rest\r\n",
         false, 0},
        {"overlong separator", joinLines(withLine(example, 13, longLine), "\r\n"), false, 0},
        {"overlong last separator", joinLines(withLine(example, 20, longLine), "\r\n"), false, 0},
        {"overlong footer with both markers early",
         joinLines(withLine(example, 19, "----- TABLE-B 終了 2003/01/01 22:10 " + longLine),
                   "\r\n"),
         false, 0},
        {"overlong free line", joinLines(withLine(example, 4, "    " + longLine), "\r\n"), false,
         0},
        {"separator of 199 bytes", joinLines(withLine(example, 13, std::string(199, 's')), "\r\n"),
         true, 2},
        {"separator of any content", joinLines(withLine(example, 13, "===== x 開始 y"), "\r\n"),
         true, 2},
        {"second half-game broken", joinLines(withLine(example, 15, "  [1]A a"), "\r\n"), false, 0},
        {"result header right after players",
         joinLines(firstLines(2), "\r\n") + "  ---- 試合結果 ----\r\n  1位 x\r\n  2位 x\r\n"
                                            "  3位 x\r\n  4位 x\r\n----- T 終了 t\r\n\r\n",
         false, 0},
        {"abort right after players",
         joinLines(firstLines(2), "\r\n") + "   ユーザ切断により途中終了\r\n----- T 終了 t\r\n\r\n",
         true, 1},
        // The placings become free lines, up to the next game's hand and abort line.
        {"result header with trailing space swallows next game",
         joinLines(withLine(example, 7, "  ---- 試合結果 ---- "), "\r\n"), true, 1},
        {"result header with trailing space in last game",
         joinLines(withLine(firstLines(14), 7, "  ---- 試合結果 ---- "), "\r\n"), false, 0},
        {"too few placing lines", joinLines(withoutLine(example, 11), "\r\n"), false, 0},
        {"header at position 6",
         joinLines(withLine(example, 0, "===== 開始 2003/01/01 21:00"), "\r\n"), true, 2},
        {"long hand title",
         joinLines(withLine(example, 2, "  " + std::string(60, 'h') + " 0本場(リーチ0) A a"),
                   "\r\n"),
         true, 2},
        {"null byte hides header marker",
         joinLines(withLine(example, 0, std::string("===== TABLE\0 開始 x", 19)), "\r\n"), false,
         0},
    };
}

class GameLibraryLogs : public ::testing::TestWithParam<LogCase> {};

std::string paramName(const ::testing::TestParamInfo<LogCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) {
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    }
    return name;
}

TEST_P(GameLibraryLogs, IntoEmptyLibrary) {
    const LogCase& c = GetParam();
    GameLibrary library;
    EXPECT_EQ(loadText(library, c.text), c.ok);
    EXPECT_EQ(library.recordCount(), c.ok ? c.records : 0);
}

TEST_P(GameLibraryLogs, AfterEarlierLoad) {
    const LogCase& c = GetParam();
    GameLibrary library;
    ASSERT_TRUE(loadText(library, workedExample("\n")));
    EXPECT_EQ(loadText(library, c.text), c.ok);
    // A failed load takes the earlier records with it.
    EXPECT_EQ(library.recordCount(), c.ok ? 2 + c.records : 0);
    if (c.ok) {
        expectWorkedExample(library);
    }
}

TEST_P(GameLibraryLogs, FromFile) {
    const LogCase& c = GetParam();
    TempFile file(c.text);
    GameLibrary library;
    library.filePath = file.path();
    EXPECT_EQ(library.load(), c.ok);
    EXPECT_EQ(library.recordCount(), c.ok ? c.records : 0);
}

INSTANTIATE_TEST_SUITE_P(Logs, GameLibraryLogs, ::testing::ValuesIn(logCases()), paramName);

TEST(GameLibraryFields, HeaderAtPositionSixGivesEmptyTableName) {
    GameLibrary library;
    const std::vector<std::string> lines =
        withLine(workedExampleLines(), 0, "===== 開始 2003/01/01 21:00");
    ASSERT_TRUE(loadText(library, joinLines(lines, "\r\n")));
    EXPECT_STREQ(library.record(0)->tableName, "");
    EXPECT_STREQ(library.record(0)->startTime, "2003/01/01 21:00");
}

TEST(GameLibraryFields, LongHandTitleIsCutAndResultKept) {
    GameLibrary library;
    const std::string title = std::string(40, 'h') + " 0本場(リーチ0)";
    const std::vector<std::string> lines =
        withLine(workedExampleLines(), 2, "  " + title + " NAME-A SCORE-A");
    ASSERT_TRUE(loadText(library, joinLines(lines, "\r\n")));
    const HandRecord& hand = library.record(0)->hands.front();
    EXPECT_EQ(std::string(hand.handName), title.substr(0, kHandNameSize - 1));
    EXPECT_STREQ(hand.handResult, "NAME-A SCORE-A");
    EXPECT_STREQ(hand.handYaku, "YAKU-1");
}

TEST(GameLibraryFields, AbortBeforeFirstHandHasNoHands) {
    GameLibrary library;
    std::vector<std::string> lines = firstLines(2);
    lines.push_back("   ユーザ切断により途中終了");
    lines.push_back("----- TABLE 終了 2003/01/01 21:05");
    ASSERT_TRUE(loadText(library, joinLines(lines, "\n")));
    const GameRecord& record = *library.record(0);
    EXPECT_EQ(handCount(record), 0u);
    EXPECT_STREQ(record.placings[0], "途中終了");
    EXPECT_STREQ(record.endTime, "2003/01/01 21:05");
}

TEST(GameLibraryFields, CrLfAndLfGiveTheSameRecords) {
    GameLibrary crlf;
    GameLibrary lf;
    ASSERT_TRUE(loadText(crlf, workedExample("\r\n")));
    ASSERT_TRUE(loadText(lf, workedExample("\n")));
    for (int i = 0; i < 2; ++i) {
        const GameRecord& a = *crlf.record(i);
        const GameRecord& b = *lf.record(i);
        EXPECT_STREQ(a.tableName, b.tableName);
        EXPECT_STREQ(a.playerLine, b.playerLine);
        EXPECT_STREQ(a.endTime, b.endTime);
        for (int p = 0; p < kPlacingCount; ++p) {
            EXPECT_STREQ(a.placings[p], b.placings[p]);
        }
        EXPECT_STREQ(a.hands.back().handYaku, b.hands.back().handYaku);
    }
}

// ---- the library as a whole ----------------------------------------------------------------

TEST(GameLibrary, ConstructorSetsFileDialogDefaults) {
    GameLibrary library;
    EXPECT_EQ(library.defaultExt, "txt");
    EXPECT_EQ(library.filter, "Text Files(*.txt)|*.txt|");
    EXPECT_EQ(library.filterIndex, 1);
    EXPECT_EQ(library.flags, 0x1804u);
    EXPECT_EQ(library.initialDir, "c:\\program files\\");
    EXPECT_EQ(library.filePath, "");
    EXPECT_EQ(library.fileTitle, "");
    EXPECT_EQ(library.fileOffset, 0);
    EXPECT_EQ(library.extensionOffset, 0);
    EXPECT_STREQ(library.fileName(), "");
    EXPECT_EQ(library.recordCount(), 0);
}

TEST(GameLibrary, SecondLoadAppendsInFileOrder) {
    GameLibrary library;
    GeneratorOptions options;
    options.seed = 5;
    options.halfGames = 7;
    const std::string generated = generateScoreLog(options);
    ASSERT_TRUE(loadText(library, workedExample("\r\n")));
    ASSERT_TRUE(loadText(library, generated));
    ASSERT_TRUE(loadText(library, workedExample("\n")));
    ASSERT_EQ(library.recordCount(), 2 + 7 + 2);
    expectWorkedExample(library, 0);
    expectWorkedExample(library, 9);

    GameLibrary alone;
    ASSERT_TRUE(loadText(alone, generated));
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(library.record(2 + i)->tableName, alone.record(i)->tableName);
        EXPECT_STREQ(library.record(2 + i)->startTime, alone.record(i)->startTime);
    }
    // Every position is a distinct record.
    for (int i = 1; i < library.recordCount(); ++i) {
        EXPECT_NE(library.record(i), library.record(i - 1));
    }
}

TEST(GameLibrary, ClearEmptiesAndKeepsThePath) {
    GameLibrary library;
    library.clear();
    library.clear();
    EXPECT_EQ(library.recordCount(), 0);
    library.filePath = "c:\\logs\\tonpuso.txt";
    ASSERT_TRUE(loadText(library, workedExample("\r\n")));
    library.clear();
    EXPECT_EQ(library.recordCount(), 0);
    library.clear();
    EXPECT_EQ(library.recordCount(), 0);
    EXPECT_EQ(library.filePath, "c:\\logs\\tonpuso.txt");
    ASSERT_TRUE(loadText(library, workedExample("\r\n")));
    expectWorkedExample(library);
}

TEST(GameLibrary, EmptyLoadIntoEmptyLibrary) {
    GameLibrary library;
    EXPECT_TRUE(loadText(library, ""));
    EXPECT_EQ(library.recordCount(), 0);
    ASSERT_TRUE(loadText(library, workedExample("\r\n")));
    EXPECT_TRUE(loadText(library, ""));
    expectWorkedExample(library);
}

// ---- files on disk ---------------------------------------------------------------------------

struct MissingCase {
    const char* name;
    std::string path;
};

class GameLibraryUnreadable : public ::testing::TestWithParam<MissingCase> {};

// Nothing that cannot be read as a file changes the library.
TEST_P(GameLibraryUnreadable, LeavesRecordsUnchanged) {
    GameLibrary library;
    ASSERT_TRUE(loadText(library, workedExample("\r\n")));
    library.filePath = GetParam().path;
    EXPECT_FALSE(library.load());
    EXPECT_EQ(library.recordCount(), 2);
    expectWorkedExample(library);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, GameLibraryUnreadable,
    ::testing::Values(
        MissingCase{"EmptyName", ""},
        MissingCase{"MissingFile",
                    (std::filesystem::temp_directory_path() / "paiview-no-such-file.txt").string()},
        MissingCase{"MissingFolder",
                    (std::filesystem::temp_directory_path() / "paiview-no-such-folder" / "log.txt")
                        .string()},
        MissingCase{"Folder", std::filesystem::temp_directory_path().string()}),
    [](const ::testing::TestParamInfo<MissingCase>& info) { return info.param.name; });

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

const std::string kSamplePath = std::string(PAIVIEW_SOURCE_DIR) + "/samples/tonpuso.txt";

TEST(GameLibrarySample, LoadsWithItsHalfGames) {
    GameLibrary library;
    library.filePath = kSamplePath;
    ASSERT_TRUE(library.load());
    ASSERT_EQ(library.recordCount(), 16);
    int twoPlayers = 0, threePlayers = 0, fourPlayers = 0, aborted = 0, noHands = 0;
    for (int i = 0; i < library.recordCount(); ++i) {
        const GameRecord& record = *library.record(i);
        twoPlayers += record.playerCount == 2;
        threePlayers += record.playerCount == 3;
        fourPlayers += record.playerCount == 4;
        const bool isAborted = std::strcmp(record.placings[0], "途中終了") == 0;
        aborted += isAborted;
        noHands += handCount(record) == 0;
        if (!isAborted) {
            EXPECT_GE(handCount(record), 10u) << i;
            EXPECT_LE(handCount(record), 14u) << i;
        }
    }
    EXPECT_GT(twoPlayers, 0);
    EXPECT_GT(threePlayers, 0);
    EXPECT_GT(fourPlayers, 0);
    EXPECT_GT(aborted, 1);
    EXPECT_EQ(noHands, 1);
}

TEST(GameLibrarySample, LoadsTheSameWithLfLineEnds) {
    std::string bytes = readBytes(kSamplePath);
    ASSERT_NE(bytes.find("\r\n"), std::string::npos);
    GameLibrary crlf;
    ASSERT_TRUE(loadText(crlf, bytes));
    std::string lf;
    for (char c : bytes) {
        if (c != '\r') {
            lf += c;
        }
    }
    GameLibrary library;
    ASSERT_TRUE(loadText(library, lf));
    ASSERT_EQ(library.recordCount(), crlf.recordCount());
    for (int i = 0; i < library.recordCount(); ++i) {
        EXPECT_STREQ(library.record(i)->playerLine, crlf.record(i)->playerLine);
        EXPECT_STREQ(library.record(i)->placings[0], crlf.record(i)->placings[0]);
        EXPECT_EQ(handCount(*library.record(i)), handCount(*crlf.record(i)));
    }
}

TEST(GameLibrarySample, LoadsTwiceFromDiskAppending) {
    GameLibrary library;
    library.filePath = kSamplePath;
    ASSERT_TRUE(library.load());
    ASSERT_TRUE(library.load());
    ASSERT_EQ(library.recordCount(), 32);
    for (int i = 0; i < 16; ++i) {
        EXPECT_STREQ(library.record(i)->tableName, library.record(16 + i)->tableName);
        EXPECT_NE(library.record(i), library.record(16 + i));
    }
}

// ---- generated logs: every record keeps the record invariants --------------------------------

void expectInvariants(const GameRecord& record) {
    ASSERT_GE(record.playerCount, 2);
    ASSERT_LE(record.playerCount, 4);
    EXPECT_LE(std::strlen(record.startTime), 16u);
    EXPECT_LE(std::strlen(record.endTime), 16u);
    if (std::strcmp(record.placings[0], "途中終了") == 0) {
        for (int i = 1; i < kPlacingCount; ++i) {
            EXPECT_STREQ(record.placings[i], "");
        }
        return;
    }
    EXPECT_EQ(std::strncmp(record.placings[0], "1位 ", 4), 0);
    EXPECT_GE(handCount(record), 1u);
    for (int i = 1; i < kPlacingCount; ++i) {
        EXPECT_EQ(record.placings[i][0] != '\0', i < record.playerCount) << "place " << i + 1;
    }
}

class GeneratedLogs : public ::testing::TestWithParam<int> {};

TEST_P(GeneratedLogs, LoadWhole) {
    GeneratorOptions options;
    options.seed = static_cast<std::uint64_t>(GetParam()) * 7919;
    options.halfGames = 20 + GetParam() % 40;
    options.crlf = GetParam() % 2 == 0;
    options.abortedPercent = 10 + GetParam();
    GeneratorStats stats;
    const std::string log = generateScoreLog(options, &stats);
    EXPECT_EQ(stats.halfGames, options.halfGames);
    EXPECT_EQ(stats.completed + stats.aborted, stats.halfGames);
    EXPECT_EQ(stats.twoPlayer + stats.threePlayer + stats.fourPlayer, stats.halfGames);

    GameLibrary library;
    ASSERT_TRUE(loadText(library, log));
    ASSERT_EQ(library.recordCount(), expectedRecordCount(options));
    std::uint64_t hands = 0;
    int aborted = 0, noHands = 0, players[5] = {};
    for (int i = 0; i < library.recordCount(); ++i) {
        const GameRecord& record = *library.record(i);
        expectInvariants(record);
        hands += handCount(record);
        const bool isAborted = std::strcmp(record.placings[0], "途中終了") == 0;
        aborted += isAborted;
        noHands += isAborted && handCount(record) == 0;
        players[record.playerCount]++;
    }
    EXPECT_EQ(hands, stats.hands);
    EXPECT_EQ(aborted, stats.aborted);
    EXPECT_EQ(noHands, stats.abortedWithoutHands);
    EXPECT_EQ(players[2], stats.twoPlayer);
    EXPECT_EQ(players[3], stats.threePlayer);
    EXPECT_EQ(players[4], stats.fourPlayer);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedLogs, ::testing::Range(0, 24));

TEST(Generator, SameOptionsSameBytes) {
    GeneratorOptions options;
    options.seed = 42;
    options.halfGames = 30;
    EXPECT_EQ(generateScoreLog(options), generateScoreLog(options));
    GeneratorOptions other = options;
    other.seed = 43;
    EXPECT_NE(generateScoreLog(options), generateScoreLog(other));
}

TEST(Generator, LineEndsOnlyDifferInCr) {
    GeneratorOptions options;
    options.seed = 9;
    options.halfGames = 10;
    const std::string crlf = generateScoreLog(options);
    options.crlf = false;
    const std::string lf = generateScoreLog(options);
    std::string stripped;
    for (char c : crlf) {
        if (c != '\r') {
            stripped += c;
        }
    }
    EXPECT_EQ(stripped, lf);
    EXPECT_EQ(crlf.size() - lf.size(),
              static_cast<std::size_t>(std::count(lf.begin(), lf.end(), '\n')));
}

TEST(Generator, NoGamesGivesAnEmptyLog) {
    GeneratorOptions options;
    options.halfGames = 0;
    EXPECT_EQ(generateScoreLog(options), "");
    EXPECT_EQ(expectedRecordCount(options), 0);
}

TEST(Generator, NoAbortsWhenAskedForNone) {
    GeneratorOptions options;
    options.halfGames = 50;
    options.abortedPercent = 0;
    GeneratorStats stats;
    generateScoreLog(options, &stats);
    EXPECT_EQ(stats.aborted, 0);
    EXPECT_EQ(stats.completed, 50);
}

} // namespace
