// The stats tables and JSON: rows and keys come from the catalogue of figures; only the
// parts made of several values (places, records, lists) are laid out here by name.
#include "cli/StatsOutput.h"

#include <algorithm>

#include "analysis/Figures.h"
#include "text/Encoding.h"
#include "text/Numbers.h"
#include "text/TextTable.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;
const std::string kAbsent = "-";

// The table lists this many opponents, and of each list of names; JSON lists every one.
constexpr std::size_t kTableOpponents = 30;
constexpr std::size_t kTableNames = 10;

std::string ordinal(int place) {
    static const char* const kSuffix[] = {"st", "nd", "rd", "th"};
    return std::to_string(place) + kSuffix[std::min(place, 4) - 1];
}

std::string sizeHeading(int players) {
    return std::to_string(players) + " players";
}

std::string ratingCell(const std::optional<RatingPoint>& point) {
    if (!point) {
        return kAbsent;
    }
    // The day is enough for the eye; JSON has the minute.
    return std::to_string(point->rating) +
           (point->date.empty() ? "" : " " + point->date.substr(0, 10));
}

std::string handCell(const std::optional<HandRecordPoints>& hand) {
    return hand ? "#" + std::to_string(hand->game) + " hand " + std::to_string(hand->hand)
                : kAbsent;
}

std::string runCell(const std::optional<RunRecord>& run) {
    return run ? std::to_string(run->games) + " (#" + std::to_string(run->firstGame) + "-#" +
                     std::to_string(run->lastGame) + ")"
               : kAbsent;
}

std::string scoreCell(const std::optional<ScoreRecord>& score) {
    return score ? signedTenthsText(score->tenths) + " (#" + std::to_string(score->game) + ")"
                 : kAbsent;
}

std::string table(const Rows& rows) {
    std::vector<Align> align(rows.empty() ? 0 : rows.front().size(), Align::Right);
    if (!align.empty()) {
        align[0] = Align::Left;
    }
    return alignedTable(rows, align);
}

// A row per figure of the catalogue, a column per table size.
std::string sizeTable(const PlayerStats& stats) {
    const auto& sizes = stats.bySize;
    Rows rows;
    const auto row = [&](std::string label, auto cell) {
        std::vector<std::string> cells{std::move(label)};
        for (const TableSizeStats& s : sizes) {
            cells.push_back(cell(s));
        }
        rows.push_back(std::move(cells));
    };
    row("", [](const TableSizeStats& s) { return sizeHeading(s.players); });
    const bool anyUnplaced =
        std::any_of(sizes.begin(), sizes.end(), [](const auto& s) { return s.unplaced > 0; });
    for (const Figure& f : sizeFigures()) {
        if (!f.row || (f.key == "unplaced" && !anyUnplaced)) {
            continue;
        }
        if (f.key == "places") {
            for (int place = 1; place <= sizes.front().players; ++place) {
                row(ordinal(place), [place](const TableSizeStats& s) -> std::string {
                    const auto i = static_cast<std::size_t>(place - 1);
                    if (place > s.players) {
                        return {};
                    }
                    const std::string rate = percentOrAbsent(s.placeRates[i], kAbsent);
                    return s.placeRates[i] ? std::to_string(s.placeCounts[i]) + " (" + rate + ")"
                                           : kAbsent;
                });
            }
        } else if (f.key == "largest_win") {
            row(terminalLabel(f), [](const TableSizeStats& s) {
                return s.largestWin ? signedPointsText(*s.largestWin) : kAbsent;
            });
            row("  at", [](const TableSizeStats& s) {
                return s.largestWin ? "#" + std::to_string(s.largestWinGame) + " hand " +
                                          std::to_string(s.largestWinHand)
                                    : kAbsent;
            });
        } else if (f.key == "deal_in.largest") {
            row(terminalLabel(f), [](const TableSizeStats& s) {
                return s.dealIn.largest ? std::to_string(s.dealIn.largest->points) : kAbsent;
            });
            row("  at", [](const TableSizeStats& s) { return handCell(s.dealIn.largest); });
        } else if (f.style != FigureStyle::Part) {
            row(terminalLabel(f),
                [&f](const TableSizeStats& s) { return figureText(f, s, kAbsent); });
            if (f.interval) {
                row("  95% interval", [&f](const TableSizeStats& s) {
                    const std::string text = intervalText(f, s, "-");
                    return text.empty() ? kAbsent
                                        : text + (f.style == FigureStyle::Rate ? "%" : "");
                });
            }
        }
    }
    return table(rows);
}

std::string recordsTable(const PlayerStats& stats) {
    Rows rows{{"Records", "best score", "worst score", "most 1st in a row",
               "most not last in a row", "most wins in a half-game"}};
    for (const TableSizeStats& s : stats.bySize) {
        const Records& r = s.records;
        rows.push_back({sizeHeading(s.players), scoreCell(r.bestScore), scoreCell(r.worstScore),
                        runCell(r.longestTopRun), runCell(r.longestNoLastRun),
                        r.mostWinsInGame ? std::to_string(r.mostWinsInGame->wins) + " (#" +
                                               std::to_string(r.mostWinsInGame->game) + ")"
                                         : kAbsent});
    }
    return table(rows);
}

// Whom the player dealt into, limits and seats: one small table per table size.
std::string detailTables(const PlayerStats& stats) {
    std::string out;
    for (const TableSizeStats& s : stats.bySize) {
        const std::string size = sizeHeading(s.players);
        if (!s.dealIn.into.empty()) {
            Rows rows{{"Dealt into, " + size, "times", "points"}};
            for (std::size_t i = 0; i < s.dealIn.into.size() && i < kTableNames; ++i) {
                const DealInto& d = s.dealIn.into[i];
                rows.push_back(
                    {"  " + d.winner, std::to_string(d.count), std::to_string(d.points)});
            }
            out += "\n" + table(rows);
        }
        if (!s.limits.empty()) {
            Rows rows{{"Limits, " + size, "wins", "deal-ins"}};
            for (const LimitCount& l : s.limits) {
                rows.push_back({"  " + l.limit.value_or("(none)"), std::to_string(l.wins),
                                std::to_string(l.dealIns)});
            }
            out += "\n" + table(rows);
        }
        Rows seats{{"By seat, " + size, "half-games", "average place"}};
        for (const SeatPlaces& seat : s.bySeat) {
            seats.push_back({"  [" + std::to_string(seat.seat) + "]", std::to_string(seat.games),
                             orAbsent(seat.averagePlace, 2, kAbsent)});
        }
        out += "\n" + table(seats);
    }
    return out;
}

// ---- JSON, in UTF-8. Absent figures are null, so every key is always there.

using json = nlohmann::ordered_json;

template <typename T> json orNull(const std::optional<T>& value) {
    return value ? json(*value) : json(nullptr);
}

json intervalJson(const std::optional<Interval>& interval) {
    return interval ? json::array({interval->low, interval->high}) : json(nullptr);
}

json ratingJson(const std::optional<RatingPoint>& point) {
    if (!point) {
        return nullptr;
    }
    return {{"rating", point->rating},
            {"date", point->date.empty() ? json(nullptr) : json(point->date)},
            {"game", point->game}};
}

json handJson(const std::optional<HandRecordPoints>& hand) {
    return hand ? json{{"points", hand->points}, {"game", hand->game}, {"hand", hand->hand}}
                : json(nullptr);
}

json runJson(const std::optional<RunRecord>& run) {
    return run ? json{{"games", run->games},
                      {"first_game", run->firstGame},
                      {"last_game", run->lastGame}}
               : json(nullptr);
}

json scoreJson(const std::optional<ScoreRecord>& score) {
    return score ? json{{"score", score->tenths / 10.0}, {"game", score->game}} : json(nullptr);
}

// The value of a part made of several values, by its key.
json partJson(std::string_view key, const TableSizeStats& s) {
    if (key == "places") {
        json places = json::array();
        for (std::size_t i = 0; i < s.placeCounts.size(); ++i) {
            places.push_back(
                {{"place", i + 1}, {"count", s.placeCounts[i]}, {"rate", orNull(s.placeRates[i])}});
        }
        return places;
    }
    if (key == "rating") {
        return {{"first", ratingJson(s.firstRating)},
                {"last", ratingJson(s.lastRating)},
                {"highest", ratingJson(s.highestRating)},
                {"lowest", ratingJson(s.lowestRating)}};
    }
    if (key == "largest_win") {
        return s.largestWin ? json{{"points", *s.largestWin},
                                   {"game", s.largestWinGame},
                                   {"hand", s.largestWinHand}}
                            : json(nullptr);
    }
    if (key == "deal_in.largest") {
        return handJson(s.dealIn.largest);
    }
    if (key == "deal_in.into") {
        json into = json::array();
        for (const DealInto& d : s.dealIn.into) {
            into.push_back(
                {{"winner", cp932ToUtf8(d.winner)}, {"count", d.count}, {"points", d.points}});
        }
        return into;
    }
    if (key == "limits") {
        json limits = json::array();
        for (const LimitCount& l : s.limits) {
            limits.push_back({{"limit", l.limit ? json(cp932ToUtf8(*l.limit)) : json(nullptr)},
                              {"wins", l.wins},
                              {"deal_ins", l.dealIns}});
        }
        return limits;
    }
    if (key == "by_seat") {
        json seats = json::array();
        for (const SeatPlaces& seat : s.bySeat) {
            seats.push_back({{"seat", seat.seat},
                             {"games", seat.games},
                             {"average_place", orNull(seat.averagePlace)}});
        }
        return seats;
    }
    if (key == "records") {
        const Records& r = s.records;
        return {{"best_score", scoreJson(r.bestScore)},
                {"worst_score", scoreJson(r.worstScore)},
                {"longest_top_run", runJson(r.longestTopRun)},
                {"longest_no_last_run", runJson(r.longestNoLastRun)},
                {"most_wins_in_game", r.mostWinsInGame ? json{{"wins", r.mostWinsInGame->wins},
                                                              {"game", r.mostWinsInGame->game}}
                                                       : json(nullptr)}};
    }
    if (key == "intervals") {
        const FigureIntervals& in = s.intervals;
        return {{"average_place", intervalJson(in.averagePlace)},
                {"top_two_rate", intervalJson(in.topTwoRate)},
                {"last_avoidance_rate", intervalJson(in.lastAvoidanceRate)},
                {"win_rate", intervalJson(in.winRate)},
                {"deal_in_rate", intervalJson(in.dealInRate)}};
    }
    if (key == "periods") {
        json periods = json::array();
        for (const PeriodStats& p : s.periods) {
            periods.push_back({{"period", p.period},
                               {"games", p.games},
                               {"completed", p.completed},
                               {"average_place", orNull(p.averagePlace)},
                               {"average_place_interval", intervalJson(p.averagePlaceInterval)},
                               {"top_two_rate", orNull(p.topTwoRate)},
                               {"last_avoidance_rate", orNull(p.lastAvoidanceRate)},
                               {"win_rate", orNull(p.winRate)},
                               {"deal_in_rate", orNull(p.dealInRate)},
                               {"average_score", orNull(p.averageScore)},
                               {"last_rating", orNull(p.lastRating)}});
        }
        return periods;
    }
    if (key == "hours") {
        json hours = json::array();
        for (const HourStats& h : s.hours) {
            hours.push_back(
                {{"hour", h.hour}, {"games", h.games}, {"average_place", orNull(h.averagePlace)}});
        }
        return hours;
    }
    return nullptr;
}

json figureJson(const Figure& f, const TableSizeStats& s) {
    if (f.style == FigureStyle::Part) {
        return partJson(f.key, s);
    }
    const std::optional<double> value = f.value(s);
    if (!value) {
        return nullptr;
    }
    if (f.style == FigureStyle::Count) {
        return static_cast<long long>(*value);
    }
    return *value;
}

json sizeJson(const TableSizeStats& s) {
    json out = {{"players", s.players}};
    for (const Figure& f : sizeFigures()) {
        // "dealer.win_rate": a member of the object "dealer", made where first met.
        const std::size_t dot = f.key.find('.');
        if (dot == std::string_view::npos) {
            out[std::string(f.key)] = figureJson(f, s);
        } else {
            out[std::string(f.key.substr(0, dot))][std::string(f.key.substr(dot + 1))] =
                figureJson(f, s);
        }
    }
    return out;
}

} // namespace

std::string statsTable(const PlayerStats& stats, const std::string& heading) {
    std::string out = heading + "\n";
    if (stats.bySize.empty()) {
        return out;
    }
    out += "\n" + sizeTable(stats);

    Rows ratings{{"Rating", "first", "last", "highest", "lowest"}};
    for (const TableSizeStats& s : stats.bySize) {
        ratings.push_back({sizeHeading(s.players), ratingCell(s.firstRating),
                           ratingCell(s.lastRating), ratingCell(s.highestRating),
                           ratingCell(s.lowestRating)});
    }
    out += "\n" + table(ratings);
    out += "\n" + recordsTable(stats);
    out += detailTables(stats);

    out += "\nYaku in " + std::to_string(stats.yakuHands) + " won hands (dora " +
           std::to_string(stats.dora) + ", ura " + std::to_string(stats.uraDora) + ", aka " +
           std::to_string(stats.akaDora) + ")\n";
    Rows yaku;
    for (const YakuCount& y : stats.yaku) {
        yaku.push_back({"  " + y.yaku, std::to_string(y.hands),
                        percentText(static_cast<double>(y.hands) / stats.yakuHands)});
    }
    out += table(yaku);

    if (!stats.opponents.empty()) {
        Rows versus{{"Head to head", "half-games", "placed above", "score diff"}};
        for (std::size_t i = 0; i < stats.opponents.size() && i < kTableOpponents; ++i) {
            const HeadToHead& h = stats.opponents[i];
            versus.push_back(
                {"  " + h.opponent, std::to_string(h.games),
                 h.aboveRate ? std::to_string(h.above) + " (" + percentText(*h.aboveRate) + ")"
                             : kAbsent,
                 h.scoreDifference ? signedDecimalText(*h.scoreDifference, 1) : kAbsent});
        }
        out += "\n" + table(versus);
        if (stats.opponents.size() > kTableOpponents) {
            out += "  ... and " + std::to_string(stats.opponents.size() - kTableOpponents) +
                   " more (--format json lists every opponent)\n";
        }
    }
    if (std::any_of(stats.bySize.begin(), stats.bySize.end(),
                    [](const auto& s) { return !paymentsTellTsumo(s.players); })) {
        out += "\nAt 2 players the one other player pays either way: tsumo and deal-in "
               "cannot be told there.\n";
    }
    for (const TableSizeStats& s : stats.bySize) {
        if (s.undated > 0) {
            out += "\n" + std::to_string(s.undated) + " of the " + std::to_string(s.games) + " " +
                   sizeHeading(s.players) +
                   " half-games have no start time that reads: they "
                   "are in no period.\n";
        }
    }
    return out;
}

std::string periodTable(const PlayerStats& stats, const std::string& heading, PeriodUnit unit) {
    std::string out = heading + "\n";
    for (const TableSizeStats& s : stats.bySize) {
        Rows rows{{sizeHeading(s.players) + ", by " + periodUnitName(unit), "half-games",
                   "completed", "average place", "95% interval", "top two", "last avoided",
                   "win rate", "deal-in rate", "score average", "rating"}};
        for (const PeriodStats& p : s.periods) {
            const std::string interval = p.averagePlaceInterval
                                             ? decimalText(p.averagePlaceInterval->low, 2) + "-" +
                                                   decimalText(p.averagePlaceInterval->high, 2)
                                             : kAbsent;
            rows.push_back({"  " + p.period, std::to_string(p.games), std::to_string(p.completed),
                            orAbsent(p.averagePlace, 2, kAbsent), interval,
                            percentOrAbsent(p.topTwoRate, kAbsent),
                            percentOrAbsent(p.lastAvoidanceRate, kAbsent),
                            percentOrAbsent(p.winRate, kAbsent),
                            percentOrAbsent(p.dealInRate, kAbsent),
                            p.averageScore ? signedDecimalText(*p.averageScore, 1) : kAbsent,
                            p.lastRating ? std::to_string(*p.lastRating) : kAbsent});
        }
        out += "\n" + table(rows);
        if (s.undated > 0) {
            out += "  " + std::to_string(s.undated) +
                   " half-games have no start time that reads: they are in no period\n";
        }
    }
    return out;
}

std::string allPlayersTable(const std::vector<PlayerStats>& players, int minGames) {
    static const char* const kColumns[] = {
        "games",         "average_place", "top_two_rate", "last_avoidance_rate",
        "average_score", "win_rate",      "deal_in_rate"};
    std::string out = std::to_string(players.size()) + " players, each in at least " +
                      std::to_string(minGames) + " half-games\n";
    for (int size = 4; size >= 2; --size) {
        Rows rows{{sizeHeading(size)}};
        for (const char* key : kColumns) {
            rows.front().push_back(figureNamed(key).english);
        }
        rows.front().push_back("Rating");
        // Most half-games at this size first.
        std::vector<std::pair<const PlayerStats*, const TableSizeStats*>> found;
        for (const PlayerStats& p : players) {
            for (const TableSizeStats& s : p.bySize) {
                if (s.players == size) {
                    found.emplace_back(&p, &s);
                }
            }
        }
        std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
            return a.second->games > b.second->games;
        });
        for (const auto& [p, s] : found) {
            std::vector<std::string> cells{"  " + p->player};
            for (const char* key : kColumns) {
                Figure rateOnly = figureNamed(key);
                rateOnly.count = {};
                cells.push_back(figureText(rateOnly, *s, kAbsent));
            }
            cells.push_back(s->lastRating ? std::to_string(s->lastRating->rating) : kAbsent);
            rows.push_back(std::move(cells));
        }
        if (!found.empty()) {
            out += "\n" + table(rows);
        }
    }
    return out;
}

json statsJson(const PlayerStats& stats) {
    json sizes = json::array();
    for (const TableSizeStats& s : stats.bySize) {
        sizes.push_back(sizeJson(s));
    }
    json yaku = json::array();
    for (const YakuCount& y : stats.yaku) {
        yaku.push_back({{"yaku", cp932ToUtf8(y.yaku)}, {"hands", y.hands}});
    }
    json opponents = json::array();
    for (const HeadToHead& h : stats.opponents) {
        opponents.push_back({{"opponent", cp932ToUtf8(h.opponent)},
                             {"games", h.games},
                             {"above", h.above},
                             {"above_rate", orNull(h.aboveRate)},
                             {"score_difference", orNull(h.scoreDifference)}});
    }
    json ratings = json::array();
    for (const RatingPoint& r : stats.ratings) {
        ratings.push_back(ratingJson(r));
    }
    return {{"player", stats.player.empty() ? json(nullptr) : json(cp932ToUtf8(stats.player))},
            {"by_size", sizes},
            {"yaku_hands", stats.yakuHands},
            {"yaku", yaku},
            {"dora", {{"dora", stats.dora}, {"ura", stats.uraDora}, {"aka", stats.akaDora}}},
            {"opponents", opponents},
            {"ratings", ratings}};
}
