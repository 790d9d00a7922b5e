// A player's statistics, counted in one pass over the half-games. Only what the log
// says is counted; a figure it cannot tell is left absent (see docs/stats.md).
#include "analysis/Stats.h"

#include "analysis/LogSet.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace {

std::optional<double> ratio(long long part, long long whole) {
    if (whole <= 0) {
        return std::nullopt;
    }
    return static_cast<double>(part) / static_cast<double>(whole);
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

int sizeIndex(int players) {
    return players == 4 ? 0 : players == 3 ? 1 : players == 2 ? 2 : -1;
}

struct SizeTally {
    TableSizeStats stats;
    long long placeSum = 0;
    long long winSum = 0;
};

struct OpponentTally {
    std::string name;
    int games = 0, above = 0;
    long long differenceTenths = 0;
    int scoredGames = 0;
};

class Tally {
  public:
    explicit Tally(std::string player) : player_(std::move(player)) {
        for (int i = 0; i < 3; ++i) {
            sizes_[i].stats.players = 4 - i;
        }
    }

    // The half-game less its hands; then each of its hands, aborted ones' too (played).
    void add(const GameFacts& game, const SeatFacts& seat);
    void addHand(const GameFacts& game, const HandFacts& hand);
    PlayerStats finish();

  private:
    void addPlacings(const GameFacts& game, SizeTally& size);
    void addYaku(const HandFacts& hand);

    std::string player_;
    std::array<SizeTally, 3> sizes_;
    std::vector<YakuCount> yaku_;
    std::unordered_map<std::string, std::size_t> yakuAt_;
    int yakuHands_ = 0, dora_ = 0, ura_ = 0, aka_ = 0;
    std::vector<OpponentTally> opponents_;
    std::unordered_map<std::string, std::size_t> opponentAt_;
    std::vector<RatingPoint> ratings_;
};

void Tally::add(const GameFacts& game, const SeatFacts& seat) {
    const int index = sizeIndex(game.playerCount);
    if (index < 0) {
        return;
    }
    SizeTally& size = sizes_[index];
    TableSizeStats& s = size.stats;
    ++s.games;
    if (game.aborted) {
        ++s.aborted;
    } else {
        ++s.completed;
        addPlacings(game, size);
    }
    if (seat.rating) {
        RatingPoint point{*seat.rating, game.start.value_or(std::string()), game.number};
        if (!s.firstRating) {
            s.firstRating = s.highestRating = s.lowestRating = point;
        }
        s.lastRating = point;
        if (point.rating > s.highestRating->rating) {
            s.highestRating = point;
        }
        if (point.rating < s.lowestRating->rating) {
            s.lowestRating = point;
        }
        ratings_.push_back(std::move(point));
    }
}

void Tally::addPlacings(const GameFacts& game, SizeTally& size) {
    TableSizeStats& s = size.stats;
    const PlacingFacts* mine = findPlacing(game, player_);
    const int players = s.players;
    if (!mine || !mine->place || *mine->place < 1 || *mine->place > players) {
        ++s.unplaced;
        return;
    }
    const int place = *mine->place;
    if (s.placeCounts.empty()) {
        s.placeCounts.assign(static_cast<std::size_t>(players), 0);
    }
    ++s.placeCounts[static_cast<std::size_t>(place - 1)];
    size.placeSum += place;
    if (mine->scoreTenths) {
        s.totalScoreTenths += *mine->scoreTenths;
        ++s.scoredGames;
    }
    for (const PlacingFacts& other : game.placings) {
        if (&other == mine || other.name == player_ || !other.place || other.name.empty()) {
            continue;
        }
        auto [at, added] = opponentAt_.try_emplace(other.name, opponents_.size());
        if (added) {
            opponents_.push_back({other.name});
        }
        OpponentTally& opponent = opponents_[at->second];
        ++opponent.games;
        opponent.above += place < *other.place;
        if (mine->scoreTenths && other.scoreTenths) {
            opponent.differenceTenths += *mine->scoreTenths - *other.scoreTenths;
            ++opponent.scoredGames;
        }
    }
}

void Tally::addHand(const GameFacts& game, const HandFacts& hand) {
    const int index = sizeIndex(game.playerCount);
    if (index < 0) {
        return;
    }
    SizeTally& size = sizes_[index];
    TableSizeStats& s = size.stats;
    ++s.hands;
    if (hand.draw) {
        ++s.draws; // tenpai payments are no win and no deal-in
        return;
    }
    if (!hand.resultParsed) {
        return; // played, but who won cannot be read
    }
    const bool tells = paymentsTellTsumo(s.players);
    if (contains(hand.winners, player_)) {
        int change = 0;
        for (const PointChange& c : hand.changes) {
            if (c.name == player_ && c.change > 0) {
                change = c.change;
                break;
            }
        }
        ++s.wins;
        size.winSum += change;
        if (!s.largestWin || change > *s.largestWin) {
            s.largestWin = change;
            s.largestWinGame = game.number;
            s.largestWinHand = hand.number;
        }
        // Tsumo: every other player paid the one winner.
        if (tells && hand.winners.size() == 1 &&
            hand.payers.size() == static_cast<std::size_t>(s.players - 1)) {
            ++s.tsumoWins;
        }
        // A double ron's one yaku line cannot be told apart between its winners.
        if (hand.winners.size() == 1) {
            addYaku(hand);
        }
    } else if (tells && !hand.winners.empty() && hand.payers.size() == 1 &&
               hand.payers.front() == player_) {
        ++s.dealIns;
    }
}

void Tally::addYaku(const HandFacts& hand) {
    ++yakuHands_;
    dora_ += hand.dora;
    ura_ += hand.ura;
    aka_ += hand.aka;
    for (const std::string& name : hand.yakuNames) {
        auto [at, added] = yakuAt_.try_emplace(name, yaku_.size());
        if (added) {
            yaku_.push_back({name, 0});
        }
        ++yaku_[at->second].hands;
    }
}

PlayerStats Tally::finish() {
    PlayerStats out;
    out.player = player_;
    for (SizeTally& size : sizes_) {
        TableSizeStats& s = size.stats;
        if (s.games == 0) {
            continue;
        }
        const int placed = s.completed - s.unplaced;
        s.placeCounts.resize(static_cast<std::size_t>(s.players), 0);
        for (int count : s.placeCounts) {
            s.placeRates.push_back(ratio(count, placed));
        }
        if (placed > 0) {
            s.averagePlace = static_cast<double>(size.placeSum) / placed;
            s.topTwoRate = ratio(s.placeCounts[0] + s.placeCounts[1], placed);
            s.lastAvoidanceRate = ratio(placed - s.placeCounts.back(), placed);
        }
        if (s.scoredGames > 0) {
            s.averageScore = static_cast<double>(s.totalScoreTenths) / 10.0 / s.scoredGames;
        }
        s.winRate = ratio(s.wins, s.hands);
        s.drawRate = ratio(s.draws, s.hands);
        if (paymentsTellTsumo(s.players)) {
            s.tsumoRate = ratio(s.tsumoWins, s.wins);
            s.dealInRate = ratio(s.dealIns, s.hands);
        }
        s.averageWin = ratio(size.winSum, s.wins);
        out.bySize.push_back(std::move(s));
    }
    // Stable: ties keep the order first met.
    std::stable_sort(yaku_.begin(), yaku_.end(),
                     [](const YakuCount& a, const YakuCount& b) { return a.hands > b.hands; });
    out.yaku = std::move(yaku_);
    out.yakuHands = yakuHands_;
    out.dora = dora_;
    out.uraDora = ura_;
    out.akaDora = aka_;
    std::stable_sort(
        opponents_.begin(), opponents_.end(),
        [](const OpponentTally& a, const OpponentTally& b) { return a.games > b.games; });
    for (const OpponentTally& o : opponents_) {
        HeadToHead h;
        h.opponent = o.name;
        h.games = o.games;
        h.above = o.above;
        h.aboveRate = ratio(o.above, o.games);
        if (o.scoredGames > 0) {
            h.scoreDifference = static_cast<double>(o.differenceTenths) / 10.0 / o.scoredGames;
        }
        out.opponents.push_back(std::move(h));
    }
    out.ratings = std::move(ratings_);
    return out;
}

} // namespace

bool paymentsTellTsumo(int players) {
    return players >= 3;
}

std::optional<OwnerGuess> guessOwner(const std::vector<GameFacts>& games) {
    std::vector<OwnerGuess> counts;
    std::unordered_map<std::string, std::size_t> at;
    for (const GameFacts& game : games) {
        for (const SeatFacts& seat : game.seats) {
            if (seat.name.empty() || &seat != findSeat(game, seat.name)) {
                continue; // once per half-game
            }
            auto [it, added] = at.try_emplace(seat.name, counts.size());
            if (added) {
                counts.push_back({seat.name, false, 0});
            }
            ++counts[it->second].games;
        }
    }
    if (counts.empty()) {
        return std::nullopt;
    }
    // The first of the most: max_element keeps the earliest of equals.
    OwnerGuess owner = *std::max_element(
        counts.begin(), counts.end(),
        [](const OwnerGuess& a, const OwnerGuess& b) { return a.games < b.games; });
    owner.inEveryGame = owner.games == static_cast<int>(games.size());
    return owner;
}

namespace {

// Each hand of a game: its own, or read one at a time from its record in logs.
template <typename Each> void forEachHand(const LogSet* logs, const GameFacts& game, Each each) {
    if (!logs) {
        for (const HandFacts& hand : game.hands) {
            each(hand);
        }
        return;
    }
    const auto position = static_cast<std::size_t>(game.number - 1);
    if (game.number < 1 || position >= logs->size()) {
        return;
    }
    for (const HandFacts& hand : handFacts(game, logs->record(position))) {
        each(hand);
    }
}

PlayerStats statsOf(const LogSet* logs, const std::vector<GameFacts>& games,
                    const std::string& player) {
    Tally tally(player);
    for (const GameFacts& game : games) {
        if (const SeatFacts* seat = findSeat(game, player)) {
            tally.add(game, *seat);
            forEachHand(logs, game, [&](const HandFacts& hand) { tally.addHand(game, hand); });
        }
    }
    return tally.finish();
}

std::vector<PlayerStats> allStatsOf(const LogSet* logs, const std::vector<GameFacts>& games,
                                    int minGames) {
    std::vector<std::pair<std::string, int>> counts;
    std::unordered_map<std::string, std::size_t> at;
    for (const GameFacts& game : games) {
        for (const SeatFacts& seat : game.seats) {
            if (seat.name.empty() || &seat != findSeat(game, seat.name)) {
                continue;
            }
            auto [it, added] = at.try_emplace(seat.name, counts.size());
            if (added) {
                counts.emplace_back(seat.name, 0);
            }
            ++counts[it->second].second;
        }
    }
    std::stable_sort(counts.begin(), counts.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<Tally> tallies;
    std::unordered_map<std::string, std::size_t> tallyAt;
    for (const auto& [name, count] : counts) {
        if (count >= minGames) {
            tallyAt.emplace(name, tallies.size());
            tallies.emplace_back(name);
        }
    }
    std::vector<Tally*> seated;
    for (const GameFacts& game : games) {
        seated.clear();
        for (const SeatFacts& seat : game.seats) {
            const auto it = tallyAt.find(seat.name);
            if (it != tallyAt.end() && &seat == findSeat(game, seat.name)) {
                seated.push_back(&tallies[it->second]);
                seated.back()->add(game, seat);
            }
        }
        if (!seated.empty()) {
            // Each hand read once for everyone at the table.
            forEachHand(logs, game, [&](const HandFacts& hand) {
                for (Tally* tally : seated) {
                    tally->addHand(game, hand);
                }
            });
        }
    }
    std::vector<PlayerStats> out;
    out.reserve(tallies.size());
    for (Tally& tally : tallies) {
        out.push_back(tally.finish());
    }
    return out;
}

} // namespace

PlayerStats computeStats(const std::vector<GameFacts>& games, const std::string& player) {
    return statsOf(nullptr, games, player);
}

std::vector<PlayerStats> computeAllStats(const std::vector<GameFacts>& games, int minGames) {
    return allStatsOf(nullptr, games, minGames);
}

PlayerStats computeStats(const LogSet& logs, const std::vector<GameFacts>& games,
                         const std::string& player) {
    return statsOf(&logs, games, player);
}

std::vector<PlayerStats> computeAllStats(const LogSet& logs, const std::vector<GameFacts>& games,
                                         int minGames) {
    return allStatsOf(&logs, games, minGames);
}
