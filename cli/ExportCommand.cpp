// paiview export: the facts of the selected half-games as SQLite, CSV or JSON.
#include <csignal>

#include "cli/Cli.h"
#include "export/Export.h"

namespace {

struct ExportCommandOptions {
    LogOptions logs;
    FilterOptions filters;
    std::string format;
    std::string output;
    bool bom = false;
    bool lines = false;
};

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
}

// While files are written, Ctrl+C only asks the export to stop, so that it can remove
// its temporary files; a file size limit fails the write instead of killing us.
class InterruptGuard {
  public:
    InterruptGuard() {
        interrupted = 0;
        previous_ = std::signal(SIGINT, onInterrupt);
#ifdef SIGXFSZ
        previousFileSize_ = std::signal(SIGXFSZ, SIG_IGN);
#endif
    }
    ~InterruptGuard() {
        std::signal(SIGINT, previous_);
#ifdef SIGXFSZ
        std::signal(SIGXFSZ, previousFileSize_);
#endif
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    void (*previous_)(int) = SIG_DFL;
#ifdef SIGXFSZ
    void (*previousFileSize_)(int) = SIG_DFL;
#endif
};

ExportFormat formatNamed(const std::string& name) {
    return name == "sqlite" ? ExportFormat::Sqlite
           : name == "csv"  ? ExportFormat::Csv
                            : ExportFormat::Json;
}

void runExport(const ExportCommandOptions& options) {
    const ExportFormat format = formatNamed(options.format);
    if (options.bom && format != ExportFormat::Csv) {
        throw CliExit{kExitUsage, "--bom applies only to --format csv"};
    }
    if (options.lines && format != ExportFormat::Json) {
        throw CliExit{kExitUsage, "--lines applies only to --format json"};
    }
    if (!exportFormatAvailable(format)) {
        throw CliExit{kExitFailure, "--format " + options.format +
                                        " is not available in this build; use csv or json"};
    }
    const GameFilter filter = toFilter(options.filters);
    try {
        // Before a long load: a target that cannot be written fails at once.
        checkExportTarget(format, options.output);
    } catch (const ExportError& error) {
        throw CliExit{kExitFailure, error.what()};
    }
    LogSet logs;
    loadLogs(options.logs, logs);
    std::vector<GameFacts> games = selectGames(logs, filter, false);

    InterruptGuard guard;
    ExportOptions exportOptions;
    exportOptions.bom = options.bom;
    exportOptions.lines = options.lines;
    exportOptions.stop = [] { return interrupted != 0; };
    std::size_t hands = 0;
    try {
        const auto writer = openExport(format, options.output, exportOptions);
        for (GameFacts& game : games) {
            // Hands are read one game at a time: a lifetime of them need not fit in memory.
            game.hands = handFacts(game, logs.record(static_cast<std::size_t>(game.number - 1)));
            writer->add(game);
            hands += game.hands.size();
            game.hands = {};
        }
        writer->commit();
    } catch (const ExportStopped&) {
        throw CliExit{kExitFailure, "interrupted; " + options.output + " was not written"};
    } catch (const ExportError& error) {
        throw CliExit{kExitFailure, error.what()};
    }
    print("exported " + std::to_string(games.size()) + " half-games, " + std::to_string(hands) +
          " hands to " + options.output + "\n");
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
                     "The file (sqlite, json) or folder (csv) to write; replaced only once "
                     "the export is complete")
        ->required();
    command->add_flag("--bom", options->bom,
                      "csv: start each file with a UTF-8 BOM, for spreadsheet programs");
    command->add_flag("--lines", options->lines, "json: JSON Lines, one half-game a line");
    addFilterOptions(*command, options->filters);
    addSalvageOption(*command, options->logs);
    addLogArguments(*command, options->logs);
#ifndef PAIVIEW_HAVE_SQLITE
    command->footer("This build has no SQLite: --format sqlite is not available in it.");
#endif
    command->callback([options] { runExport(*options); });
}
