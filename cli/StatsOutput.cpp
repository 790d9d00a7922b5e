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
                                        : text + (f.style == FigureStyle::Rate ||
                                                          f.style == FigureStyle::SignedRate
                                                      ? "%"
                                                      : "");
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

using Json = IndentedJsonWriter;

void writeOptional(Json& w, const std::optional<double>& value) {
    ::writeOptional(w, value);
}
void writeOptional(Json& w, const std::optional<int>& value) {
    ::writeOptional(w, value);
}

// One member of an object: its key, then its value.
void member(Json& w, const char* key, long long value) {
    w.Key(key);
    w.Int64(value);
}
template <typename T> void member(Json& w, const char* key, const std::optional<T>& value) {
    w.Key(key);
    writeOptional(w, value);
}

// A CP932 text of the log, or null when it is empty (or absent).
void writeLogText(Json& w, const std::string& cp932, bool nullWhenEmpty = false) {
    if (nullWhenEmpty && cp932.empty()) {
        w.Null();
    } else {
        writeText(w, cp932ToUtf8(cp932));
    }
}

void writeInterval(Json& w, const std::optional<Interval>& interval) {
    if (!interval) {
        w.Null();
        return;
    }
    w.StartArray();
    writeNumber(w, interval->low);
    writeNumber(w, interval->high);
    w.EndArray();
}

void writeRating(Json& w, const std::optional<RatingPoint>& point) {
    if (!point) {
        w.Null();
        return;
    }
    w.StartObject();
    member(w, "rating", point->rating);
    w.Key("date");
    if (point->date.empty()) {
        w.Null();
    } else {
        writeText(w, point->date);
    }
    member(w, "game", point->game);
    w.EndObject();
}

// An object of integer members, or null when absent.
void writeInts(Json& w, bool present,
               std::initializer_list<std::pair<const char*, long long>> members) {
    if (!present) {
        w.Null();
        return;
    }
    w.StartObject();
    for (const auto& [key, value] : members) {
        w.Key(key);
        w.Int64(value);
    }
    w.EndObject();
}

void writeScore(Json& w, const std::optional<ScoreRecord>& score) {
    if (!score) {
        w.Null();
        return;
    }
    w.StartObject();
    w.Key("score");
    writeNumber(w, score->tenths / 10.0);
    member(w, "game", score->game);
    w.EndObject();
}

// The value of a part made of several values, by its key.
void writePart(Json& w, std::string_view key, const TableSizeStats& s) {
    if (key == "places") {
        w.StartArray();
        for (std::size_t i = 0; i < s.placeCounts.size(); ++i) {
            w.StartObject();
            member(w, "place", i + 1);
            member(w, "count", s.placeCounts[i]);
            member(w, "rate", s.placeRates[i]);
            w.EndObject();
        }
        w.EndArray();
    } else if (key == "rating") {
        w.StartObject();
        w.Key("first");
        writeRating(w, s.firstRating);
        w.Key("last");
        writeRating(w, s.lastRating);
        w.Key("highest");
        writeRating(w, s.highestRating);
        w.Key("lowest");
        writeRating(w, s.lowestRating);
        w.EndObject();
    } else if (key == "largest_win") {
        writeInts(w, s.largestWin.has_value(),
                  {{"points", s.largestWin.value_or(0)},
                   {"game", s.largestWinGame},
                   {"hand", s.largestWinHand}});
    } else if (key == "deal_in.largest") {
        const auto& hand = s.dealIn.largest;
        writeInts(w, hand.has_value(),
                  {{"points", hand ? hand->points : 0},
                   {"game", hand ? hand->game : 0},
                   {"hand", hand ? hand->hand : 0}});
    } else if (key == "deal_in.into") {
        w.StartArray();
        for (const DealInto& d : s.dealIn.into) {
            w.StartObject();
            w.Key("winner");
            writeLogText(w, d.winner);
            member(w, "count", d.count);
            member(w, "points", d.points);
            w.EndObject();
        }
        w.EndArray();
    } else if (key == "limits") {
        w.StartArray();
        for (const LimitCount& l : s.limits) {
            w.StartObject();
            w.Key("limit");
            if (l.limit) {
                writeLogText(w, *l.limit);
            } else {
                w.Null();
            }
            member(w, "wins", l.wins);
            member(w, "deal_ins", l.dealIns);
            w.EndObject();
        }
        w.EndArray();
    } else if (key == "by_seat") {
        w.StartArray();
        for (const SeatPlaces& seat : s.bySeat) {
            w.StartObject();
            member(w, "seat", seat.seat);
            member(w, "games", seat.games);
            member(w, "average_place", seat.averagePlace);
            w.EndObject();
        }
        w.EndArray();
    } else if (key == "records") {
        const Records& r = s.records;
        w.StartObject();
        w.Key("best_score");
        writeScore(w, r.bestScore);
        w.Key("worst_score");
        writeScore(w, r.worstScore);
        for (const auto& [name, run] : {std::pair{"longest_top_run", &r.longestTopRun},
                                        std::pair{"longest_no_last_run", &r.longestNoLastRun}}) {
            w.Key(name);
            writeInts(w, run->has_value(),
                      {{"games", *run ? (*run)->games : 0},
                       {"first_game", *run ? (*run)->firstGame : 0},
                       {"last_game", *run ? (*run)->lastGame : 0}});
        }
        w.Key("most_wins_in_game");
        const auto& most = r.mostWinsInGame;
        writeInts(w, most.has_value(),
                  {{"wins", most ? most->wins : 0}, {"game", most ? most->game : 0}});
        w.EndObject();
    } else if (key == "intervals") {
        const FigureIntervals& in = s.intervals;
        w.StartObject();
        for (const auto& [name, interval] :
             {std::pair{"average_place", &in.averagePlace},
              std::pair{"top_two_rate", &in.topTwoRate},
              std::pair{"last_avoidance_rate", &in.lastAvoidanceRate},
              std::pair{"win_rate", &in.winRate}, std::pair{"deal_in_rate", &in.dealInRate}}) {
            w.Key(name);
            writeInterval(w, *interval);
        }
        w.EndObject();
    } else if (key == "periods") {
        w.StartArray();
        for (const PeriodStats& p : s.periods) {
            w.StartObject();
            w.Key("period");
            writeText(w, p.period);
            member(w, "games", p.games);
            member(w, "completed", p.completed);
            member(w, "average_place", p.averagePlace);
            w.Key("average_place_interval");
            writeInterval(w, p.averagePlaceInterval);
            for (const auto& [name, value] :
                 {std::pair{"top_two_rate", &p.topTwoRate},
                  std::pair{"last_avoidance_rate", &p.lastAvoidanceRate},
                  std::pair{"win_rate", &p.winRate}, std::pair{"deal_in_rate", &p.dealInRate},
                  std::pair{"average_score", &p.averageScore}}) {
                w.Key(name);
                writeOptional(w, *value);
            }
            member(w, "last_rating", p.lastRating);
            w.EndObject();
        }
        w.EndArray();
    } else if (key == "hours") {
        w.StartArray();
        for (const HourStats& h : s.hours) {
            w.StartObject();
            member(w, "hour", h.hour);
            member(w, "games", h.games);
            member(w, "average_place", h.averagePlace);
            w.EndObject();
        }
        w.EndArray();
    } else if (key == "stable_rating.rule.a") {
        const auto& a = s.strength.stableRating.rule.a;
        if (a.empty()) {
            w.Null();
        } else {
            w.StartArray();
            for (const double value : a) {
                writeNumber(w, value);
            }
            w.EndArray();
        }
    } else if (key == "stable_rating.interval") {
        writeInterval(w, s.strength.stableRating.interval);
    } else if (key == "all_last.from") {
        w.StartArray();
        for (const LastHandRow& row : s.strength.allLast.from) {
            w.StartObject();
            member(w, "place", row.place);
            member(w, "games", row.games);
            w.Key("final");
            w.StartArray();
            for (const int count : row.final) {
                w.Int(count);
            }
            w.EndArray();
            w.EndObject();
        }
        w.EndArray();
    } else if (key.size() > 9 && key.substr(key.size() - 9) == "_interval") {
        // form.difference.win_rate_interval: the interval of form.difference.win_rate
        const Figure& of = figureNamed(key.substr(0, key.size() - 9));
        writeInterval(w, of.interval(s));
    } else if (key == "form.changed") {
        w.StartArray();
        for (const std::string& changed : s.strength.form.changed) {
            writeText(w, changed);
        }
        w.EndArray();
    } else {
        w.Null();
    }
}

void writeFigure(Json& w, const Figure& f, const TableSizeStats& s) {
    if (f.style == FigureStyle::Part) {
        writePart(w, f.key, s);
        return;
    }
    const std::optional<double> value = f.value(s);
    if (!value) {
        w.Null();
    } else if (f.style == FigureStyle::Count) {
        w.Int64(static_cast<long long>(*value));
    } else if (f.style == FigureStyle::Flag) {
        w.Bool(*value != 0);
    } else {
        writeNumber(w, *value);
    }
}

// The members of the object at prefix ("" for the entry, "dealer." for its object
// "dealer"): each figure under it, and each object under it where its first figure is.
void writeMembers(Json& w, std::string_view prefix, const TableSizeStats& s) {
    const auto& figures = sizeFigures();
    std::vector<std::string_view> written;
    for (const Figure& f : figures) {
        if (f.key.substr(0, prefix.size()) != prefix) {
            continue;
        }
        const std::string_view rest = f.key.substr(prefix.size());
        const std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos) {
            w.Key(rest.data(), static_cast<rapidjson::SizeType>(rest.size()));
            writeFigure(w, f, s);
            continue;
        }
        const std::string_view object = rest.substr(0, dot);
        if (std::find(written.begin(), written.end(), object) != written.end()) {
            continue;
        }
        written.push_back(object);
        w.Key(object.data(), static_cast<rapidjson::SizeType>(object.size()));
        w.StartObject();
        writeMembers(w, f.key.substr(0, prefix.size() + dot + 1), s);
        w.EndObject();
    }
}

void writeSize(Json& w, const TableSizeStats& s) {
    w.StartObject();
    member(w, "players", s.players);
    writeMembers(w, {}, s);
    w.EndObject();
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
                   sizeHeading(s.players) + (s.games == 1 ? " half-game" : " half-games") +
                   (s.undated == 1 ? " has no start time that reads: it is"
                                   : " have no start time that reads: they are") +
                   " in no period.\n";
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
            out += "  " + countText(s.undated, "half-game has", "half-games have") +
                   (s.undated == 1 ? " no start time that reads: it is in no period\n"
                                   : " no start time that reads: they are in no period\n");
        }
    }
    return out;
}

std::string allPlayersTable(const std::vector<PlayerStats>& players, int minGames) {
    static const char* const kColumns[] = {
        "games",         "average_place", "top_two_rate", "last_avoidance_rate",
        "average_score", "win_rate",      "deal_in_rate"};
    std::string out = countText(players.size(), "player", "players") + ", each in at least " +
                      countText(static_cast<std::size_t>(minGames), "half-game", "half-games") +
                      "\n";
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

void writeStatsMembers(IndentedJsonWriter& w, const PlayerStats& stats) {
    w.Key("player");
    writeLogText(w, stats.player, true);
    w.Key("by_size");
    w.StartArray();
    for (const TableSizeStats& s : stats.bySize) {
        writeSize(w, s);
    }
    w.EndArray();
    member(w, "yaku_hands", stats.yakuHands);
    w.Key("yaku");
    w.StartArray();
    for (const YakuCount& y : stats.yaku) {
        w.StartObject();
        w.Key("yaku");
        writeLogText(w, y.yaku);
        member(w, "hands", y.hands);
        w.EndObject();
    }
    w.EndArray();
    w.Key("dora");
    writeInts(w, true, {{"dora", stats.dora}, {"ura", stats.uraDora}, {"aka", stats.akaDora}});
    w.Key("opponents");
    w.StartArray();
    for (const HeadToHead& h : stats.opponents) {
        w.StartObject();
        w.Key("opponent");
        writeLogText(w, h.opponent);
        member(w, "games", h.games);
        member(w, "above", h.above);
        member(w, "above_rate", h.aboveRate);
        member(w, "score_difference", h.scoreDifference);
        w.EndObject();
    }
    w.EndArray();
    w.Key("ratings");
    w.StartArray();
    for (const RatingPoint& r : stats.ratings) {
        writeRating(w, r);
    }
    w.EndArray();
}
