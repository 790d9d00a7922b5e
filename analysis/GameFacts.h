// The facts of a half-game and its hands, read out of the loaded record's fields.
// Every text is CP932, as in the record. A piece that does not parse stays absent
// (an empty optional), and the raw text it came from is kept beside it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/GameRecord.h"

struct SeatFacts {
    int seat = 0;              // 1 to 4: the [n] of the player line
    std::string name;          // the entry less its rating word; empty if none
    std::optional<int> rating; // "R1318" -> 1318; absent for "R-" or a rating too large
    std::string raw;           // the entry as written after "[n]", spaces trimmed
};

struct PlacingFacts {
    std::optional<int> place;        // the n of "n位"
    std::string name;                // between the place and the score
    std::optional<int> scoreTenths;  // "+40.8" -> 408; absent without a sign
    std::optional<long long> points; // "(60800)" -> 60800
    std::string raw;                 // the placing line from "n位" on
};

struct PointChange {
    std::string name;
    int change = 0; // "+5200" -> 5200, "-5200" -> -5200
};

struct HandFacts {
    int number = 0;                   // 1-based within the half-game
    std::string title;                // handName as stored
    std::optional<std::string> wind;  // "東" of "東1局"
    std::optional<int> round;         // 1 of "東1局"
    std::optional<int> honba;         // 0 of "0本場"
    std::optional<int> riichiSticks;  // 1 of "(リーチ1)"
    std::string result;               // handResult as stored
    bool resultParsed = false;        // every piece of result read as name and change
    std::vector<PointChange> changes; // in the order of the result line
    bool draw = false;                // 流局, in the result or the yaku line
    // Non-draws: the players whose change is positive. Draws: none.
    std::vector<std::string> winners;
    // The players whose change is negative (in a draw, those paying for no tenpai).
    std::vector<std::string> payers;
    std::string yaku; // handYaku as stored
    // The yaku line in words; "役牌 白", "場風 東" and "自風 南" stay one token each.
    std::vector<std::string> yakuTokens;
};

struct GameFacts {
    int number = 0;                        // 1-based, in the order the command lists games
    std::string startRaw, endRaw;          // startTime and endTime as stored
    std::optional<std::string> start, end; // "2003/06/06 08:24" -> "2003-06-06 08:24"
    std::string table;
    int playerCount = 0;
    bool aborted = false;               // ended with the abort line (途中終了)
    std::string playerLine;             // as stored
    std::vector<SeatFacts> seats;       // one per player, seat order
    std::vector<PlacingFacts> placings; // completed games: one per placing line
    std::vector<HandFacts> hands;       // filled only when asked for
};

// The facts of one record; its hands too when withHands is set.
GameFacts gameFacts(const GameRecord& record, int number, bool withHands = true);
HandFacts handFacts(const HandRecord& hand, int number);

// The seat whose name is name, or null.
const SeatFacts* findSeat(const GameFacts& game, const std::string& name);
// The placing of the player called name, or null (aborted games have none).
const PlacingFacts* findPlacing(const GameFacts& game, const std::string& name);

// "2003/06/06 08:24" -> "2003-06-06 08:24"; absent unless it is digits in that shape.
std::optional<std::string> isoTime(const char* logTime);
