// Loading whole score logs: the worked example, failures, appends, clear and files on disk.
#include "model/GameLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempFile.h"
#include "WorkedExample.h"
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

} // namespace
