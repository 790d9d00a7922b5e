// How strong a player is: the rating their placings settle at, the last hand, where the
// points come from, luck, the player against the others, and form. Tallied in the same
// one pass as the other figures, for every player seated at once, so that the pooled
// figures (the table's usual rates, the population) cost nothing per player asked for.
// The rules are those of docs/stats.md, "How strong".
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/GameFacts.h"
#include "analysis/Intervals.h"

struct TableSizeStats;

// The service's rating rule, learnt from the log's owner: ΔR = a[place] + b × (T − R).
struct RatingRule {
    int pairs = 0;
    std::vector<double> a; // by place - 1; empty when the fit cannot be made
    std::optional<double> b, rSquared, residualSd;
    bool learnt = false; // at least 30 pairs, R² at least 0.6 and b above 0
};

struct StableRating {
    RatingRule rule;
    // Only with a learnt rule and placed half-games of the player's.
    std::optional<double> value;
    std::optional<Interval> interval; // 2.5 and 97.5 percentiles of the bootstrap
    std::optional<double> expectedChange;
    std::optional<bool> provisional; // below 100 placed half-games
};

// Half-games by the place before the last hand, counted by their final place.
struct LastHandRow {
    int place = 0, games = 0;
    std::vector<int> final; // by final place - 1
};

struct LastHandRates {
    int firstBefore = 0, keptTop = 0;       // first before: first at the end
    int notFirstBefore = 0, reachedTop = 0; // not first before: first at the end
    int lastBefore = 0, escapedLast = 0;    // last before: not last at the end
    std::optional<double> keepTopRate, reachTopRate, escapeLastRate;
    std::optional<Interval> keepTopInterval, reachTopInterval, escapeLastInterval;
};

struct AllLast {
    int games = 0; // completed, placed, with two hands or more and running points
    std::vector<LastHandRow> from;
    LastHandRates mine, usual; // usual: every seat of every such half-game of the size
};

// Points per hand: what the wins bring against what the deal-ins cost.
struct Balance {
    std::optional<double> pointsPerHand, winValue, dealInCost, net, scoreSd;
};

struct DealerHit {
    int hands = 0; // hands dealt where another won by tsumo at 満貫 or more
    std::optional<double> rate, averageLoss;
};

struct DealInKind {
    int count = 0;
    std::optional<double> rate, average; // rate over all the player's deal-ins
};

struct Luck {
    std::optional<double> uraPerRiichiWin, uraRate, ippatsuRate, doraPerWin, akaPerWin;
    DealerHit dealerHit;
    DealInKind toRiichi, toDama;
};

// The player among those with enough half-games of the size.
struct Population {
    int players = 0;
    // Shares of the others the player does better than, ties counting half.
    std::optional<double> averagePlace, winRate, dealInRate, pointsPerHand;
    // The median of each figure over those players, the player included.
    Balance medianBalance;
    Luck medianLuck; // the rates and means only, not the counts
};

struct FormBlock {
    int games = 0;
    std::optional<double> averagePlace, winRate, dealInRate;
};

struct Form {
    FormBlock newest, previous;
    // newest − previous, with 95% intervals; absent when a block has fewer than 30.
    std::optional<double> averagePlace, winRate, dealInRate;
    std::optional<Interval> averagePlaceInterval, winRateInterval, dealInRateInterval;
    std::vector<std::string> changed; // the keys whose interval leaves out 0
};

struct StrengthStats {
    StableRating stableRating;
    AllLast allLast;
    Balance balance;
    Luck luck;
    Population population;
    Form form;
};

struct StrengthOptions {
    int minGames = 20; // of the population: completed half-games of the size
    int block = 100;   // of form: half-games in each block
};

// R* = T̄ + Σ p_k a_k ÷ b and its bootstrap over the place counts; for tests too.
std::optional<double> settledRating(const RatingRule& rule, const std::vector<int>& placeCounts,
                                    double meanTable);
std::optional<Interval> settledRatingInterval(const RatingRule& rule,
                                              const std::vector<int>& placeCounts,
                                              double meanTable);
// Welch's 95% interval of a difference of means, from each side's n, sum, sum of squares.
std::optional<Interval> welchInterval(long long n1, double sum1, double squares1, long long n2,
                                      double sum2, double squares2);
// Newcombe's hybrid score interval of count1/total1 − count2/total2.
std::optional<Interval> newcombeInterval(long long count1, long long total1, long long count2,
                                         long long total2);

class StrengthCollector {
  public:
    explicit StrengthCollector(StrengthOptions options = {});
    ~StrengthCollector();
    StrengthCollector(const StrengthCollector&) = delete;
    StrengthCollector& operator=(const StrengthCollector&) = delete;

    // A half-game with its hands; ids: the id of each seat's name (as the stats
    // collector numbers names), absent for an empty name or a name seated twice.
    void add(const GameFacts& game, const std::vector<std::optional<std::size_t>>& ids);
    // The figures of player at the size of stats (whose other figures are finished),
    // with the rule learnt from owner's half-games. Either may be absent.
    StrengthStats of(std::optional<std::size_t> player, std::optional<std::size_t> owner,
                     const TableSizeStats& stats) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
