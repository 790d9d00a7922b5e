// A player's statistics over a set of half-games: placings, scores, ratings, hands,
// yaku and head to head. Portable: texts are CP932, as in the facts.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/GameFacts.h"
#include "analysis/Intervals.h"
#include "analysis/Strength.h"

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
    int players = 0;  // its table size
};

// The player's score in one completed half-game, for charts in half-game order.
struct GameScore {
    int game = 0;     // its number
    std::string date; // its start, "YYYY-MM-DD HH:MM", or empty
    int tenths = 0;   // +40.8 is 408
    int players = 0;  // its table size
};

// A hand of a half-game and what it was worth: the largest win or deal-in.
struct HandRecordPoints {
    long long points = 0;
    int game = 0, hand = 0; // the half-game's number, the hand's within it
};

// The hands the player dealt.
struct DealerStats {
    int hands = 0, wins = 0, dealIns = 0;
    int longestRun = 0; // the most hands in a row of one half-game
    int tsumoPaid = 0;  // hands in which another player won by tsumo
    long long tsumoPaidPoints = 0;
    std::optional<double> winRate, dealInRate; // over the hands dealt
};

// Draws, and the player's tenpai in them.
struct TenpaiStats {
    int draws = 0;
    int tenpai = 0;             // the player named after 聴牌
    int known = 0;              // draws whose line says who was tenpai (聴牌:なし included)
    std::optional<double> rate; // tenpai over known
};

struct WinKindStats {
    int ron = 0, tsumo = 0, riichiWins = 0;
    std::optional<double> averageRon, averageTsumo, riichiRate; // riichi wins per win
};

// Whom the player dealt into: each winner of the player's deal-ins.
struct DealInto {
    std::string winner;
    int count = 0;
    long long points = 0; // what that winner gained in those hands
};

struct DealInStats {
    std::optional<double> average; // mean points paid, positive
    std::optional<HandRecordPoints> largest;
    std::vector<DealInto> into; // most first, then most points, then met first
};

// Wins and deal-ins by the limit of the hand; limit absent for hands without one.
struct LimitCount {
    std::optional<std::string> limit;
    int wins = 0, dealIns = 0;
};

// Completed half-games with a place of the player's, by the seat they sat at.
struct SeatPlaces {
    int seat = 0, games = 0;
    std::optional<double> averagePlace;
};

struct ScoreRecord {
    int tenths = 0; // +40.8 is 408
    int game = 0;
};

// Consecutive completed half-games of one table size; aborted ones are passed over.
struct RunRecord {
    int games = 0, firstGame = 0, lastGame = 0;
};

struct WinsInGame {
    int wins = 0, game = 0;
};

struct Records {
    std::optional<ScoreRecord> bestScore, worstScore;
    std::optional<RunRecord> longestTopRun, longestNoLastRun;
    std::optional<WinsInGame> mostWinsInGame;
};

// How sure the main figures are: 95% intervals.
struct FigureIntervals {
    std::optional<Interval> averagePlace, topTwoRate, lastAvoidanceRate, winRate, dealInRate;
};

// The figures of the half-games started in one period of the calendar.
struct PeriodStats {
    std::string period; // "2003-06", "2004-W01", "2003-06-01", "2003"
    int games = 0, completed = 0;
    std::optional<double> averagePlace;
    std::optional<Interval> averagePlaceInterval;
    std::optional<double> topTwoRate, lastAvoidanceRate, winRate, dealInRate, averageScore;
    std::optional<int> lastRating;
};

// The half-games started in one hour of the day.
struct HourStats {
    int hour = 0, games = 0;
    std::optional<double> averagePlace;
};

// Figures for one table size (2, 3 or 4 players). A rate whose denominator is zero is
// absent, never NaN.
struct TableSizeStats {
    int players = 0;
    int games = 0, completed = 0, aborted = 0;
    int unplaced = 0;             // completed without a place of the player's: left, or unreadable
    std::vector<int> placeCounts; // index 0 = 1st place; size = players
    std::vector<std::optional<double>> placeRates;
    std::optional<double> averagePlace, topTwoRate, lastAvoidanceRate;
    long long totalScoreTenths = 0;
    int scoredGames = 0;                // placings whose score reads
    std::optional<double> averageScore; // in points of the placing line (+40.8)
    std::optional<RatingPoint> firstRating, lastRating, highestRating, lowestRating;

    int hands = 0, wins = 0, tsumoWins = 0, dealIns = 0, draws = 0;
    std::optional<double> winRate, tsumoRate, dealInRate, drawRate; // tsumo/deal-in: not for 2
    std::optional<double> averageWin;
    std::optional<int> largestWin;
    int largestWinGame = 0, largestWinHand = 0;

    DealerStats dealer;
    TenpaiStats drawsTenpai;
    WinKindStats winsByKind;
    DealInStats dealIn;
    std::vector<LimitCount> limits; // by the limits' rank, hands without one last
    std::vector<SeatPlaces> bySeat; // seats 1 to players
    int busts = 0;                  // completed, the player's final points below 0
    Records records;
    FigureIntervals intervals;
    std::vector<PeriodStats> periods; // in time order, those with a half-game
    int undated = 0;                  // half-games whose start does not read: in no period
    std::vector<HourStats> hours;     // hours of the start, those with a half-game
    StrengthStats strength;           // how strong: analysis/Strength.h
};

struct YakuCount {
    std::string yaku;
    int hands = 0;
};

struct HeadToHead {
    std::string opponent;
    int games = 0; // completed games together
    int above = 0; // the player placed above the opponent
    std::optional<double> aboveRate;
    std::optional<double> scoreDifference; // average (player - opponent) score
};

struct PlayerStats {
    std::string player;
    std::vector<TableSizeStats> bySize; // for 4, 3 and 2 players, those played
    std::vector<YakuCount> yaku;        // most common first
    int yakuHands = 0;                  // won hands counted in yaku (a double ron is not)
    int dora = 0, uraDora = 0, akaDora = 0;
    std::vector<HeadToHead> opponents; // most games together first
    std::vector<RatingPoint> ratings;  // every rating seen, in game order
    std::vector<GameScore> scores;     // every score that reads, in game order
};

// Whether the payments tell tsumo from ron, and a deal-in, at this table size: not at
// two players, where the one other player pays either way.
bool paymentsTellTsumo(int players);

// Tallies the figures of one player, or of every player seated, over half-games given
// one at a time in order, each with its hands: the figures of a log in one pass,
// without holding its hands. With every player tallied, the owner (known only once
// every half-game is in) or any player can be asked for at the end.
class StatsCollector {
  public:
    // player (CP932) empty: every player. unit: the periods of the figures over time.
    // strength: the population's least half-games and the blocks of form.
    explicit StatsCollector(std::string player = {}, PeriodUnit unit = PeriodUnit::Month,
                            StrengthOptions strength = {});
    ~StatsCollector();
    StatsCollector(const StatsCollector&) = delete;
    StatsCollector& operator=(const StatsCollector&) = delete;

    void add(const GameFacts& game);

    std::size_t games() const;
    std::optional<OwnerGuess> owner() const;
    // Every name seated in the half-games added, most half-games first (ties: met first).
    std::vector<std::string> names() const;
    // The figures of a player tallied (the one given, or anyone seated); a player never
    // seated gets figures of nothing.
    PlayerStats stats(const std::string& player) const;
    // Every player in at least minGames half-games, most half-games first.
    std::vector<PlayerStats> all(int minGames) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The same over games held at once (with their hands), for tests and small sets.
PlayerStats computeStats(const std::vector<GameFacts>& games, const std::string& player,
                         StrengthOptions strength = {});
std::vector<PlayerStats> computeAllStats(const std::vector<GameFacts>& games, int minGames);
