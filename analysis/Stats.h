// A player's statistics over a set of half-games: placings, scores, ratings, hands,
// yaku and head to head. Portable: texts are CP932, as in the facts.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/GameFacts.h"

// Whose statistics: the owner of a log is the name in every half-game, or else the
// name in the most half-games (ties: the name met first).
struct OwnerGuess {
    std::string name;
    bool inEveryGame = false; // which of the two rules applied
    int games = 0;
};
std::optional<OwnerGuess> guessOwner(const std::vector<GameFacts>& games);

struct RatingPoint {
    int rating = 0;
    std::string date; // the half-game's start, "YYYY-MM-DD HH:MM"
    int game = 0;     // its number
};

// Figures for one table size (2, 3 or 4 players). A rate whose denominator is zero is
// absent, never NaN.
struct TableSizeStats {
    int players = 0;
    int games = 0, completed = 0, aborted = 0;
    std::vector<int> placeCounts;              // index 0 = 1st place; size = players
    std::vector<std::optional<double>> placeRates;
    std::optional<double> averagePlace, topTwoRate, lastAvoidanceRate;
    long long totalScoreTenths = 0;
    std::optional<double> averageScore;        // in points of the placing line (+40.8)
    std::optional<RatingPoint> firstRating, lastRating, highestRating, lowestRating;

    int hands = 0, wins = 0, tsumoWins = 0, dealIns = 0, draws = 0;
    std::optional<double> winRate, tsumoRate, dealInRate, drawRate; // tsumo/deal-in: not for 2
    std::optional<double> averageWin;
    std::optional<int> largestWin;
    int largestWinGame = 0, largestWinHand = 0;
};

struct YakuCount {
    std::string yaku;
    int hands = 0;
};

struct HeadToHead {
    std::string opponent;
    int games = 0;      // completed games together
    int above = 0;      // the player placed above the opponent
    std::optional<double> aboveRate;
    std::optional<double> scoreDifference; // average (player - opponent) score
};

struct PlayerStats {
    std::string player;
    std::vector<TableSizeStats> bySize; // for 4, 3 and 2 players, those played
    std::vector<YakuCount> yaku;        // most common first
    int dora = 0, uraDora = 0, akaDora = 0;
    std::vector<HeadToHead> opponents;  // most games together first
    std::vector<RatingPoint> ratings;   // every rating seen, in game order
};

PlayerStats computeStats(const std::vector<GameFacts>& games, const std::string& player);
