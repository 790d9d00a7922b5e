// paiview report: one player's statistics, charts and half-games as one HTML page.
#include <memory>
#include "text/Numbers.h"

#include "analysis/NewestGames.h"
#include "analysis/Stats.h"
#include "cli/Cli.h"
#include "cli/Players.h"
#include "io/AtomicFile.h"
#include "io/TempFiles.h"
#include "report/ReportPage.h"
#include "text/Encoding.h"

namespace {

struct ReportOptions {
    LogOptions logs;
    FilterOptions filters;
    std::string output;
};

// Whom the written page is about, for the line the command prints.
struct Written {
    std::string player; // CP932
    int theirGames = 0;
    std::size_t games = 0;
};

Written writeReport(const LogOptions& logOptions, const FilterOptions& filters,
                    const std::string& player, const std::string& outPath) {
    // --player says whose report; it does not narrow the half-games.
    FilterOptions selection = filters;
    selection.player.clear();
    const GameFilter filter = toFilter(selection);
    refuseToOverwriteLogs(logOptions, {outPath});
    setInterruptTarget(outPath);
    CommandLogs logs(logOptions, filter);
    const std::string given = utf8ToCp932(player);
    StatsCollector collector(given);
    NewestGames newest(kListedGames, given, logs.selection().logs().halfGamesFound());
    ReportInput input;
    const bool read = logs.selection().run(FactsNeeded::Hands, [&](const SelectedGame& game) {
        collector.add(game.facts);
        newest.add(*game.record, game.facts);
        if (const auto& start = game.facts.start) {
            input.firstStart = input.firstStart ? std::min(*input.firstStart, *start) : *start;
            input.lastStart = input.lastStart ? std::max(*input.lastStart, *start) : *start;
        }
    });
    logs.finish(read);
    input.selectedGames = collector.games();
    if (input.selectedGames == 0) {
        throw failure(Message{MessageCode::NoneToReport});
    }
    std::string name = given;
    if (name.empty()) {
        const std::optional<OwnerGuess> owner = collector.owner();
        if (!owner) {
            throw failure(Message{MessageCode::NoNamedSeat});
        }
        name = owner->name;
        input.whose =
            owner->inEveryGame ? ReportWhose::OwnerInEveryGame : ReportWhose::OwnerInMostGames;
    }
    input.stats = collector.stats(name);
    int theirGames = 0;
    for (const TableSizeStats& s : input.stats.bySize) {
        theirGames += s.games;
    }
    if (theirGames == 0) {
        throw failure(notSeated(player, collector));
    }
    input.listed = newest.of(name);
    try {
        writeFileAtomically(pathFromUtf8(outPath), reportPage(input));
    } catch (const FileError& error) {
        Message failed;
        failed.code = MessageCode::WriteFailed;
        failed.file = outPath;
        failed.reason = error.what();
        throw failure(failed);
    }
    setInterruptTarget({});
    return {name, theirGames, input.selectedGames};
}

} // namespace

void writeReportFor(const LogOptions& logs, const FilterOptions& filters, const std::string& player,
                    const std::string& outPath) {
    writeReport(logs, filters, player, outPath);
}

void addReportCommand(CLI::App& app) {
    auto options = std::make_shared<ReportOptions>();
    CLI::App* command = app.add_subcommand(
        "report", "One player's statistics, charts and half-games as one HTML page");
    addLogOptions(*command, options->logs);
    addProgressOption(*command, options->logs);
    addFilterOptions(*command, options->filters);
    command->get_option("--player")
        ->description("Whose report (default: the log's owner, the name in every half-game "
                      "or else in the most)");
    command->add_option("-o,--output", options->output, "The HTML file to write")
        ->required()
        ->option_text("FILE");
    addLogArguments(*command, options->logs);
    addExamples(*command, {"report log.txt -o me.html", "report --player Kuma --since 2003-06-01 "
                                                        "log.txt -o kuma.html"});
    command->callback([options] {
        const Written written =
            writeReport(options->logs, options->filters, options->filters.player, options->output);
        print("Wrote " + options->output + ": ");
        printCp932(written.player);
        print(", in " + std::to_string(written.theirGames) + " of " +
              countText(written.games, "half-game", "half-games") + "\n");
    });
}
