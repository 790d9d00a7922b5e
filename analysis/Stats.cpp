// A player's statistics, counted in one pass over the half-games. Only what the log
// says is counted; a figure it cannot tell is left absent (see docs/stats.md).
#include "analysis/Stats.h"

#include <algorithm>
#include <array>
#include <deque>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace statsdetail {

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
    std::vector<GameScore> scores_;
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
        RatingPoint point{*seat.rating, game.start.value_or(std::string()), game.number,
                          game.playerCount};
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
        scores_.push_back({game.number, game.start.value_or(std::string()), *mine->scoreTenths});
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
    out.scores = std::move(scores_);
    return out;
}

} // namespace statsdetail

using namespace statsdetail;

bool paymentsTellTsumo(int players) {
    return players >= 3;
}

struct StatsCollector::Impl {
    std::string player; // empty: everyone
    std::size_t games = 0;
    // Every name seated, in the order first met, with its half-games.
    std::vector<std::pair<std::string, int>> counts;
    std::unordered_map<std::string, std::size_t> countAt;
    // One per name met (everyone), or the one player's; a deque, so that the tallies of
    // a table stay where they are while a new name's is added.
    std::deque<Tally> tallies;
    std::vector<Tally*> seated;

    Tally* tallyOf(const std::string& name, std::size_t at) {
        if (!player.empty()) {
            return name == player ? &tallies.front() : nullptr;
        }
        if (at == tallies.size()) {
            tallies.emplace_back(name);
        }
        return &tallies[at];
    }
};

StatsCollector::StatsCollector(std::string player) : impl_(std::make_unique<Impl>()) {
    impl_->player = std::move(player);
    if (!impl_->player.empty()) {
        impl_->tallies.emplace_back(impl_->player);
    }
}

StatsCollector::~StatsCollector() = default;

void StatsCollector::add(const GameFacts& game) {
    Impl& s = *impl_;
    ++s.games;
    s.seated.clear();
    for (const SeatFacts& seat : game.seats) {
        if (seat.name.empty() || &seat != findSeat(game, seat.name)) {
            continue; // once per half-game
        }
        auto [it, added] = s.countAt.try_emplace(seat.name, s.counts.size());
        if (added) {
            s.counts.emplace_back(seat.name, 0);
        }
        ++s.counts[it->second].second;
        if (Tally* tally = s.tallyOf(seat.name, it->second)) {
            tally->add(game, seat);
            s.seated.push_back(tally);
        }
    }
    // Each hand read once for everyone at the table.
    for (const HandFacts& hand : game.hands) {
        for (Tally* tally : s.seated) {
            tally->addHand(game, hand);
        }
    }
}

std::size_t StatsCollector::games() const {
    return impl_->games;
}

std::optional<OwnerGuess> StatsCollector::owner() const {
    const auto& counts = impl_->counts;
    if (counts.empty()) {
        return std::nullopt;
    }
    // The first of the most: max_element keeps the earliest of equals.
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return OwnerGuess{most->first, most->second == static_cast<int>(impl_->games), most->second};
}

std::vector<std::string> StatsCollector::names() const {
    auto counts = impl_->counts;
    std::stable_sort(counts.begin(), counts.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<std::string> out;
    for (auto& [name, count] : counts) {
        out.push_back(std::move(name));
    }
    return out;
}

PlayerStats StatsCollector::stats(const std::string& player) const {
    const Impl& s = *impl_;
    if (!s.player.empty()) {
        Tally copy = player == s.player ? s.tallies.front() : Tally(player);
        return copy.finish();
    }
    const auto it = s.countAt.find(player);
    Tally copy = it == s.countAt.end() ? Tally(player) : s.tallies[it->second];
    return copy.finish();
}

std::vector<PlayerStats> StatsCollector::all(int minGames) const {
    std::vector<std::string> order = names();
    std::vector<PlayerStats> out;
    for (const std::string& name : order) {
        if (impl_->counts[impl_->countAt.at(name)].second >= minGames) {
            out.push_back(stats(name));
        }
    }
    return out;
}

std::optional<OwnerGuess> guessOwner(const std::vector<GameFacts>& games) {
    StatsCollector names;
    for (const GameFacts& game : games) {
        names.add(game);
    }
    return names.owner();
}

PlayerStats computeStats(const std::vector<GameFacts>& games, const std::string& player) {
    StatsCollector collector(player);
    for (const GameFacts& game : games) {
        collector.add(game);
    }
    return collector.stats(player);
}

std::vector<PlayerStats> computeAllStats(const std::vector<GameFacts>& games, int minGames) {
    StatsCollector collector;
    for (const GameFacts& game : games) {
        collector.add(game);
    }
    return collector.all(minGames);
}
