// Score logs written by the tests themselves: a small builder and the files on disk.
#include "tests/e2e/ScoreLogs.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>

namespace e2e {

std::string scoreLog(const std::vector<HalfGame>& games) {
    std::string log;
    auto line = [&log](const std::string& text) { log += text + "\r\n"; };
    for (const HalfGame& game : games) {
        line("===== " + game.table + " 開始 " + game.startTime);
        std::string players;
        for (const std::string& player : game.players)
            players += (players.empty() ? "" : " ") + player;
        line("  " + players);
        for (const HandLines& hand : game.hands) {
            line("  " + hand.title + " " + hand.result);
            line("    " + hand.yaku);
        }
        if (game.aborted) {
            line("   ユーザ切断により途中終了");
        } else {
            line("  ---- 試合結果 ----");
            for (const std::string& placing : game.placings)
                line("  " + placing);
        }
        line("----- " + game.table + " 終了 " + game.endTime);
        line("");
    }
    return log;
}

HalfGame plainGame(int number) {
    char table[32], start[32], end[32];
    std::snprintf(table, sizeof table, "TABLE-%02d", number);
    std::snprintf(start, sizeof start, "2003/02/%02d 20:%02d", number % 28 + 1, number % 60);
    std::snprintf(end, sizeof end, "2003/02/%02d 23:%02d", number % 28 + 1, number % 60);
    HalfGame game;
    game.table = table;
    game.startTime = start;
    game.endTime = end;
    game.players = {
        "[1]P" + std::to_string(number) + "A R1500", "[2]P" + std::to_string(number) + "B R1600",
        "[3]P" + std::to_string(number) + "C R1700", "[4]P" + std::to_string(number) + "D R1800"};
    game.hands = {{"東1局 0本場(リーチ0)",
                   "P" + std::to_string(number) + "A +1000 P" + std::to_string(number) + "B -1000",
                   "ピンフ ドラ1"},
                  {"東2局 0本場(リーチ0)",
                   "P" + std::to_string(number) + "C +2000 P" + std::to_string(number) + "D -2000",
                   "リーチ ツモ"}};
    game.placings = {
        "1位 P" + std::to_string(number) + "A +30.0", "2位 P" + std::to_string(number) + "C +10.0",
        "3位 P" + std::to_string(number) + "B -10.0", "4位 P" + std::to_string(number) + "D -30.0"};
    return game;
}

std::vector<HalfGame> standardGames() {
    std::vector<HalfGame> games;
    for (int i = 0; i < 14; ++i)
        games.push_back(plainGame(i));

    HalfGame& first = games[0];
    first.table = "南風荘A";
    first.startTime = "2003/01/01 21:00";
    first.endTime = "2003/01/01 21:45";
    first.players = {"[1]ALICE R1500", "[2]BOB R1600", "[3]CAROL R1700", "[4]DAVE R1800"};
    first.hands = {{"東1局 0本場(リーチ0)", "ALICE +8000 BOB -8000", "30符 3翻 リーチ 一発 ドラ1"},
                   {"東2局 1本場(リーチ1)", "CAROL +3900 DAVE -3900", "タンヤオ ドラ2"}};
    first.placings = {"1位 ALICE +32.0", "2位 BOB +5.0", "3位 CAROL -12.0", "4位 DAVE -25.0"};

    games[2].hands[1].yaku = "タンヤオ ピンフ";
    games[6].hands[0].yaku = "タンヤオ";
    games[10].hands[1].yaku = "リーチ タンヤオ";

    games[3].hands.clear();
    games[3].aborted = true;
    games[3].placings.clear();

    games[5].players.pop_back();
    games[5].placings.pop_back();

    games[7].players.resize(2);
    games[7].placings.resize(2);

    games[9].hands.resize(1);
    games[9].aborted = true;
    games[9].placings.clear();

    games[12].players[2] = "[3]ZED R2000";
    return games;
}

std::string tempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    std::string folder = std::string(base) + "paiview-e2e\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string writeTempFile(const std::string& name, const std::string& bytes) {
    std::string path = tempFolder() + name;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

std::string missingTempFile() {
    std::string path = tempFolder() + "no-such-score-log.txt";
    DeleteFileA(path.c_str());
    return path;
}

} // namespace e2e
