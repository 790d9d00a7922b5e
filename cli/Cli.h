// What every command shares: the LOG arguments, the filters, loading with its
// diagnostics, output through the UTF-8 edge, and the exit codes.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <string_view>
#include <vector>

#include "analysis/GameFilter.h"
#include "analysis/LogSet.h"

// Exit codes: 0 success, 1 a log that fails (or a failed write), 2 bad usage.
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Thrown by a command to end the program with a message on standard error.
struct CliExit {
    int code;
    std::string message; // UTF-8, without "paiview: " and the line end
};

struct LogOptions {
    std::vector<std::string> logs; // file names as typed (UTF-8), "-" for standard input
    bool salvage = false;
};

struct FilterOptions {
    std::string player;
    std::vector<std::string> with;
    std::string since, until, table;
    int players = 0;
    int last = 0;
    bool completed = false, aborted = false;
};

// --salvage; the LOG positional is added by each command, as some take more after it.
void addSalvageOption(CLI::App& command, LogOptions& options);
void addLogArguments(CLI::App& command, LogOptions& options);
void addFilterOptions(CLI::App& command, FilterOptions& options);

// The filter in CP932, checked; throws CliExit (usage) when it cannot be used.
GameFilter toFilter(const FilterOptions& options);

// Reads and loads the logs: a failure prints its diagnostic and throws CliExit (1).
// With --salvage each skipped half-game is reported on standard error and loading goes on.
// keep: what of the half-games stays in memory (see LogSetOptions).
void loadLogs(const LogOptions& options, LogSet& logs,
              LogSetOptions::Keep keep = LogSetOptions::Keep::Offsets);

// The loaded logs, filtered: what list, export, stats and report work on.
std::vector<GameFacts> loadAndSelect(const LogOptions& logOptions,
                                     const FilterOptions& filterOptions, bool withHands);

// CP932 text from the core to standard output as UTF-8.
void printCp932(std::string_view cp932);
// UTF-8 text to standard output.
void print(std::string_view utf8);

// Each command adds itself to the program.
void addCheckCommand(CLI::App& app);
void addListCommand(CLI::App& app);
void addShowCommand(CLI::App& app);
void addSearchCommand(CLI::App& app);
void addExportCommand(CLI::App& app);
void addStatsCommand(CLI::App& app);
void addReportCommand(CLI::App& app);

// Writes the HTML report of the logs to outPath (UTF-8 names; player empty for the
// owner). Throws CliExit on failure. Used by report and by dropped logs.
void writeReportFor(const LogOptions& logs, const FilterOptions& filters, const std::string& player,
                    const std::string& outPath);

// A run with log paths and no command (a log dropped onto paiview-cli.exe): writes a
// report beside each log and opens it. Returns the exit code.
int runDroppedLogs(const std::vector<std::string>& paths);
