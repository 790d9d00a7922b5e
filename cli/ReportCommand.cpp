// paiview report: one player's statistics, charts and half-games as one HTML page.
#include <filesystem>
#include <fstream>
#include <memory>

#include "analysis/Stats.h"
#include "cli/Cli.h"
#include "report/ReportPage.h"
#include "text/Encoding.h"

namespace {

struct ReportOptions {
    LogOptions logs;
    FilterOptions filters;
    std::string output;
};

// Writes beside the target and renames, so a failed write never leaves half a page
// where the user looks.
void writeFileAtomically(const std::string& utf8Path, const std::string& bytes) {
    namespace fs = std::filesystem;
    const fs::path target = fs::u8path(utf8Path);
    fs::path temp = target;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw CliExit{kExitFailure, utf8Path + ": cannot be written"};
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            throw CliExit{kExitFailure, utf8Path + ": write error"};
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw CliExit{kExitFailure, utf8Path + ": cannot be written"};
    }
}

// Whom the written page is about, for the line the command prints.
struct Written {
    std::string player; // CP932
    int theirGames = 0;
    std::size_t games = 0;
};

Written writeReport(const LogOptions& logs, const FilterOptions& filters, const std::string& player,
                    const std::string& outPath) {
    // --player says whose report; it does not narrow the half-games.
    FilterOptions selection = filters;
    selection.player.clear();
    const GameFilter filter = toFilter(selection);
    LogSet set;
    loadLogs(logs, set);
    // Hands are counted one record at a time; only the listed games keep theirs.
    std::vector<GameFacts> games = selectGames(set, filter, false);
    if (games.empty()) {
        throw CliExit{kExitFailure, "no half-games to report: the filters left none"};
    }
    std::string name = utf8ToCp932(player);
    ReportWhose whose = ReportWhose::Given;
    if (name.empty()) {
        const std::optional<OwnerGuess> owner = guessOwner(games);
        if (!owner) {
            throw CliExit{kExitFailure, "no player to report: no half-game has a named seat"};
        }
        name = owner->name;
        whose = owner->inEveryGame ? ReportWhose::OwnerInEveryGame : ReportWhose::OwnerInMostGames;
    }
    const PlayerStats stats = computeStats(set, games, name);
    std::size_t listed = 0;
    for (auto game = games.rbegin(); game != games.rend() && listed < kListedGames; ++game) {
        if (findSeat(*game, name)) {
            game->hands = handFacts(*game, set.record(static_cast<std::size_t>(game->number - 1)));
            ++listed;
        }
    }
    int theirGames = 0;
    for (const TableSizeStats& s : stats.bySize) {
        theirGames += s.games;
    }
    if (theirGames == 0) {
        throw CliExit{kExitFailure, player + " is not in any of the " +
                                        std::to_string(games.size()) + " half-games"};
    }
    writeFileAtomically(outPath, reportPage(games, stats, whose));
    return {name, theirGames, games.size()};
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
    addSalvageOption(*command, options->logs);
    addFilterOptions(*command, options->filters);
    command->get_option("--player")
        ->description("Whose report (default: the log's owner, the name in every half-game "
                      "or else in the most)");
    command->add_option("-o,--output", options->output, "The HTML file to write")->required();
    addLogArguments(*command, options->logs);
    command->callback([options] {
        const Written written =
            writeReport(options->logs, options->filters, options->filters.player, options->output);
        print("Wrote " + options->output + ": ");
        printCp932(written.player);
        print(", in " + std::to_string(written.theirGames) + " of " +
              std::to_string(written.games) + " half-games\n");
    });
}
