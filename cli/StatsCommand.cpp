// paiview stats: a player's placings, rating, hands, yaku and head to head, as a table
// for the eye or as JSON. The figures and keys are defined in docs/stats.md.
#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>

#include "analysis/Stats.h"
#include "cli/Cli.h"
#include "cli/Players.h"
#include "text/Encoding.h"
#include "text/Numbers.h"

namespace {

struct StatsOptions {
    LogOptions logs;
    FilterOptions filters;
    bool all = false;
    int minGames = 1;
    std::string format = "table";
};

// How the player was chosen; also the JSON value of "player_rule".
enum class Rule { Given, InEveryGame, InMostGames, None };

const char* ruleKey(Rule rule) {
    switch (rule) {
    case Rule::Given:
        return "given";
    case Rule::InEveryGame:
        return "in_every_game";
    case Rule::InMostGames:
        return "in_most_games";
    case Rule::None:
        break;
    }
    return nullptr;
}

// The table lists this many opponents; JSON lists every one.
constexpr std::size_t kTableOpponents = 30;

// ---- Table output, built in CP932: a character's bytes are its display columns.

std::string percent(const std::optional<double>& rate) {
    return percentOrAbsent(rate, "-");
}

std::string countAndRate(int count, const std::optional<double>& rate) {
    return rate ? std::to_string(count) + " (" + percent(rate) + ")" : "-";
}

std::string signedPoints(const std::optional<double>& points) {
    return points ? signedDecimalText(*points, 1) : "-";
}

// Rows of cells; the first column left-aligned, the rest right-aligned.
class Grid {
  public:
    void row(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

    std::string text(const std::string& indent = "") const {
        std::vector<std::size_t> widths;
        for (const auto& cells : rows_) {
            widths.resize(std::max(widths.size(), cells.size()), 0);
            for (std::size_t i = 0; i < cells.size(); ++i) {
                widths[i] = std::max(widths[i], cells[i].size());
            }
        }
        std::string out;
        for (const auto& cells : rows_) {
            std::string line = indent;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const std::string pad(widths[i] - cells[i].size(), ' ');
                line += i == 0 ? cells[i] + pad : "  " + pad + cells[i];
            }
            while (!line.empty() && line.back() == ' ') {
                line.pop_back();
            }
            out += line + "\n";
        }
        return out;
    }

  private:
    std::vector<std::vector<std::string>> rows_;
};

std::string ordinal(int place) {
    static const char* const kSuffix[] = {"st", "nd", "rd", "th"};
    return std::to_string(place) + kSuffix[std::min(place, 4) - 1];
}

std::string ratingCell(const std::optional<RatingPoint>& point) {
    if (!point) {
        return "-";
    }
    // The day is enough for the eye; JSON has the minute.
    return std::to_string(point->rating) +
           (point->date.empty() ? "" : " " + point->date.substr(0, 10));
}

std::string sizeTable(const PlayerStats& stats) {
    const auto& sizes = stats.bySize;
    Grid grid;
    auto row = [&](const std::string& label, auto cell) {
        std::vector<std::string> cells{label};
        for (const TableSizeStats& s : sizes) {
            cells.push_back(cell(s));
        }
        grid.row(std::move(cells));
    };
    row("", [](const TableSizeStats& s) { return std::to_string(s.players) + " players"; });
    row("Half-games", [](const TableSizeStats& s) { return std::to_string(s.games); });
    row("  completed", [](const TableSizeStats& s) { return std::to_string(s.completed); });
    row("  aborted", [](const TableSizeStats& s) { return std::to_string(s.aborted); });
    if (std::any_of(sizes.begin(), sizes.end(), [](const auto& s) { return s.unplaced > 0; })) {
        row("  no place", [](const TableSizeStats& s) { return std::to_string(s.unplaced); });
    }
    for (int place = 1; place <= sizes.front().players; ++place) {
        row(ordinal(place), [place](const TableSizeStats& s) {
            const auto i = static_cast<std::size_t>(place - 1);
            return place <= s.players ? countAndRate(s.placeCounts[i], s.placeRates[i])
                                      : std::string();
        });
    }
    row("Average place", [](const TableSizeStats& s) { return orAbsent(s.averagePlace, 2, "-"); });
    row("Top two (連対率)", [](const TableSizeStats& s) { return percent(s.topTwoRate); });
    row("Last avoided (ラス回避率)",
        [](const TableSizeStats& s) { return percent(s.lastAvoidanceRate); });
    row("Score total", [](const TableSizeStats& s) {
        return s.scoredGames > 0 ? signedTenthsText(s.totalScoreTenths) : "-";
    });
    row("Score average", [](const TableSizeStats& s) { return signedPoints(s.averageScore); });
    row("Hands", [](const TableSizeStats& s) { return std::to_string(s.hands); });
    row("Win rate (和了率)",
        [](const TableSizeStats& s) { return countAndRate(s.wins, s.winRate); });
    row("Tsumo of wins (ツモ率)",
        [](const TableSizeStats& s) { return countAndRate(s.tsumoWins, s.tsumoRate); });
    row("Deal-in rate (放銃率)",
        [](const TableSizeStats& s) { return countAndRate(s.dealIns, s.dealInRate); });
    row("Draw rate (流局率)",
        [](const TableSizeStats& s) { return countAndRate(s.draws, s.drawRate); });
    row("Win average", [](const TableSizeStats& s) {
        return s.averageWin ? signedDecimalText(*s.averageWin, 0) : "-";
    });
    row("Largest win", [](const TableSizeStats& s) {
        return s.largestWin ? signedPointsText(*s.largestWin) : "-";
    });
    row("  at", [](const TableSizeStats& s) {
        return s.largestWin ? "#" + std::to_string(s.largestWinGame) + " hand " +
                                  std::to_string(s.largestWinHand)
                            : "-";
    });
    return grid.text();
}

std::string playerText(const PlayerStats& stats, const std::string& heading) {
    std::string out = heading + "\n";
    if (stats.bySize.empty()) {
        return out;
    }
    out += "\n" + sizeTable(stats);

    Grid ratings;
    ratings.row({"Rating", "first", "last", "highest", "lowest"});
    for (const TableSizeStats& s : stats.bySize) {
        ratings.row({std::to_string(s.players) + " players", ratingCell(s.firstRating),
                     ratingCell(s.lastRating), ratingCell(s.highestRating),
                     ratingCell(s.lowestRating)});
    }
    out += "\n" + ratings.text();

    out += "\nYaku in " + std::to_string(stats.yakuHands) + " won hands (dora " +
           std::to_string(stats.dora) + ", ura " + std::to_string(stats.uraDora) + ", aka " +
           std::to_string(stats.akaDora) + ")\n";
    Grid yaku;
    for (const YakuCount& y : stats.yaku) {
        yaku.row({y.yaku, std::to_string(y.hands),
                  percent(std::optional<double>(double(y.hands) / stats.yakuHands))});
    }
    out += yaku.text("  ");

    if (!stats.opponents.empty()) {
        Grid versus;
        versus.row({"Head to head", "half-games", "placed above", "score diff"});
        for (std::size_t i = 0; i < stats.opponents.size() && i < kTableOpponents; ++i) {
            const HeadToHead& h = stats.opponents[i];
            versus.row({"  " + h.opponent, std::to_string(h.games),
                        countAndRate(h.above, h.aboveRate), signedPoints(h.scoreDifference)});
        }
        out += "\n" + versus.text();
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
    return out;
}

std::string allText(const std::vector<PlayerStats>& players, int minGames) {
    std::string out = std::to_string(players.size()) + " players, each in at least " +
                      std::to_string(minGames) + " half-games\n";
    for (int size = 4; size >= 2; --size) {
        Grid grid;
        grid.row({std::to_string(size) + " players", "half-games", "avg place", "top two",
                  "last avoided", "score avg", "win", "deal-in", "rating"});
        // Most half-games at this size first.
        std::vector<std::pair<const PlayerStats*, const TableSizeStats*>> rows;
        for (const PlayerStats& p : players) {
            for (const TableSizeStats& s : p.bySize) {
                if (s.players == size) {
                    rows.emplace_back(&p, &s);
                }
            }
        }
        std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
            return a.second->games > b.second->games;
        });
        for (const auto& [p, s] : rows) {
            grid.row({"  " + p->player, std::to_string(s->games), orAbsent(s->averagePlace, 2, "-"),
                      percent(s->topTwoRate), percent(s->lastAvoidanceRate),
                      signedPoints(s->averageScore), percent(s->winRate), percent(s->dealInRate),
                      s->lastRating ? std::to_string(s->lastRating->rating) : "-"});
        }
        if (!rows.empty()) {
            out += "\n" + grid.text();
        }
    }
    return out;
}

// ---- JSON, in UTF-8. Absent figures are null, so every key is always there.

using json = nlohmann::ordered_json;

template <typename T> json orNull(const std::optional<T>& value) {
    return value ? json(*value) : json(nullptr);
}

json ratingJson(const std::optional<RatingPoint>& point) {
    if (!point) {
        return nullptr;
    }
    return {{"rating", point->rating},
            {"date", point->date.empty() ? json(nullptr) : json(point->date)},
            {"game", point->game}};
}

json sizeJson(const TableSizeStats& s) {
    const bool tells = paymentsTellTsumo(s.players);
    json places = json::array();
    for (std::size_t i = 0; i < s.placeCounts.size(); ++i) {
        places.push_back(
            {{"place", i + 1}, {"count", s.placeCounts[i]}, {"rate", orNull(s.placeRates[i])}});
    }
    return {
        {"players", s.players},
        {"games", s.games},
        {"completed", s.completed},
        {"aborted", s.aborted},
        {"unplaced", s.unplaced},
        {"places", places},
        {"average_place", orNull(s.averagePlace)},
        {"top_two_rate", orNull(s.topTwoRate)},
        {"last_avoidance_rate", orNull(s.lastAvoidanceRate)},
        {"scored_games", s.scoredGames},
        {"total_score", s.scoredGames > 0 ? json(s.totalScoreTenths / 10.0) : json(nullptr)},
        {"average_score", orNull(s.averageScore)},
        {"rating",
         {{"first", ratingJson(s.firstRating)},
          {"last", ratingJson(s.lastRating)},
          {"highest", ratingJson(s.highestRating)},
          {"lowest", ratingJson(s.lowestRating)}}},
        {"hands", s.hands},
        {"wins", s.wins},
        {"tsumo_wins", tells ? json(s.tsumoWins) : json(nullptr)},
        {"deal_ins", tells ? json(s.dealIns) : json(nullptr)},
        {"draws", s.draws},
        {"win_rate", orNull(s.winRate)},
        {"tsumo_rate", orNull(s.tsumoRate)},
        {"deal_in_rate", orNull(s.dealInRate)},
        {"draw_rate", orNull(s.drawRate)},
        {"average_win", orNull(s.averageWin)},
        {"largest_win", s.largestWin ? json{{"points", *s.largestWin},
                                            {"game", s.largestWinGame},
                                            {"hand", s.largestWinHand}}
                                     : json(nullptr)},
    };
}

json playerJson(const PlayerStats& stats) {
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

void printJson(const json& value) {
    print(value.dump(2, ' ', false, json::error_handler_t::replace) + "\n");
}

void runStats(StatsOptions options) {
    // Here --player says whose statistics; it does not narrow the half-games.
    const std::string typed = options.filters.player;
    const std::string player = utf8ToCp932(typed);
    options.filters.player.clear();
    CommandLogs logs(options.logs, toFilter(options.filters));
    // One player's figures, or everyone's: the owner is known only at the end.
    StatsCollector collector(options.all ? std::string() : player);
    const bool read = logs.selection().run(
        FactsNeeded::Hands, [&](const SelectedGame& game) { collector.add(game.facts); });
    logs.finish(read);
    const std::string total = std::to_string(collector.games());

    if (options.all) {
        const std::vector<PlayerStats> players = collector.all(options.minGames);
        if (options.format == "json") {
            json list = json::array();
            for (const PlayerStats& p : players) {
                list.push_back(playerJson(p));
            }
            printJson({{"selected_games", collector.games()},
                       {"min_games", options.minGames},
                       {"players", list}});
        } else {
            printCp932(allText(players, options.minGames));
        }
        return;
    }

    Rule rule = Rule::Given;
    std::string name = player;
    std::string heading;
    int theirGames = 0;
    if (name.empty()) {
        const std::optional<OwnerGuess> owner = collector.owner();
        rule = !owner ? Rule::None : owner->inEveryGame ? Rule::InEveryGame : Rule::InMostGames;
        if (owner) {
            name = owner->name;
            theirGames = owner->games;
        }
    }
    const PlayerStats stats = name.empty() ? PlayerStats{} : collector.stats(name);
    if (rule == Rule::Given) {
        for (const TableSizeStats& s : stats.bySize) {
            theirGames += s.games;
        }
        if (theirGames == 0) {
            throw CliExit{kExitFailure, notSeated(typed, collector)};
        }
    }
    if (options.format == "json") {
        json out = {{"selected_games", collector.games()}, {"player_rule", nullptr}};
        if (const char* key = ruleKey(rule)) {
            out["player_rule"] = key;
        }
        out.update(playerJson(stats));
        printJson(out);
        return;
    }
    switch (rule) {
    case Rule::None:
        heading = "No half-games to count.";
        break;
    case Rule::InEveryGame:
        heading = name + ": the log's owner, in every half-game (" + total + ")";
        break;
    case Rule::InMostGames:
        heading = name + ": the log's owner, in the most half-games (" +
                  std::to_string(theirGames) + " of " + total + "); --player NAME for another";
        break;
    case Rule::Given:
        heading = name + ": in " + std::to_string(theirGames) + " of " + total + " half-games";
        break;
    }
    printCp932(playerText(stats, heading));
}

} // namespace

void addStatsCommand(CLI::App& app) {
    auto options = std::make_shared<StatsOptions>();
    CLI::App* command = app.add_subcommand(
        "stats", "A player's placings, rating, win and deal-in rates, yaku and head to head");
    addLogOptions(*command, options->logs);
    addFilterOptions(*command, options->filters);
    CLI::Option* player = command->get_option("--player");
    player->description("Whose statistics (default: the log's owner, the name in every "
                        "half-game or else in the most)");
    CLI::Option* all = command->add_flag("--all", options->all, "One row per player");
    all->excludes(player);
    command
        ->add_option("--min-games", options->minGames,
                     "With --all: only players in at least N half-games (default 1)")
        ->check(countOfGames())
        ->needs(all);
    command->add_option("--format", options->format, "table or json (default table)")
        ->check(CLI::IsMember({"table", "json"}));
    addLogArguments(*command, options->logs);
    addExamples(*command, {"stats log.txt", "stats --player Kuma --format json log.txt",
                           "stats --all --min-games 10 log.txt"});
    command->callback([options] { runStats(*options); });
}
