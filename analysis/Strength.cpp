// How strong a player is, tallied for every seat in the one pass (see Strength.h).
#include "analysis/Strength.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <numeric>
#include <random>

#include "analysis/Stats.h"

namespace {

constexpr int kMinPairs = 30;
constexpr double kMinRSquared = 0.6;
constexpr int kDraws = 2000;
constexpr std::uint64_t kSeed = 0x5EED2003ull; // fixed: the same interval on every run
constexpr int kProvisional = 100;
constexpr int kMinBlock = 30;
constexpr std::uint32_t kNoId = 0xFFFFFFFFu;

int sizeIndex(int players) {
    return players == 4 ? 0 : players == 3 ? 1 : players == 2 ? 2 : -1;
}

std::optional<double> ratio(double part, double whole) {
    return whole > 0 ? std::optional<double>(part / whole) : std::nullopt;
}

// What one seat did in a half-game, kept for the figures that need the order of the
// half-games (the rule, the stable rating, the last hand, form).
struct SeatEntry {
    std::uint32_t id = kNoId;
    int rating = 0;
    bool rated = false;
    std::int8_t place = 0;  // 1 to the table size; 0 for none
    std::int8_t before = 0; // the place before the last hand; 0 for none
    std::uint16_t wins = 0, dealIns = 0;
};

struct GameEntry {
    bool completed = false;
    std::uint16_t hands = 0;
    std::array<SeatEntry, 4> seats{};
    int seated = 0;

    const SeatEntry* seatOf(std::size_t id) const {
        for (int i = 0; i < seated; ++i) {
            if (seats[static_cast<std::size_t>(i)].id == id) {
                return &seats[static_cast<std::size_t>(i)];
            }
        }
        return nullptr;
    }
    // T: the mean rating of the others whose rating reads.
    std::optional<double> tableRating(const SeatEntry& mine) const {
        long long sum = 0;
        int n = 0;
        for (int i = 0; i < seated; ++i) {
            const SeatEntry& s = seats[static_cast<std::size_t>(i)];
            if (&s != &mine && s.rated) {
                sum += s.rating;
                ++n;
            }
        }
        return n > 0 ? std::optional<double>(static_cast<double>(sum) / n) : std::nullopt;
    }
};

// The sums every player's balance, luck and population figures are made of.
struct HandTally {
    int hands = 0, wins = 0, dealIns = 0, completed = 0, placed = 0, scored = 0;
    long long placeSum = 0, changeSum = 0, winSum = 0, dealInSum = 0;
    double scoreSum = 0, scoreSquares = 0;
    int riichiWins = 0, uraWins = 0, ura = 0, ippatsu = 0;
    int singleWins = 0, dora = 0, aka = 0; // wins with one winner, whose yaku are theirs
    int dealt = 0, dealerHits = 0;
    long long dealerHitLoss = 0;
    int riichiDealIns = 0, damaDealIns = 0;
    long long riichiDealInSum = 0, damaDealInSum = 0;
};

Balance balanceOf(const HandTally& t) {
    Balance b;
    b.pointsPerHand = ratio(static_cast<double>(t.changeSum), t.hands);
    b.winValue = ratio(static_cast<double>(t.winSum), t.hands);
    b.dealInCost = ratio(static_cast<double>(t.dealInSum), t.hands);
    if (b.winValue && b.dealInCost) {
        b.net = *b.winValue - *b.dealInCost;
    }
    if (t.scored >= 2) {
        const double n = t.scored;
        const double variance = (t.scoreSquares - t.scoreSum * t.scoreSum / n) / (n - 1);
        b.scoreSd = std::sqrt(std::max(0.0, variance)) / 10.0; // tenths to points
    }
    return b;
}

Luck luckOf(const HandTally& t, bool tells) {
    Luck l;
    l.uraPerRiichiWin = ratio(t.ura, t.riichiWins);
    l.uraRate = ratio(t.uraWins, t.riichiWins);
    l.ippatsuRate = ratio(t.ippatsu, t.riichiWins);
    l.doraPerWin = ratio(t.dora, t.singleWins);
    l.akaPerWin = ratio(t.aka, t.singleWins);
    if (tells) {
        l.dealerHit.hands = t.dealerHits;
        l.dealerHit.rate = ratio(t.dealerHits, t.dealt);
        l.dealerHit.averageLoss = ratio(static_cast<double>(t.dealerHitLoss), t.dealerHits);
        l.toRiichi = {t.riichiDealIns, ratio(t.riichiDealIns, t.dealIns),
                      ratio(static_cast<double>(t.riichiDealInSum), t.riichiDealIns)};
        l.toDama = {t.damaDealIns, ratio(t.damaDealIns, t.dealIns),
                    ratio(static_cast<double>(t.damaDealInSum), t.damaDealIns)};
    }
    return l;
}

void addRates(LastHandRates& r, int before, int final, int players) {
    if (before == 1) {
        ++r.firstBefore;
        r.keptTop += final == 1;
    } else {
        ++r.notFirstBefore;
        r.reachedTop += final == 1;
    }
    if (before == players) {
        ++r.lastBefore;
        r.escapedLast += final != players;
    }
}

void finishRates(LastHandRates& r) {
    r.keepTopRate = ratio(r.keptTop, r.firstBefore);
    r.reachTopRate = ratio(r.reachedTop, r.notFirstBefore);
    r.escapeLastRate = ratio(r.escapedLast, r.lastBefore);
    r.keepTopInterval = wilsonInterval(r.keptTop, r.firstBefore);
    r.reachTopInterval = wilsonInterval(r.reachedTop, r.notFirstBefore);
    r.escapeLastInterval = wilsonInterval(r.escapedLast, r.lastBefore);
}

// Solves m x = v in place by Gaussian elimination; false when m is singular.
bool solve(std::vector<std::vector<double>>& m, std::vector<double>& v) {
    const std::size_t n = v.size();
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r) {
            if (std::fabs(m[r][c]) > std::fabs(m[pivot][c])) {
                pivot = r;
            }
        }
        if (std::fabs(m[pivot][c]) < 1e-9) {
            return false;
        }
        std::swap(m[c], m[pivot]);
        std::swap(v[c], v[pivot]);
        for (std::size_t r = 0; r < n; ++r) {
            if (r == c) {
                continue;
            }
            const double f = m[r][c] / m[c][c];
            for (std::size_t k = c; k < n; ++k) {
                m[r][k] -= f * m[c][k];
            }
            v[r] -= f * v[c];
        }
    }
    for (std::size_t c = 0; c < n; ++c) {
        v[c] /= m[c][c];
    }
    return true;
}

struct Pair {
    int place;
    double gap;   // T − R
    double delta; // ΔR
};

RatingRule fitRule(const std::vector<Pair>& pairs, int players) {
    RatingRule rule;
    rule.pairs = static_cast<int>(pairs.size());
    const std::size_t n = static_cast<std::size_t>(players) + 1; // a per place, then b
    if (pairs.size() <= n) {
        return rule;
    }
    std::vector<std::vector<double>> m(n, std::vector<double>(n, 0));
    std::vector<double> v(n, 0);
    for (const Pair& p : pairs) {
        const auto k = static_cast<std::size_t>(p.place - 1);
        m[k][k] += 1;
        m[k][n - 1] += p.gap;
        m[n - 1][k] += p.gap;
        m[n - 1][n - 1] += p.gap * p.gap;
        v[k] += p.delta;
        v[n - 1] += p.gap * p.delta;
    }
    if (!solve(m, v)) {
        return rule;
    }
    double mean = 0;
    for (const Pair& p : pairs) {
        mean += p.delta;
    }
    mean /= static_cast<double>(pairs.size());
    double residual = 0, total = 0;
    for (const Pair& p : pairs) {
        const double e = p.delta - v[static_cast<std::size_t>(p.place - 1)] - v[n - 1] * p.gap;
        residual += e * e;
        total += (p.delta - mean) * (p.delta - mean);
    }
    // To a billionth: a rule that holds exactly reads back as its own whole numbers.
    const auto tidy = [](double x) { return std::round(x * 1e9) / 1e9 + 0.0; };
    for (std::size_t k = 0; k + 1 < n; ++k) {
        rule.a.push_back(tidy(v[k]));
    }
    rule.b = tidy(v[n - 1]);
    if (total > 0) {
        rule.rSquared = std::max(0.0, 1 - residual / total);
    }
    rule.residualSd = tidy(std::sqrt(residual / static_cast<double>(pairs.size() - n)));
    rule.learnt =
        rule.pairs >= kMinPairs && rule.rSquared && *rule.rSquared >= kMinRSquared && *rule.b > 0;
    return rule;
}

// The value at share q of sorted values, read between the two nearest (R's type 7).
double quantile(const std::vector<double>& sorted, double q) {
    const double h = (static_cast<double>(sorted.size()) - 1) * q;
    const auto low = static_cast<std::size_t>(h);
    const std::size_t high = std::min(low + 1, sorted.size() - 1);
    return sorted[low] + (h - static_cast<double>(low)) * (sorted[high] - sorted[low]);
}

// t at 97.5% with df degrees of freedom, by the Cornish–Fisher series in 1/df: within
// 1e-5 from 10 degrees up, and Welch's df here is never far below 29.
double tQuantile975(double df) {
    const double z = 1.959963984540054;
    const double z2 = z * z, z3 = z2 * z, z5 = z3 * z2, z7 = z5 * z2, z9 = z7 * z2;
    const double g1 = (z3 + z) / 4;
    const double g2 = (5 * z5 + 16 * z3 + 3 * z) / 96;
    const double g3 = (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / 384;
    const double g4 = (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / 92160;
    return z + g1 / df + g2 / (df * df) + g3 / (df * df * df) + g4 / (df * df * df * df);
}

// The median of the values there are.
std::optional<double> median(std::vector<double> values) {
    if (values.empty()) {
        return std::nullopt;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The share of others the value beats, ties half; lower: a lower value is better.
std::optional<double> percentile(const std::vector<double>& sorted, double value, bool lower,
                                 bool selfIncluded) {
    const auto below = std::lower_bound(sorted.begin(), sorted.end(), value) - sorted.begin();
    const auto upTo = std::upper_bound(sorted.begin(), sorted.end(), value) - sorted.begin();
    double ties = static_cast<double>(upTo - below) - (selfIncluded ? 1 : 0);
    const double others = static_cast<double>(sorted.size()) - (selfIncluded ? 1 : 0);
    const double worse = lower ? static_cast<double>(static_cast<long long>(sorted.size()) - upTo)
                               : static_cast<double>(below);
    return ratio(worse + ties / 2, others);
}

} // namespace

std::optional<double> settledRating(const RatingRule& rule, const std::vector<int>& placeCounts,
                                    double meanTable) {
    long long n = 0;
    for (int c : placeCounts) {
        n += c;
    }
    if (!rule.learnt || n == 0 || placeCounts.size() != rule.a.size()) {
        return std::nullopt;
    }
    double gain = 0;
    for (std::size_t k = 0; k < placeCounts.size(); ++k) {
        gain += static_cast<double>(placeCounts[k]) / static_cast<double>(n) * rule.a[k];
    }
    return meanTable + gain / *rule.b;
}

std::optional<Interval> settledRatingInterval(const RatingRule& rule,
                                              const std::vector<int>& placeCounts,
                                              double meanTable) {
    if (!settledRating(rule, placeCounts, meanTable)) {
        return std::nullopt;
    }
    if (std::accumulate(placeCounts.begin(), placeCounts.end(), 0LL) >= (1LL << 31)) {
        return std::nullopt; // beyond what a 32-bit trial reaches
    }
    // The engine's output is fixed by the standard, and the draw below uses integers
    // only, so every platform gives the same interval; std's distributions would not.
    std::mt19937_64 engine(kSeed);
    std::vector<unsigned long long> upTo; // cumulative counts
    unsigned long long n = 0;
    for (int c : placeCounts) {
        n += static_cast<unsigned long long>(c);
        upTo.push_back(n);
    }
    std::vector<double> values;
    values.reserve(kDraws);
    std::vector<int> drawn(placeCounts.size());
    for (int d = 0; d < kDraws; ++d) {
        std::fill(drawn.begin(), drawn.end(), 0);
        // Two trials per draw of the engine, each its 32 bits scaled to [0, n) by a
        // multiply: n is far below 2^32, so the bias is too small to see.
        const auto trial = [&](std::uint64_t bits) {
            const std::uint64_t r = (bits * n) >> 32;
            std::size_t k = 0;
            while (r >= upTo[k]) {
                ++k;
            }
            ++drawn[k];
        };
        for (unsigned long long i = 0; i < n; i += 2) {
            const std::uint64_t bits = engine();
            trial(bits >> 32);
            if (i + 1 < n) {
                trial(bits & 0xFFFFFFFFu);
            }
        }
        values.push_back(*settledRating(rule, drawn, meanTable));
    }
    std::sort(values.begin(), values.end());
    return Interval{quantile(values, 0.025), quantile(values, 0.975)};
}

std::optional<Interval> welchInterval(long long n1, double sum1, double squares1, long long n2,
                                      double sum2, double squares2) {
    if (n1 < 2 || n2 < 2) {
        return std::nullopt;
    }
    const double m1 = sum1 / n1, m2 = sum2 / n2;
    const double v1 = std::max(0.0, (squares1 - sum1 * m1) / (n1 - 1)) / n1;
    const double v2 = std::max(0.0, (squares2 - sum2 * m2) / (n2 - 1)) / n2;
    const double se = std::sqrt(v1 + v2);
    const double d = m1 - m2;
    if (se == 0) {
        return Interval{d, d};
    }
    const double df =
        (v1 + v2) * (v1 + v2) /
        (v1 * v1 / static_cast<double>(n1 - 1) + v2 * v2 / static_cast<double>(n2 - 1));
    const double t = tQuantile975(df);
    return Interval{d - t * se, d + t * se};
}

std::optional<Interval> newcombeInterval(long long count1, long long total1, long long count2,
                                         long long total2) {
    const std::optional<Interval> w1 = wilsonInterval(count1, total1);
    const std::optional<Interval> w2 = wilsonInterval(count2, total2);
    if (!w1 || !w2) {
        return std::nullopt;
    }
    const double p1 = static_cast<double>(count1) / total1;
    const double p2 = static_cast<double>(count2) / total2;
    const double d = p1 - p2;
    const auto square = [](double x) { return x * x; };
    return Interval{d - std::sqrt(square(p1 - w1->low) + square(w2->high - p2)),
                    d + std::sqrt(square(w1->high - p1) + square(p2 - w2->low))};
}

struct StrengthCollector::Impl {
    StrengthOptions options;
    std::array<std::vector<GameEntry>, 3> games;   // by size index, in order
    std::vector<std::array<HandTally, 3>> tallies; // by player id
    std::array<LastHandRates, 3> usual;
    // Worked out when first asked for, as --all asks for every player.
    mutable std::map<std::pair<std::size_t, int>, RatingRule> rules; // by owner and size
    struct Pooled {
        std::vector<double> averagePlace, winRate, dealInRate, pointsPerHand;
        Balance medianBalance;
        Luck medianLuck;
    };
    mutable std::array<std::optional<Pooled>, 3> pooled;

    HandTally& tallyOf(std::size_t id, int index) {
        if (id >= tallies.size()) {
            tallies.resize(id + 1);
        }
        return tallies[id][static_cast<std::size_t>(index)];
    }
    const RatingRule& ruleOf(std::size_t owner, int index) const;
    const Pooled& pooledOf(int index, bool tells) const;
};

const RatingRule& StrengthCollector::Impl::ruleOf(std::size_t owner, int index) const {
    const auto key = std::make_pair(owner, index);
    const auto found = rules.find(key);
    if (found != rules.end()) {
        return found->second;
    }
    std::vector<Pair> pairs;
    const GameEntry* last = nullptr; // the owner's half-game before, at this size
    const SeatEntry* lastSeat = nullptr;
    for (const GameEntry& game : games[static_cast<std::size_t>(index)]) {
        const SeatEntry* seat = game.seatOf(owner);
        if (!seat) {
            continue;
        }
        if (last && last->completed && lastSeat->place > 0 && lastSeat->rated && seat->rated) {
            if (const std::optional<double> t = last->tableRating(*lastSeat)) {
                pairs.push_back({lastSeat->place, *t - lastSeat->rating,
                                 static_cast<double>(seat->rating - lastSeat->rating)});
            }
        }
        last = &game;
        lastSeat = seat;
    }
    return rules.emplace(key, fitRule(pairs, 4 - index)).first->second;
}

const StrengthCollector::Impl::Pooled& StrengthCollector::Impl::pooledOf(int index,
                                                                         bool tells) const {
    std::optional<Pooled>& cached = pooled[static_cast<std::size_t>(index)];
    if (cached) {
        return *cached;
    }
    Pooled p;
    std::vector<double> ppHand, winValue, dealInCost, net, scoreSd, uraPer, uraRate, ippatsu, dora,
        aka;
    const auto put = [](std::vector<double>& to, const std::optional<double>& value) {
        if (value) {
            to.push_back(*value);
        }
    };
    for (const auto& sizes : tallies) {
        const HandTally& t = sizes[static_cast<std::size_t>(index)];
        if (t.completed < options.minGames || t.completed == 0) {
            continue;
        }
        put(p.averagePlace, ratio(static_cast<double>(t.placeSum), t.placed));
        put(p.winRate, ratio(t.wins, t.hands));
        if (tells) {
            put(p.dealInRate, ratio(t.dealIns, t.hands));
        }
        const Balance b = balanceOf(t);
        const Luck l = luckOf(t, tells);
        put(ppHand, b.pointsPerHand);
        put(winValue, b.winValue);
        put(dealInCost, b.dealInCost);
        put(net, b.net);
        put(scoreSd, b.scoreSd);
        put(uraPer, l.uraPerRiichiWin);
        put(uraRate, l.uraRate);
        put(ippatsu, l.ippatsuRate);
        put(dora, l.doraPerWin);
        put(aka, l.akaPerWin);
    }
    p.pointsPerHand = ppHand;
    for (std::vector<double>* v : {&p.averagePlace, &p.winRate, &p.dealInRate, &p.pointsPerHand}) {
        std::sort(v->begin(), v->end());
    }
    p.medianBalance = {median(ppHand), median(winValue), median(dealInCost), median(net),
                       median(scoreSd)};
    p.medianLuck.uraPerRiichiWin = median(uraPer);
    p.medianLuck.uraRate = median(uraRate);
    p.medianLuck.ippatsuRate = median(ippatsu);
    p.medianLuck.doraPerWin = median(dora);
    p.medianLuck.akaPerWin = median(aka);
    cached = std::move(p);
    return *cached;
}

StrengthCollector::StrengthCollector(StrengthOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = options;
}

StrengthCollector::~StrengthCollector() = default;

void StrengthCollector::add(const GameFacts& game,
                            const std::vector<std::optional<std::size_t>>& ids) {
    Impl& s = *impl_;
    const int index = sizeIndex(game.playerCount);
    if (index < 0) {
        return;
    }
    const int players = game.playerCount;
    const bool tells = paymentsTellTsumo(players);
    for (auto& p : s.pooled) {
        p.reset();
    }
    s.rules.clear();
    GameEntry entry;
    entry.completed = !game.aborted;
    entry.hands = static_cast<std::uint16_t>(std::min<std::size_t>(game.hands.size(), 0xFFFF));
    // The points before the last hand, where the log gives running points.
    const std::vector<long long>* before = nullptr;
    if (!game.aborted && game.hands.size() >= 2) {
        const std::vector<long long>& points = game.hands[game.hands.size() - 2].pointsAfter;
        if (points.size() == game.seats.size() &&
            game.seats.size() == static_cast<std::size_t>(players)) {
            before = &points;
        }
    }
    struct Seated {
        const SeatFacts* seat;
        HandTally* tally;
        SeatEntry* entry;
    };
    std::array<Seated, 4> seated{};
    int count = 0;
    // Every id's tally first: a later one must not move the earlier ones.
    for (const std::optional<std::size_t>& id : ids) {
        if (id && *id >= s.tallies.size()) {
            s.tallies.resize(*id + 1);
        }
    }
    for (std::size_t i = 0; i < game.seats.size() && i < ids.size() && count < 4; ++i) {
        const SeatFacts& seat = game.seats[i];
        if (!ids[i] || &seat != findSeat(game, seat.name)) {
            continue;
        }
        SeatEntry& e = entry.seats[static_cast<std::size_t>(count)];
        e.id = static_cast<std::uint32_t>(*ids[i]);
        e.rated = seat.rating.has_value();
        e.rating = seat.rating.value_or(0);
        HandTally& t = s.tallyOf(*ids[i], index);
        if (!game.aborted) {
            ++t.completed;
            const PlacingFacts* placing = findPlacing(game, seat.name);
            if (placing && placing->place && *placing->place >= 1 && *placing->place <= players) {
                e.place = static_cast<std::int8_t>(*placing->place);
                ++t.placed;
                t.placeSum += *placing->place;
                if (placing->scoreTenths) {
                    const double score = *placing->scoreTenths;
                    ++t.scored;
                    t.scoreSum += score;
                    t.scoreSquares += score * score;
                }
            }
        }
        if (before && e.place > 0) {
            int place = 1;
            for (std::size_t j = 0; j < before->size(); ++j) {
                place += (*before)[j] > (*before)[i] || ((*before)[j] == (*before)[i] && j < i);
            }
            e.before = static_cast<std::int8_t>(place);
            addRates(s.usual[static_cast<std::size_t>(index)], place, e.place, players);
        }
        seated[static_cast<std::size_t>(count++)] = {&seat, &t, &e};
    }
    entry.seated = count;

    for (const HandFacts& hand : game.hands) {
        for (int k = 0; k < count; ++k) {
            const Seated& who = seated[static_cast<std::size_t>(k)];
            HandTally& t = *who.tally;
            const int seatNumber = who.seat->seat;
            ++t.hands;
            const bool dealt = hand.dealer && *hand.dealer == seatNumber;
            t.dealt += dealt;
            if (!hand.resultParsed) {
                continue;
            }
            // The rules of a win and a deal-in are those of the stats' own tally.
            const auto [change, gain, won, onlyPayer] = seatPart(hand, seatNumber, who.seat->name);
            t.changeSum += change;
            if (hand.draw) {
                continue;
            }
            if (won) {
                ++t.wins;
                who.entry->wins = static_cast<std::uint16_t>(
                    std::min(0xFFFF, who.entry->wins + 1)); // a hostile log's endless hands
                t.winSum += gain;
                if (hand.winnerRiichi.value_or(false)) {
                    ++t.riichiWins;
                    t.uraWins += hand.ura > 0;
                    t.ura += hand.ura;
                    t.ippatsu += std::find(hand.yakuNames.begin(), hand.yakuNames.end(), "一発") !=
                                 hand.yakuNames.end();
                }
                if (hand.winners.size() == 1) {
                    ++t.singleWins;
                    t.dora += hand.dora;
                    t.aka += hand.aka;
                }
            } else if (tells && !hand.winners.empty() && onlyPayer) {
                ++t.dealIns;
                who.entry->dealIns =
                    static_cast<std::uint16_t>(std::min(0xFFFF, who.entry->dealIns + 1));
                t.dealInSum += -change;
                if (hand.winnerRiichi) {
                    (*hand.winnerRiichi ? t.riichiDealIns : t.damaDealIns) += 1;
                    (*hand.winnerRiichi ? t.riichiDealInSum : t.damaDealInSum) += -change;
                }
            } else if (tells && dealt && hand.kind == HandKind::Tsumo && hand.limit) {
                ++t.dealerHits;
                t.dealerHitLoss += -change;
            }
        }
    }
    s.games[static_cast<std::size_t>(index)].push_back(entry);
}

StrengthStats StrengthCollector::of(std::optional<std::size_t> player,
                                    std::optional<std::size_t> owner,
                                    const TableSizeStats& stats) const {
    const Impl& s = *impl_;
    StrengthStats out;
    const int index = sizeIndex(stats.players);
    if (index < 0) {
        return out;
    }
    const int players = stats.players;
    const bool tells = paymentsTellTsumo(players);
    const auto& games = s.games[static_cast<std::size_t>(index)];

    AllLast& last = out.allLast;
    last.usual = s.usual[static_cast<std::size_t>(index)];
    finishRates(last.usual);
    for (int place = 1; place <= players; ++place) {
        last.from.push_back({place, 0, std::vector<int>(static_cast<std::size_t>(players), 0)});
    }
    // The player's placed half-games in order, for form: place, hands, wins, deal-ins.
    struct Placed {
        int place, hands, wins, dealIns;
    };
    std::vector<Placed> placed;
    double tableSum = 0;
    int tableGames = 0;
    for (const GameEntry& game : games) {
        const SeatEntry* seat = player ? game.seatOf(*player) : nullptr;
        if (!seat) {
            continue;
        }
        if (const std::optional<double> t = game.tableRating(*seat)) {
            tableSum += *t;
            ++tableGames;
        }
        if (seat->place > 0) {
            placed.push_back({seat->place, game.hands, seat->wins, seat->dealIns});
        }
        if (seat->place > 0 && seat->before > 0) {
            ++last.games;
            LastHandRow& row = last.from[static_cast<std::size_t>(seat->before - 1)];
            ++row.games;
            ++row.final[static_cast<std::size_t>(seat->place - 1)];
            addRates(last.mine, seat->before, seat->place, players);
        }
    }
    finishRates(last.mine);

    StableRating& stable = out.stableRating;
    if (owner) {
        stable.rule = s.ruleOf(*owner, index);
    }
    if (stable.rule.learnt && tableGames > 0) {
        const double meanTable = tableSum / tableGames;
        stable.value = settledRating(stable.rule, stats.placeCounts, meanTable);
        if (stable.value) {
            stable.interval = settledRatingInterval(stable.rule, stats.placeCounts, meanTable);
            int n = 0;
            double gain = 0;
            for (std::size_t k = 0; k < stats.placeCounts.size(); ++k) {
                n += stats.placeCounts[k];
            }
            for (std::size_t k = 0; k < stats.placeCounts.size(); ++k) {
                gain += static_cast<double>(stats.placeCounts[k]) / n * stable.rule.a[k];
            }
            if (stats.lastRating) {
                stable.expectedChange =
                    gain + *stable.rule.b * (meanTable - stats.lastRating->rating);
            }
            stable.provisional = n < kProvisional;
        }
    }

    const HandTally none;
    const HandTally& mine = player && *player < s.tallies.size()
                                ? s.tallies[*player][static_cast<std::size_t>(index)]
                                : none;
    out.balance = balanceOf(mine);
    out.luck = luckOf(mine, tells);

    const Impl::Pooled& pool = s.pooledOf(index, tells);
    Population& population = out.population;
    population.players = static_cast<int>(pool.averagePlace.size());
    population.medianBalance = pool.medianBalance;
    population.medianLuck = pool.medianLuck;
    const bool among = mine.completed >= s.options.minGames && mine.completed > 0;
    const auto share = [&](const std::vector<double>& sorted, const std::optional<double>& value,
                           bool lower) -> std::optional<double> {
        if (!among || !value) {
            return std::nullopt;
        }
        return percentile(sorted, *value, lower, true);
    };
    population.averagePlace =
        share(pool.averagePlace, ratio(static_cast<double>(mine.placeSum), mine.placed), true);
    population.winRate = share(pool.winRate, ratio(mine.wins, mine.hands), false);
    if (tells) {
        population.dealInRate = share(pool.dealInRate, ratio(mine.dealIns, mine.hands), true);
    }
    population.pointsPerHand = share(pool.pointsPerHand, out.balance.pointsPerHand, false);

    Form& form = out.form;
    const int block = std::max(1, s.options.block);
    const int total = static_cast<int>(placed.size());
    const int newest = std::min(block, total);
    const int previous = std::min(block, total - newest);
    struct Sums {
        long long n = 0, hands = 0, wins = 0, dealIns = 0;
        double sum = 0, squares = 0;
    };
    const auto sums = [&](int from, int to) {
        Sums out;
        for (int i = from; i < to; ++i) {
            const Placed& p = placed[static_cast<std::size_t>(i)];
            ++out.n;
            out.sum += p.place;
            out.squares += static_cast<double>(p.place) * p.place;
            out.hands += p.hands;
            out.wins += p.wins;
            out.dealIns += p.dealIns;
        }
        return out;
    };
    const Sums now = sums(total - newest, total);
    const Sums before = sums(total - newest - previous, total - newest);
    const auto blockOf = [&](const Sums& b) {
        FormBlock out;
        out.games = static_cast<int>(b.n);
        out.averagePlace = ratio(b.sum, static_cast<double>(b.n));
        out.winRate = ratio(static_cast<double>(b.wins), static_cast<double>(b.hands));
        if (tells) {
            out.dealInRate = ratio(static_cast<double>(b.dealIns), static_cast<double>(b.hands));
        }
        return out;
    };
    form.newest = blockOf(now);
    form.previous = blockOf(before);
    if (now.n >= kMinBlock && before.n >= kMinBlock) {
        const auto difference = [](const std::optional<double>& a, const std::optional<double>& b) {
            return a && b ? std::optional<double>(*a - *b) : std::nullopt;
        };
        form.averagePlace = difference(form.newest.averagePlace, form.previous.averagePlace);
        form.averagePlaceInterval =
            welchInterval(now.n, now.sum, now.squares, before.n, before.sum, before.squares);
        form.winRate = difference(form.newest.winRate, form.previous.winRate);
        form.winRateInterval = newcombeInterval(now.wins, now.hands, before.wins, before.hands);
        if (tells) {
            form.dealInRate = difference(form.newest.dealInRate, form.previous.dealInRate);
            form.dealInRateInterval =
                newcombeInterval(now.dealIns, now.hands, before.dealIns, before.hands);
        }
        for (const auto& [key, interval] : {std::pair{"average_place", &form.averagePlaceInterval},
                                            std::pair{"win_rate", &form.winRateInterval},
                                            std::pair{"deal_in_rate", &form.dealInRateInterval}}) {
            if (*interval && ((*interval)->low > 0 || (*interval)->high < 0)) {
                form.changed.push_back(key);
            }
        }
    }
    return out;
}
