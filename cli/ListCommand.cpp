// paiview list: one row per half-game, as a table, CSV or JSON.
#include "cli/Cli.h"
#include "cli/GameText.h"
#include "export/Csv.h"
#include "export/JsonWriter.h"
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

// The table is CP932, measured for the terminal, with texts made for the eye: it keeps its
// own columns rather than the catalogue's UTF-8 values.
void addTableRow(Rows& rows, const GameFacts& game) {
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

void runList(const ListOptions& options) {
    CommandLogs logs(options.logs, toFilter(options.filters));
    Rows rows{{"No", "Start", "Table", "Players", "Placings"}};
    // CSV and JSON: the columns and keys of the export's catalogue (docs/cli.md).
    std::string out;
    CsvFields csv;
    JsonBuffer buffer;
    IndentedJsonWriter writer(buffer);
    JsonWriterSink<IndentedJsonWriter> json(writer);
    if (options.format == "csv") {
        appendCsvRow(out, listCsvHeader());
    } else if (options.format == "json") {
        json.beginArray();
    }
    const bool read = logs.selection().run(FactsNeeded::Games, [&](const SelectedGame& game) {
        if (options.format == "csv") {
            csv.beginRow(out);
            writeListCsvRow(game.facts, csv);
            csv.endRow();
        } else if (options.format == "json") {
            writeGameJson(game.facts, false, json);
        } else {
            addTableRow(rows, game.facts);
        }
    });
    logs.finish(read);
    if (options.format == "json") {
        json.endArray();
        out.assign(buffer.GetString(), buffer.GetSize());
        out += "\n";
    }
    if (options.format != "table") {
        print(out);
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
    addProgressOption(*command, options->logs);
    addLogArguments(*command, options->logs);
    addExamples(*command, {"list log.txt --with ねこまる --since 2003-06-01",
                           "list --format csv --last 100 log.txt > recent.csv"});
    command->callback([options] { runList(*options); });
}
