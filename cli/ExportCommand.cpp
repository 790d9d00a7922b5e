// paiview export: the facts of the selected half-games as SQLite, CSV or JSON.
#include "cli/Cli.h"
#include "text/Numbers.h"
#include "cli/Terminal.h"
#include "export/Export.h"
#include "export/Columns.h"
#include "io/TempFiles.h"

namespace {

struct ExportCommandOptions {
    LogOptions logs;
    FilterOptions filters;
    std::string format;
    std::string output;
    bool bom = false;
    bool lines = false;
};

ExportFormat formatNamed(const std::string& name) {
    return name == "sqlite" ? ExportFormat::Sqlite
           : name == "csv"  ? ExportFormat::Csv
                            : ExportFormat::Json;
}

// The export's words for a target of the wrong kind, with the flags that chose it.
CliExit targetFailure(const ExportError& error, const ExportCommandOptions& options) {
    switch (error.wanted) {
    case ExportError::Wanted::File:
        return {kExitFailure, utf8Of(error.path) + ": is a folder; --format " + options.format +
                                  " writes a file"};
    case ExportError::Wanted::Folder:
        return {kExitFailure,
                utf8Of(error.path) + ": is a file; --format csv writes a folder of files"};
    case ExportError::Wanted::Any:
        break;
    }
    Message failed;
    failed.code = MessageCode::WriteFailed;
    failed.file = options.output == kStreamPath ? "-" : options.output;
    failed.reason = error.what();
    return failure(failed);
}

// Every path the export would write: its file, or its folder and the files in it.
std::vector<std::string> outputsOf(ExportFormat format, const std::string& output) {
    std::vector<std::string> outputs{output};
    if (format == ExportFormat::Csv) {
        for (const ExportTableInfo& table : exportTables()) {
            outputs.push_back(utf8Of(csvFile(pathFromUtf8(output), table.name)));
        }
    }
    return outputs;
}

void runExport(const ExportCommandOptions& options) {
    const ExportFormat format = formatNamed(options.format);
    if (options.bom && format != ExportFormat::Csv) {
        throw CliExit{kExitUsage, "--bom applies only to --format csv"};
    }
    if (options.lines && format != ExportFormat::Json) {
        throw CliExit{kExitUsage, "--lines applies only to --format json"};
    }
    const bool toStream = options.output == kStreamPath;
    if (toStream && format != ExportFormat::Json) {
        throw CliExit{kExitUsage, "-o - (standard output) takes only --format json"};
    }
    if (!exportFormatAvailable(format)) {
        throw CliExit{kExitFailure, "--format " + options.format +
                                        " is not available in this build; use csv or json"};
    }
    const GameFilter filter = toFilter(options.filters);
    refuseToOverwriteLogs(options.logs, outputsOf(format, options.output));
    try {
        // Before a long load: a target that cannot be written fails at once.
        checkExportTarget(format, options.output);
    } catch (const ExportError& error) {
        throw targetFailure(error, options);
    }
    if (!toStream) {
        setInterruptTarget(options.output);
    }
    CommandLogs logs(options.logs, filter);
    ExportOptions exportOptions;
    exportOptions.bom = options.bom;
    exportOptions.lines = options.lines;
    if (toStream) {
        exportOptions.stream = [](std::string_view text) { print(text); };
    }
    std::size_t games = 0, hands = 0;
    try {
        const auto writer = openExport(format, options.output, exportOptions);
        const auto visit = [&](const SelectedGame& game) {
            if (game.rendered) {
                writer->addRendered(*game.rendered);
            } else {
                writer->add(game.facts);
            }
            ++games;
            hands += game.facts.hands.size();
        };
        // The text of a game is made on whichever thread has time, and written here.
        const GameSelection::Render render = [&](const SelectedGame& game, RenderedGame& parts) {
            writer->render(game.facts, parts);
        };
        const bool read = writer->rendersApart()
                              ? logs.selection().run(FactsNeeded::Hands, render, visit)
                              : logs.selection().run(FactsNeeded::Hands, visit);
        logs.finish(read);
        writer->commit();
    } catch (const ExportError& error) {
        throw targetFailure(error, options);
    }
    setInterruptTarget({});
    const std::string done = "exported " + countText(games, "half-game", "half-games") + ", " +
                             countText(hands, "hand", "hands") + " to " +
                             (toStream ? "standard output" : options.output) + "\n";
    if (toStream) {
        writeErr("paiview: " + done); // standard output holds the document alone
    } else {
        print(done);
    }
}

} // namespace

void addExportCommand(CLI::App& app) {
    auto options = std::make_shared<ExportCommandOptions>();
    CLI::App* command = app.add_subcommand(
        "export", "Export the half-games, seats, hands and point changes as SQLite, CSV or JSON");
#ifdef PAIVIEW_HAVE_SQLITE
    const char* formats = "sqlite: one database file; csv: a folder of games.csv, seats.csv, "
                          "hands.csv and deltas.csv; json: one file";
#else
    const char* formats = "csv: a folder of games.csv, seats.csv, hands.csv and deltas.csv; "
                          "json: one file (sqlite is not available in this build)";
#endif
    command->add_option("--format", options->format, formats)
        ->required()
        ->check(CLI::IsMember({"sqlite", "csv", "json"}));
    command
        ->add_option("-o,--output", options->output,
                     "The file (sqlite, json) or folder (csv) to write, replaced only once the "
                     "export is complete; - for standard output (json)")
        ->required()
        ->option_text("PATH");
    command->add_flag("--bom", options->bom,
                      "csv: start each file with a UTF-8 BOM, for spreadsheet programs");
    command->add_flag("--lines", options->lines, "json: JSON Lines, one half-game a line");
    addFilterOptions(*command, options->filters);
    addLogOptions(*command, options->logs);
    addProgressOption(*command, options->logs);
    addLogArguments(*command, options->logs);
    std::vector<std::string> examples{"export log.txt --format sqlite -o games.db",
                                      "export log.txt --format json --lines -o - | head -n 1"};
#ifndef PAIVIEW_HAVE_SQLITE
    examples.erase(examples.begin());
    examples.insert(examples.begin(), "export log.txt --format csv -o games");
#endif
    addExamples(*command, examples);
#ifndef PAIVIEW_HAVE_SQLITE
    command->footer(command->get_footer() +
                    "\nThis build has no SQLite: --format sqlite is not available in it.");
#endif
    command->callback([options] { runExport(*options); });
}
