// The two-half-game log that every core test starts from, in both line-end styles.
#include "tests/unit/WorkedExample.h"

const char* const kWorkedExampleLines[kWorkedExampleLineCount] = {
    "===== TABLE 開始 2003/01/01 21:00",
    "  [1]NAME-A RATE-A [2]NAME-B RATE-B [3]NAME-C RATE-C [4]NAME-D RATE-D",
    "  HAND-1 0本場(リーチ0) NAME-A SCORE-A NAME-B SCORE-B",
    "    YAKU-1",
    "    FREE TEXT",
    "  HAND-2 1本場(リーチ1) NAME-C SCORE-C NAME-D SCORE-D",
    "    YAKU-2",
    "  ---- 試合結果 ----",
    "  1位 PLACE-1",
    "  2位 PLACE-2",
    "  3位 PLACE-3",
    "  4位 PLACE-4",
    "----- TABLE 終了 2003/01/01 21:45",
    "",
    "===== TABLE-B 開始 2003/01/01 22:00",
    "  [1]NAME-A RATE-A [2]NAME-B RATE-B [3]NAME-C RATE-C",
    "  HAND-1 0本場(リーチ0) NAME-A SCORE-A NAME-B SCORE-B",
    "    YAKU-1",
    "   ユーザ切断により途中終了",
    "----- TABLE-B 終了 2003/01/01 22:10",
    "",
};

std::string joinLines(const std::vector<std::string>& lines, const char* eol) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += eol;
    }
    return text;
}

std::vector<std::string> workedExampleLines() {
    return std::vector<std::string>(kWorkedExampleLines,
                                    kWorkedExampleLines + kWorkedExampleLineCount);
}

std::string workedExample(const char* eol) {
    return joinLines(workedExampleLines(), eol);
}
