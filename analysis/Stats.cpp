// A player's statistics, counted in one pass over the half-games. Only what the log
// says is counted; a figure it cannot tell is left absent (see docs/stats.md).
#include "analysis/Stats.h"

#include <algorithm>
#include <array>
#include <deque>
#include <iterator>
#include <map>
#include <string_view>
#include <unordered_map>

#include "analysis/NameIndex.h"

namespace statsdetail {

// Each half-game's ISO start by its number, kept once for the records of all its seats.
class StartTimes {
  public:
    void add(const GameFacts& game) {
        const auto at = static_cast<std::size_t>(game.number);
        if (at >= starts_.size()) {
            starts_.resize(std::max(at + 1, starts_.size() * 2));
        }
        Start& start = starts_[at];
        start.size = 0;
        if (game.start && game.start->size() <= start.text.size()) {
            std::copy(game.start->begin(), game.start->end(), start.text.begin());
            start.size = static_cast<unsigned char>(game.start->size());
        }
    }
    // Empty when undated.
    std::string of(int number) const {
        const auto at = static_cast<std::size_t>(number);
        if (at >= starts_.size()) {
            return {};
        }
        return std::string(starts_[at].text.data(), starts_[at].size);
    }

  private:
    struct Start {
        std::array<char, 16> text{};
        unsigned char size = 0;
    };
    std::vector<Start> starts_;
};

// The hour of an ISO start, "YYYY-MM-DD HH:MM".
int hourOf(const std::string& iso) {
    return ((iso[11] - '0') * 10 + (iso[12] - '0')) % 24;
}

// What the tallies of one collector share: each start, name and yaku kept once, the
// names and yaku by an id that the tallies count under.
struct Shared {
    StartTimes starts;
    NameIndex players; // seated, placed, or winning
    NameIndex yaku;
};

// The ids of the names of the half-game being added, by the place in its seats and
// placings; absent for an empty name.
struct GameNames {
    std::vector<std::optional<std::size_t>> seats, placings;
    // The id of a point change's name: its seat's when it has one.
    std::size_t of(const GameFacts& game, const PointChange& change, NameIndex& players) const {
        for (std::size_t i = 0; change.seat && i < game.seats.size(); ++i) {
            if (game.seats[i].seat == *change.seat && seats[i]) {
                return *seats[i];
            }
        }
        return players.place(change.name).first;
    }
};

// The yaku ids of the hand being added, worked out once for its one winner's tally.
class HandYaku {
  public:
    void reset() { hand_ = nullptr; } // for each half-game: the next may reuse the hands
    const std::vector<std::size_t>& of(const HandFacts& hand, NameIndex& yaku) {
        if (hand_ != &hand) {
            hand_ = &hand;
            ids_.clear();
            for (const std::string_view name : hand.yakuNames) {
                ids_.push_back(yaku.place(name).first);
            }
        }
        return ids_;
    }

  private:
    const HandFacts* hand_ = nullptr;
    std::vector<std::size_t> ids_;
};

// What a tally is given with each half-game besides its facts.
struct GameContext {
    Shared& shared;
    const GameNames& names;
    HandYaku& yaku;
};

std::optional<double> ratio(long long part, long long whole) {
    if (whole <= 0) {
        return std::nullopt;
    }
    return static_cast<double>(part) / static_cast<double>(whole);
}

int sizeIndex(int players) {
    return players == 4 ? 0 : players == 3 ? 1 : players == 2 ? 2 : -1;
}

// The limits in the order of their worth; others after them in the order met.
int limitRank(const std::optional<std::string>& limit) {
    static const char* const kOrder[] = {"満貫",     "跳満", "倍満",       "三倍満",
                                         "数え役満", "役満", "ダブル役満", "トリプル役満"};
    if (!limit) {
        return 1000; // hands without a limit come last
    }
    for (int i = 0; i < static_cast<int>(std::size(kOrder)); ++i) {
        if (*limit == kOrder[i]) {
            return i;
        }
    }
    return 100;
}

// The place figures of a group of half-games: a table size, a period, an hour, a seat.
struct PlaceTally {
    int placed = 0, first = 0, topTwo = 0, notLast = 0;
    long long placeSum = 0, placeSquares = 0;

    void add(int place, int players) {
        ++placed;
        first += place == 1;
        topTwo += place <= 2;
        notLast += place < players;
        placeSum += place;
        placeSquares += static_cast<long long>(place) * place;
    }
    std::optional<double> average() const { return ratio(placeSum, placed); }
};

struct PeriodTally {
    PeriodStats stats;
    PlaceTally places;
    int hands = 0, wins = 0, dealIns = 0, scored = 0;
    long long scoreTenths = 0;
};

// The longest run of consecutive completed half-games that meet a test.
struct RunTally {
    RunRecord current, best;
    void add(bool meets, int game) {
        if (!meets) {
            current = {};
            return;
        }
        current.firstGame = current.games == 0 ? game : current.firstGame;
        ++current.games;
        current.lastGame = game;
        if (current.games > best.games) {
            best = current; // ties keep the earlier run
        }
    }
};

struct SizeTally {
    TableSizeStats stats;
    PlaceTally places;
    long long winSum = 0, ronSum = 0, tsumoSum = 0, dealInSum = 0;
    std::vector<PlaceTally> seats; // by seat - 1
    std::vector<DealInto> into;
    std::unordered_map<std::size_t, std::size_t> intoAt; // by player id
    std::vector<LimitCount> limits;
    RunTally topRun, noLastRun;
    std::map<std::string, PeriodTally> periods;
    // The period of the last half-game added and its day: the next is most often the same.
    // A copy starts without, as it points into the periods of the original.
    struct LastPeriod {
        LastPeriod() = default;
        LastPeriod(const LastPeriod&) {}
        LastPeriod& operator=(const LastPeriod&) {
            period = nullptr;
            return *this;
        }
        PeriodTally* period = nullptr;
        std::string day;
    } last;
    // Indexes into the tally's ratings.
    std::optional<std::size_t> firstRating, lastRating, highestRating, lowestRating;
    std::array<PlaceTally, 24> hours{};
    std::array<int, 24> hourGames{};
};

struct OpponentTally {
    std::string name;
    int games = 0, above = 0;
    long long differenceTenths = 0;
    int scoredGames = 0;
};

class Tally {
  public:
    Tally(std::string player, PeriodUnit unit) : player_(std::move(player)), unit_(unit) {
        for (int i = 0; i < 3; ++i) {
            sizes_[i].stats.players = 4 - i;
            sizes_[i].seats.resize(static_cast<std::size_t>(4 - i));
        }
    }

    // The half-game less its hands; then each of its hands, aborted ones' too (played);
    // then the end of the half-game.
    void add(const GameFacts& game, const SeatFacts& seat, const GameContext& context);
    void addHand(const GameFacts& game, const HandFacts& hand, const GameContext& context);
    void endGame(const GameFacts& game);
    PlayerStats finish(const Shared& shared);

  private:
    void addPlacings(const GameFacts& game, SizeTally& size, const GameContext& context);
    void addYaku(const HandFacts& hand, const GameContext& context);
    LimitCount& limitOf(SizeTally& size, const std::optional<std::string_view>& limit);
    void finishSize(SizeTally& size, const StartTimes& starts);

    std::string player_;
    PeriodUnit unit_;
    std::array<SizeTally, 3> sizes_;
    // What the half-game being added needs of its hands.
    int seat_ = 0;
    PeriodTally* period_ = nullptr;
    int dealerRun_ = 0, winsInGame_ = 0;
    std::vector<int> yakuCounts_;        // by yaku id
    std::vector<std::size_t> yakuOrder_; // yaku ids in the order first met
    int yakuHands_ = 0, dora_ = 0, ura_ = 0, aka_ = 0;
    std::vector<OpponentTally> opponents_;
    std::unordered_map<std::size_t, std::size_t> opponentAt_; // by player id
    // Dated when the figures are finished, from the starts the collector keeps once.
    std::vector<RatingPoint> ratings_;
    std::vector<GameScore> scores_;
};

void Tally::add(const GameFacts& game, const SeatFacts& seat, const GameContext& context) {
    const int index = sizeIndex(game.playerCount);
    seat_ = seat.seat;
    dealerRun_ = winsInGame_ = 0;
    period_ = nullptr;
    if (index < 0) {
        return;
    }
    SizeTally& size = sizes_[index];
    TableSizeStats& s = size.stats;
    ++s.games;
    if (game.start) {
        const std::string_view day(game.start->data(), 10);
        if (!size.last.period || size.last.day != day) {
            size.last.period = &size.periods[periodOf(*game.start, unit_)];
            size.last.day = day;
        }
        PeriodTally& period = *size.last.period;
        period_ = &period;
        ++period.stats.games;
        period.stats.completed += !game.aborted;
        if (seat.rating) {
            period.stats.lastRating = *seat.rating;
        }
        ++size.hourGames[static_cast<std::size_t>(hourOf(*game.start))];
    } else {
        ++s.undated;
    }
    if (game.aborted) {
        ++s.aborted;
    } else {
        ++s.completed;
        addPlacings(game, size, context);
    }
    if (seat.rating) {
        const std::size_t at = ratings_.size();
        ratings_.push_back({*seat.rating, {}, game.number, game.playerCount});
        if (!size.firstRating) {
            size.firstRating = size.highestRating = size.lowestRating = at;
        }
        size.lastRating = at;
        if (*seat.rating > ratings_[*size.highestRating].rating) {
            size.highestRating = at;
        }
        if (*seat.rating < ratings_[*size.lowestRating].rating) {
            size.lowestRating = at;
        }
    }
}

void Tally::addPlacings(const GameFacts& game, SizeTally& size, const GameContext& context) {
    TableSizeStats& s = size.stats;
    const PlacingFacts* mine = findPlacing(game, player_);
    const int players = s.players;
    if (!mine || !mine->place || *mine->place < 1 || *mine->place > players) {
        ++s.unplaced;
        size.topRun.add(false, game.number);
        size.noLastRun.add(false, game.number);
        return;
    }
    const int place = *mine->place;
    if (s.placeCounts.empty()) {
        s.placeCounts.assign(static_cast<std::size_t>(players), 0);
    }
    ++*numbered(s.placeCounts, place); // 1 to players, as checked above
    size.places.add(place, players);
    size.topRun.add(place == 1, game.number);
    size.noLastRun.add(place < players, game.number);
    if (PlaceTally* seat = numbered(size.seats, seat_)) {
        seat->add(place, players);
    }
    if (period_) {
        period_->places.add(place, players);
        size.hours[static_cast<std::size_t>(hourOf(*game.start))].add(place, players);
    }
    if (mine->points && *mine->points < 0) {
        ++s.busts;
    }
    if (mine->scoreTenths) {
        const int score = *mine->scoreTenths;
        s.totalScoreTenths += score;
        ++s.scoredGames;
        scores_.push_back({game.number, {}, score, players});
        Records& r = s.records;
        if (!r.bestScore || score > r.bestScore->tenths) {
            r.bestScore = ScoreRecord{score, game.number};
        }
        if (!r.worstScore || score < r.worstScore->tenths) {
            r.worstScore = ScoreRecord{score, game.number};
        }
        if (period_) {
            period_->scoreTenths += score;
            ++period_->scored;
        }
    }
    for (std::size_t i = 0; i < game.placings.size(); ++i) {
        const PlacingFacts& other = game.placings[i];
        if (&other == mine || other.name == player_ || !other.place || other.name.empty()) {
            continue;
        }
        const auto [at, added] =
            opponentAt_.try_emplace(*context.names.placings[i], opponents_.size());
        if (added) {
            opponents_.push_back({std::string(other.name)});
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

LimitCount& Tally::limitOf(SizeTally& size, const std::optional<std::string_view>& limit) {
    for (LimitCount& count : size.limits) {
        if (count.limit.has_value() == limit.has_value() && (!limit || *count.limit == *limit)) {
            return count;
        }
    }
    size.limits.push_back({limit ? std::optional<std::string>(*limit) : std::nullopt, 0, 0});
    return size.limits.back();
}

void Tally::addHand(const GameFacts& game, const HandFacts& hand, const GameContext& context) {
    const int index = sizeIndex(game.playerCount);
    if (index < 0) {
        return;
    }
    SizeTally& size = sizes_[index];
    TableSizeStats& s = size.stats;
    ++s.hands;
    if (period_) {
        ++period_->hands;
    }
    const bool dealt = hand.dealer && *hand.dealer == seat_;
    if (dealt) {
        ++s.dealer.hands;
        s.dealer.longestRun = std::max(s.dealer.longestRun, ++dealerRun_);
    } else {
        dealerRun_ = 0;
    }
    if (hand.draw) {
        ++s.draws; // tenpai payments are no win and no deal-in
        if (hand.tenpai) {
            ++s.drawsTenpai.known;
            s.drawsTenpai.tenpai +=
                std::find(hand.tenpai->begin(), hand.tenpai->end(), seat_) != hand.tenpai->end();
        }
        return;
    }
    if (!hand.resultParsed) {
        return; // played, but who won cannot be read
    }
    const bool tells = paymentsTellTsumo(s.players);
    const auto [change, gain, won, onlyPayer] = seatPart(hand, seat_, player_);
    if (won) {
        ++s.wins;
        ++winsInGame_;
        size.winSum += gain;
        if (!s.largestWin || gain > *s.largestWin) {
            s.largestWin = gain;
            s.largestWinGame = game.number;
            s.largestWinHand = hand.number;
        }
        if (period_) {
            ++period_->wins;
        }
        s.dealer.wins += dealt;
        if (tells && hand.kind == HandKind::Tsumo) {
            ++s.tsumoWins;
            ++s.winsByKind.tsumo;
            size.tsumoSum += gain;
        } else if (tells && hand.kind == HandKind::Ron) {
            ++s.winsByKind.ron;
            size.ronSum += gain;
        }
        s.winsByKind.riichiWins += hand.winnerRiichi.value_or(false);
        ++limitOf(size, hand.limit).wins;
        // A double ron's one yaku line cannot be told apart between its winners.
        if (hand.winners.size() == 1) {
            addYaku(hand, context);
        }
    } else if (tells && !hand.winners.empty() && onlyPayer) {
        ++s.dealIns;
        s.dealer.dealIns += dealt;
        if (period_) {
            ++period_->dealIns;
        }
        const long long paid = -change;
        size.dealInSum += paid;
        DealInStats& d = s.dealIn;
        if (!d.largest || paid > d.largest->points) {
            d.largest = HandRecordPoints{paid, game.number, hand.number};
        }
        for (const PointChange& c : hand.changes) {
            if (c.change <= 0) {
                continue; // in a hand that is no draw, every gain is a winner's
            }
            const std::size_t id = context.names.of(game, c, context.shared.players);
            const auto [at, added] = size.intoAt.try_emplace(id, size.into.size());
            if (added) {
                size.into.push_back({std::string(c.name), 0, 0});
            }
            ++size.into[at->second].count;
            size.into[at->second].points += c.change;
        }
        ++limitOf(size, hand.limit).dealIns;
    } else if (tells && dealt && hand.kind == HandKind::Tsumo) {
        // Another player's tsumo while the player dealt: the dealer pays the most.
        ++s.dealer.tsumoPaid;
        s.dealer.tsumoPaidPoints += -change;
    }
}

void Tally::endGame(const GameFacts& game) {
    const int index = sizeIndex(game.playerCount);
    if (index < 0 || winsInGame_ == 0) {
        return;
    }
    Records& r = sizes_[index].stats.records;
    if (!r.mostWinsInGame || winsInGame_ > r.mostWinsInGame->wins) {
        r.mostWinsInGame = WinsInGame{winsInGame_, game.number};
    }
}

void Tally::addYaku(const HandFacts& hand, const GameContext& context) {
    ++yakuHands_;
    dora_ += hand.dora;
    ura_ += hand.ura;
    aka_ += hand.aka;
    for (const std::size_t id : context.yaku.of(hand, context.shared.yaku)) {
        if (id >= yakuCounts_.size()) {
            yakuCounts_.resize(id + 1, 0);
        }
        if (yakuCounts_[id]++ == 0) {
            yakuOrder_.push_back(id);
        }
    }
}

void Tally::finishSize(SizeTally& size, const StartTimes& starts) {
    TableSizeStats& s = size.stats;
    const auto rating = [&](const std::optional<std::size_t>& at) {
        std::optional<RatingPoint> point;
        if (at) {
            point = ratings_[*at];
            point->date = starts.of(point->game);
        }
        return point;
    };
    s.firstRating = rating(size.firstRating);
    s.lastRating = rating(size.lastRating);
    s.highestRating = rating(size.highestRating);
    s.lowestRating = rating(size.lowestRating);
    const bool tells = paymentsTellTsumo(s.players);
    const PlaceTally& p = size.places;
    s.placeCounts.resize(static_cast<std::size_t>(s.players), 0);
    for (int count : s.placeCounts) {
        s.placeRates.push_back(ratio(count, p.placed));
    }
    s.averagePlace = p.average();
    s.topTwoRate = ratio(p.topTwo, p.placed);
    s.lastAvoidanceRate = ratio(p.notLast, p.placed);
    if (s.scoredGames > 0) {
        s.averageScore = static_cast<double>(s.totalScoreTenths) / 10.0 / s.scoredGames;
    }
    s.winRate = ratio(s.wins, s.hands);
    s.drawRate = ratio(s.draws, s.hands);
    if (tells) {
        s.tsumoRate = ratio(s.tsumoWins, s.wins);
        s.dealInRate = ratio(s.dealIns, s.hands);
    }
    s.averageWin = ratio(size.winSum, s.wins);

    DealerStats& dealer = s.dealer;
    dealer.winRate = ratio(dealer.wins, dealer.hands);
    if (tells) {
        dealer.dealInRate = ratio(dealer.dealIns, dealer.hands);
    }
    s.drawsTenpai.draws = s.draws;
    s.drawsTenpai.rate = ratio(s.drawsTenpai.tenpai, s.drawsTenpai.known);
    WinKindStats& kinds = s.winsByKind;
    if (tells) {
        kinds.averageRon = ratio(size.ronSum, kinds.ron);
        kinds.averageTsumo = ratio(size.tsumoSum, kinds.tsumo);
    }
    kinds.riichiRate = ratio(kinds.riichiWins, s.wins);
    s.dealIn.average = ratio(size.dealInSum, s.dealIns);
    s.dealIn.into = std::move(size.into);
    std::stable_sort(s.dealIn.into.begin(), s.dealIn.into.end(),
                     [](const DealInto& a, const DealInto& b) {
                         return a.count != b.count ? a.count > b.count : a.points > b.points;
                     });
    s.limits = std::move(size.limits);
    std::stable_sort(s.limits.begin(), s.limits.end(),
                     [](const LimitCount& a, const LimitCount& b) {
                         return limitRank(a.limit) < limitRank(b.limit);
                     });
    for (std::size_t i = 0; i < size.seats.size(); ++i) {
        s.bySeat.push_back(
            {static_cast<int>(i + 1), size.seats[i].placed, size.seats[i].average()});
    }
    if (size.topRun.best.games > 0) {
        s.records.longestTopRun = size.topRun.best;
    }
    if (size.noLastRun.best.games > 0) {
        s.records.longestNoLastRun = size.noLastRun.best;
    }
    FigureIntervals& in = s.intervals;
    in.averagePlace = meanInterval(static_cast<double>(p.placeSum),
                                   static_cast<double>(p.placeSquares), p.placed, 1, s.players);
    in.topTwoRate = wilsonInterval(p.topTwo, p.placed);
    in.lastAvoidanceRate = wilsonInterval(p.notLast, p.placed);
    in.winRate = wilsonInterval(s.wins, s.hands);
    if (tells) {
        in.dealInRate = wilsonInterval(s.dealIns, s.hands);
    }
    for (auto& [key, period] : size.periods) {
        PeriodStats out = period.stats;
        out.period = key;
        out.averagePlace = period.places.average();
        out.averagePlaceInterval = meanInterval(static_cast<double>(period.places.placeSum),
                                                static_cast<double>(period.places.placeSquares),
                                                period.places.placed, 1, s.players);
        out.topTwoRate = ratio(period.places.topTwo, period.places.placed);
        out.lastAvoidanceRate = ratio(period.places.notLast, period.places.placed);
        out.winRate = ratio(period.wins, period.hands);
        if (tells) {
            out.dealInRate = ratio(period.dealIns, period.hands);
        }
        if (period.scored > 0) {
            out.averageScore = static_cast<double>(period.scoreTenths) / 10.0 / period.scored;
        }
        s.periods.push_back(std::move(out));
    }
    for (int hour = 0; hour < 24; ++hour) {
        const auto h = static_cast<std::size_t>(hour);
        if (size.hourGames[h] > 0) {
            s.hours.push_back({hour, size.hourGames[h], size.hours[h].average()});
        }
    }
}

PlayerStats Tally::finish(const Shared& shared) {
    const StartTimes& starts = shared.starts;
    PlayerStats out;
    out.player = player_;
    for (SizeTally& size : sizes_) {
        if (size.stats.games == 0) {
            continue;
        }
        finishSize(size, starts);
        out.bySize.push_back(std::move(size.stats));
    }
    // Stable: ties keep the order first met.
    for (const std::size_t id : yakuOrder_) {
        out.yaku.push_back({shared.yaku.name(id), yakuCounts_[id]});
    }
    std::stable_sort(out.yaku.begin(), out.yaku.end(),
                     [](const YakuCount& a, const YakuCount& b) { return a.hands > b.hands; });
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
    for (RatingPoint& point : ratings_) {
        point.date = starts.of(point.game);
    }
    for (GameScore& score : scores_) {
        score.date = starts.of(score.game);
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
    PeriodUnit unit = PeriodUnit::Month;
    std::size_t games = 0;
    Shared shared;
    std::vector<int> counts;          // by player id: the half-games seated
    std::vector<std::size_t> order;   // the ids of the names seated, in the order first met
    std::vector<std::size_t> tallyAt; // by player id: its tally's index, or kNone
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // One per name seated (everyone), or the one player's; a deque, so that the tallies
    // of a table stay where they are while a new name's is added.
    std::deque<Tally> tallies;
    GameNames names;
    HandYaku yaku;
    std::vector<Tally*> seated;
    std::unique_ptr<StrengthCollector> strength;

    Tally* tallyOf(std::string_view name, std::size_t id) {
        if (!player.empty()) {
            return name == player ? &tallies.front() : nullptr;
        }
        if (tallyAt[id] == kNone) {
            tallyAt[id] = tallies.size();
            tallies.emplace_back(std::string(name), unit);
        }
        return &tallies[tallyAt[id]];
    }
    std::size_t place(std::string_view name) {
        const std::size_t id = shared.players.place(name).first;
        if (id >= counts.size()) {
            counts.resize(id + 1, 0);
            tallyAt.resize(id + 1, kNone);
        }
        return id;
    }
    const Tally* tallyNamed(const std::string& name) const {
        const auto id = shared.players.find(name);
        return id && *id < tallyAt.size() && tallyAt[*id] != kNone ? &tallies[tallyAt[*id]]
                                                                   : nullptr;
    }
};

StatsCollector::StatsCollector(std::string player, PeriodUnit unit, StrengthOptions strength)
    : impl_(std::make_unique<Impl>()) {
    impl_->player = std::move(player);
    impl_->unit = unit;
    impl_->strength = std::make_unique<StrengthCollector>(strength);
    if (!impl_->player.empty()) {
        impl_->tallies.emplace_back(impl_->player, unit);
    }
}

StatsCollector::~StatsCollector() = default;

void StatsCollector::add(const GameFacts& game) {
    Impl& s = *impl_;
    ++s.games;
    s.shared.starts.add(game);
    s.yaku.reset();
    GameNames& names = s.names;
    names.seats.assign(game.seats.size(), std::nullopt);
    names.placings.assign(game.placings.size(), std::nullopt);
    for (std::size_t i = 0; i < game.seats.size(); ++i) {
        if (!game.seats[i].name.empty()) {
            names.seats[i] = s.place(game.seats[i].name);
        }
    }
    for (std::size_t i = 0; i < game.placings.size(); ++i) {
        const std::string_view name = game.placings[i].name;
        for (std::size_t j = 0; j < game.seats.size() && !name.empty() && !names.placings[i]; ++j) {
            if (game.seats[j].name == name) {
                names.placings[i] = names.seats[j];
            }
        }
        if (!name.empty() && !names.placings[i]) {
            names.placings[i] = s.place(name);
        }
    }
    const GameContext context{s.shared, names, s.yaku};
    s.seated.clear();
    for (std::size_t i = 0; i < game.seats.size(); ++i) {
        const SeatFacts& seat = game.seats[i];
        if (seat.name.empty() || &seat != findSeat(game, seat.name)) {
            continue; // once per half-game
        }
        const std::size_t id = *names.seats[i];
        if (s.counts[id]++ == 0) {
            s.order.push_back(id);
        }
        if (Tally* tally = s.tallyOf(seat.name, id)) {
            tally->add(game, seat, context);
            s.seated.push_back(tally);
        }
    }
    // Each hand read once for everyone at the table.
    for (const HandFacts& hand : game.hands) {
        for (Tally* tally : s.seated) {
            tally->addHand(game, hand, context);
        }
    }
    for (Tally* tally : s.seated) {
        tally->endGame(game);
    }
    s.strength->add(game, names.seats);
}

std::size_t StatsCollector::games() const {
    return impl_->games;
}

std::optional<OwnerGuess> StatsCollector::owner() const {
    const Impl& s = *impl_;
    if (s.order.empty()) {
        return std::nullopt;
    }
    // The first of the most: max_element keeps the earliest of equals.
    const auto most =
        *std::max_element(s.order.begin(), s.order.end(),
                          [&](std::size_t a, std::size_t b) { return s.counts[a] < s.counts[b]; });
    return OwnerGuess{s.shared.players.name(most), s.counts[most] == static_cast<int>(s.games),
                      s.counts[most]};
}

std::vector<std::string> StatsCollector::names() const {
    const Impl& s = *impl_;
    std::vector<std::size_t> order = s.order;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return s.counts[a] > s.counts[b]; });
    std::vector<std::string> out;
    for (const std::size_t id : order) {
        out.push_back(s.shared.players.name(id));
    }
    return out;
}

PlayerStats StatsCollector::stats(const std::string& player) const {
    const Impl& s = *impl_;
    PlayerStats out;
    if (!s.player.empty()) {
        Tally copy = player == s.player ? s.tallies.front() : Tally(player, s.unit);
        out = copy.finish(s.shared);
    } else {
        const Tally* tally = s.tallyNamed(player);
        Tally copy = tally ? *tally : Tally(player, s.unit);
        out = copy.finish(s.shared);
    }
    // The rating rule is the owner's, whoever is asked for.
    const std::optional<OwnerGuess> guess = owner();
    const std::optional<std::size_t> ownerId =
        guess ? s.shared.players.find(guess->name) : std::nullopt;
    const std::optional<std::size_t> id = s.shared.players.find(player);
    for (TableSizeStats& size : out.bySize) {
        size.strength = s.strength->of(id, ownerId, size);
    }
    return out;
}

std::vector<PlayerStats> StatsCollector::all(int minGames) const {
    const Impl& s = *impl_;
    std::vector<PlayerStats> out;
    for (const std::string& name : names()) {
        if (s.counts[*s.shared.players.find(name)] >= minGames) {
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

PlayerStats computeStats(const std::vector<GameFacts>& games, const std::string& player,
                         StrengthOptions strength) {
    StatsCollector collector(player, PeriodUnit::Month, strength);
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
