// paiview list: one row per half-game, as a table, CSV or JSON.
#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "cli/GameText.h"
#include "export/Csv.h"
#include "export/GameJson.h"
#include "text/Encoding.h"
#include "text/TextTable.h"

namespace {

struct ListOptions {
    LogOptions logs;
    FilterOptions filters;
    std::string format = "table";
};

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) {
            out += separator;
        }
        out += part;
    }
    return out;
}

using Rows = std::vector<std::vector<std::string>>;

void addTableRow(Rows& rows, const GameFacts& game) {
    {
        std::vector<std::string> seats, placings;
        for (const SeatFacts& seat : game.seats) {
            seats.push_back(seatText(seat));
        }
        for (const PlacingFacts& placing : game.placings) {
            placings.push_back(placingText(placing));
        }
        rows.push_back({std::to_string(game.number), startText(game), std::string(game.table),
                        joined(seats, ", "),
                        game.aborted ? "aborted (途中終了)" : joined(placings, ", ")});
    }
}

// The CSV columns of list, documented in docs/cli.md.
std::vector<std::string> csvHeader() {
    std::vector<std::string> header{"number", "start", "end", "table", "players", "aborted"};
    for (int n = 1; n <= kPlacingCount; ++n) {
        header.push_back("seat" + std::to_string(n) + "_name");
        header.push_back("seat" + std::to_string(n) + "_rating");
    }
    for (int n = 1; n <= kPlacingCount; ++n) {
        header.push_back("place" + std::to_string(n) + "_name");
        header.push_back("place" + std::to_string(n) + "_score");
        header.push_back("place" + std::to_string(n) + "_points");
    }
    return header;
}

template <typename T> std::string orEmpty(const std::optional<T>& value) {
    return value ? std::to_string(*value) : std::string();
}

void addCsvRow(std::string& out, const GameFacts& game) {
    {
        std::vector<std::string> row{std::to_string(game.number),      cp932ToUtf8(startText(game)),
                                     cp932ToUtf8(endText(game)),       cp932ToUtf8(game.table),
                                     std::to_string(game.playerCount), game.aborted ? "1" : "0"};
        // Seats by their [n]: a seat missing from the player line leaves its cells empty.
        for (int n = 1; n <= kPlacingCount; ++n) {
            const SeatFacts* seat = nullptr;
            for (const SeatFacts& s : game.seats) {
                seat = s.seat == n ? &s : seat;
            }
            row.push_back(seat ? cp932ToUtf8(seat->name) : "");
            row.push_back(seat ? orEmpty(seat->rating) : "");
        }
        for (std::size_t i = 0; i < kPlacingCount; ++i) {
            const PlacingFacts* placing = i < game.placings.size() ? &game.placings[i] : nullptr;
            row.push_back(placing ? cp932ToUtf8(placing->name) : "");
            std::string score;
            if (placing && placing->scoreTenths) {
                score = scoreText(*placing->scoreTenths);
                if (score[0] == '+') {
                    score.erase(0, 1); // spreadsheets read "40.8" as a number
                }
            }
            row.push_back(score);
            row.push_back(placing ? orEmpty(placing->points) : "");
        }
        appendCsvRow(out, row);
    }
}

void runList(const ListOptions& options) {
    CommandLogs logs(options.logs, toFilter(options.filters));
    Rows rows{{"No", "Start", "Table", "Players", "Placings"}};
    std::string csv;
    appendCsvRow(csv, csvHeader());
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    const bool read = logs.selection().run(FactsNeeded::Games, [&](const SelectedGame& game) {
        if (options.format == "csv") {
            addCsvRow(csv, game.facts);
        } else if (options.format == "json") {
            list.push_back(gameJson(game.facts, false));
        } else {
            addTableRow(rows, game.facts);
        }
    });
    logs.finish(read);
    if (options.format == "csv") {
        print(csv);
    } else if (options.format == "json") {
        print(list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n");
    } else {
        printCp932(alignedTable(rows, {Align::Right}));
    }
}

} // namespace

void addListCommand(CLI::App& app) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* command =
        app.add_subcommand("list", "List the half-games of score logs, one row each");
    command->add_option("--format", options->format, "table (default), csv or json")
        ->check(CLI::IsMember({"table", "csv", "json"}));
    addFilterOptions(*command, options->filters);
    addLogOptions(*command, options->logs);
    addLogArguments(*command, options->logs);
    addExamples(*command, {"list log.txt --with ねこまる --since 2003-06-01",
                           "list --format csv --last 100 log.txt > recent.csv"});
    command->callback([options] { runList(*options); });
}
