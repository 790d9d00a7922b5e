// The markers of the score log's lines, spelled once.
#include "model/LogMarkers.h"

namespace logmark {

const std::string_view kHeader = "===== ";
const std::string_view kStart = "開始";
const std::string_view kSeatMarks[4] = {"[1]", "[2]", "[3]", "[4]"};
const std::string_view kRound = "本場(リーチ";
const std::string_view kResults = "  ---- 試合結果 ----";
const std::string_view kAbort = "   ユーザ切断により途中終了";
const std::string_view kFirstPlacing = "  1位 ";
const std::string_view kFooter = "----- ";
const std::string_view kEnd = "終了";
const std::string_view kAborted = "途中終了";

} // namespace logmark

bool isHeaderLine(std::string_view line) {
    return line.substr(0, logmark::kHeader.size()) == logmark::kHeader &&
           line.find(logmark::kStart) != std::string_view::npos;
}

int seatMarkAt(std::string_view line, std::size_t at) {
    if (at + 2 >= line.size() || line[at] != '[' || line[at + 2] != ']') {
        return 0;
    }
    const char digit = line[at + 1];
    return digit >= '1' && digit <= '9' ? digit - '0' : 0;
}

int seatsBeyondFour(std::string_view playerLine) {
    int count = 0;
    for (std::size_t at = playerLine.find('['); at != std::string_view::npos;
         at = playerLine.find('[', at + 1)) {
        count += seatMarkAt(playerLine, at) > 4;
    }
    return count;
}
