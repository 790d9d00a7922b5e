// paiview stats: a player's placings, rating, hands, yaku and head to head, as a table
// for the eye or as JSON. The figures and keys are defined in docs/stats.md.
#include <memory>
#include <optional>

#include "analysis/Stats.h"
#include "cli/Cli.h"
#include "cli/Players.h"
#include "cli/StatsOutput.h"
#include "text/Encoding.h"

namespace {

struct StatsOptions {
    LogOptions logs;
    FilterOptions filters;
    bool all = false;
    std::optional<int> minGames; // --all: 1 unless given; the population: 20 unless given
    int block = 100;
    std::string format = "table";
    std::string by; // a period unit: the table has one row per period
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

// One JSON object: its members written by members, then printed.
template <typename Members> void printJson(Members members) {
    JsonBuffer buffer;
    IndentedJsonWriter writer(buffer);
    writer.StartObject();
    members(writer);
    writer.EndObject();
    print(std::string(buffer.GetString(), buffer.GetSize()) + "\n");
}

void runStats(StatsOptions options) {
    // Here --player says whose statistics; it does not narrow the half-games.
    const std::string typed = options.filters.player;
    const std::string player = utf8ToCp932(typed);
    options.filters.player.clear();
    CommandLogs logs(options.logs, toFilter(options.filters));
    // One player's figures, or everyone's: the owner is known only at the end.
    const PeriodUnit unit = periodUnitNamed(options.by).value_or(PeriodUnit::Month);
    StrengthOptions strength;
    strength.minGames = options.minGames.value_or(strength.minGames);
    strength.block = options.block;
    StatsCollector collector(options.all ? std::string() : player, unit, strength);
    const bool read = logs.selection().run(
        FactsNeeded::Hands, [&](const SelectedGame& game) { collector.add(game.facts); });
    logs.finish(read);
    const std::string total = std::to_string(collector.games());

    if (options.all) {
        const int minGames = options.minGames.value_or(1);
        const std::vector<PlayerStats> players = collector.all(minGames);
        if (options.format == "json") {
            printJson([&](IndentedJsonWriter& w) {
                w.Key("selected_games");
                w.Uint64(collector.games());
                w.Key("min_games");
                w.Int(minGames);
                w.Key("players");
                w.StartArray();
                for (const PlayerStats& p : players) {
                    w.StartObject();
                    writeStatsMembers(w, p);
                    w.EndObject();
                }
                w.EndArray();
            });
        } else {
            printCp932(allPlayersTable(players, minGames));
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
            throw failure(notSeated(typed, collector));
        }
    }
    if (options.format == "json") {
        printJson([&](IndentedJsonWriter& w) {
            w.Key("selected_games");
            w.Uint64(collector.games());
            w.Key("player_rule");
            if (const char* key = ruleKey(rule)) {
                w.String(key);
            } else {
                w.Null();
            }
            writeStatsMembers(w, stats);
        });
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
        heading = name + ": in " + std::to_string(theirGames) + " of " + total +
                  (collector.games() == 1 ? " half-game" : " half-games");
        break;
    }
    printCp932(options.by.empty() ? statsTable(stats, heading) : periodTable(stats, heading, unit));
}

} // namespace

void addStatsCommand(CLI::App& app) {
    auto options = std::make_shared<StatsOptions>();
    CLI::App* command = app.add_subcommand(
        "stats", "A player's placings, rating, win and deal-in rates, yaku and head to head");
    addLogOptions(*command, options->logs);
    addProgressOption(*command, options->logs);
    addFilterOptions(*command, options->filters);
    CLI::Option* player = command->get_option("--player");
    player->description("Whose statistics (default: the log's owner, the name in every "
                        "half-game or else in the most)");
    CLI::Option* all = command->add_flag("--all", options->all, "One row per player");
    all->excludes(player);
    command
        ->add_option("--min-games", options->minGames,
                     "With --all: only players in at least N half-games (default 1); the "
                     "population a player is read against: those with at least N completed "
                     "half-games of the size (default 20)")
        ->check(countOfGames());
    command
        ->add_option("--block", options->block,
                     "Form: the newest N completed half-games of a size against the N before "
                     "(default 100)")
        ->check(countOfGames());
    command->add_option("--format", options->format, "table or json (default table)")
        ->check(CLI::IsMember({"table", "json"}));
    command
        ->add_option("--by", options->by,
                     "One row per period of the start time: day, week (ISO 8601), month or "
                     "year; JSON always has the periods (by month unless --by says otherwise)")
        ->check(CLI::IsMember({"day", "week", "month", "year"}))
        ->excludes(all);
    addLogArguments(*command, options->logs);
    addExamples(*command, {"stats log.txt", "stats --by month log.txt",
                           "stats --player Kuma --format json log.txt",
                           "stats --all --min-games 10 log.txt"});
    command->callback([options] { runStats(*options); });
}
