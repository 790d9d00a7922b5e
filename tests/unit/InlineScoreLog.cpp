// Writes small score logs from a description, for tests that load them from memory.
#include "tests/unit/InlineScoreLog.h"

std::string loadedHandName(const std::string& name) {
    return name + " 0本場(リーチ0)";
}

std::string inlineScoreLog(const std::vector<InlineGame>& games) {
    std::string log;
    for (const InlineGame& game : games) {
        log += "===== " + game.table + " 開始 " + game.start + "\n";
        log += game.players + "\n";
        for (const InlineHand& hand : game.hands) {
            log += "  " + loadedHandName(hand.name);
            if (!hand.result.empty()) {
                log += " " + hand.result;
            }
            log += "\n    " + hand.yaku + "\n";
        }
        if (game.placings.empty()) {
            log += "   ユーザ切断により途中終了\n";
        } else {
            log += "  ---- 試合結果 ----\n";
            for (const std::string& placing : game.placings) {
                log += "  " + placing + "\n";
            }
        }
        log += "----- " + game.table + " 終了 " + game.end + "\n\n";
    }
    return log;
}
