// What every command shares: the LOG arguments, the filters, the one pass over the logs
// with its warnings and diagnostics, output through the UTF-8 edge, and the exit codes.
#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/GameSelection.h"
#include "analysis/Messages.h"

// Exit codes: 0 success, 1 a log that fails (or a failed write), 2 bad usage.
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Thrown by a command to end the program with a message on standard error.
struct CliExit {
    CliExit(int code, std::string message, std::optional<Message> said = {})
        : code(code), message(std::move(message)), said(std::move(said)) {}
    int code;
    std::string message;         // UTF-8, without "paiview: " and the line end
    std::optional<Message> said; // the core's message that message words, when it is one
};

// A message of the core as the command says it: English, with the flag that mends it
// where one does. Written to standard error as "paiview: …", or, when the page's worker
// asks (PAIVIEW_MESSAGES=json), as one JSON line of its code, kind, file and Japanese text.
std::string englishLine(const Message& message);
void writeMessage(const Message& message);
CliExit failure(const Message& message, int code = kExitFailure);

struct LogOptions {
    std::vector<std::string> logs; // file names as typed (UTF-8), "-" for standard input
    bool salvage = false;
    bool strict = false;
    bool progress = false; // the command shows how far it has read, on a terminal
    bool quiet = false;    // --quiet: it does not
};

struct FilterOptions {
    std::string player;
    std::vector<std::string> with;
    std::string since, until, table;
    int players = 0;
    int last = 0;
    bool completed = false, aborted = false;
};

// --salvage and --strict; the LOG positional is added by each command, as some take
// more after it.
void addLogOptions(CLI::App& command, LogOptions& options);
void addLogArguments(CLI::App& command, LogOptions& options);
// A command whose pass may be long shows its progress on a terminal; --quiet hides it.
void addProgressOption(CLI::App& command, LogOptions& options);
void addFilterOptions(CLI::App& command, FilterOptions& options);
// A number of half-games (--last, --min-games): 1 or more, said so in plain words.
CLI::Validator countOfGames();
// Ends a command's --help with examples, one "$ paiview …" line each.
void addExamples(CLI::App& command, const std::vector<std::string>& examples);
// The usage line of a command whose arguments CLI11 cannot say: "LOG... N".
void setUsage(CLI::App& command, const std::string& arguments);

// The filter in CP932, checked; throws CliExit (usage) naming the flag at fault.
GameFilter toFilter(const FilterOptions& options);

// Refuses (exit 2) an output path that is one of the logs, however it is spelled.
void refuseToOverwriteLogs(const LogOptions& logs, const std::vector<std::string>& outputs,
                           const std::string& flag = "-o");

// A command's logs, read from their files and ready for the one pass.
class ProgressLine;

class CommandLogs {
  public:
    // Reads every log (throws CliExit when one cannot be read). A command with progress
    // shows on a terminal how far its pass has read, until finish().
    CommandLogs(const LogOptions& options, GameFilter filter = {});
    ~CommandLogs();
    GameSelection& selection() { return *selection_; }
    const LogOptions& options() const { return options_; }

    // After the pass, given what it returned: writes the warnings to standard error
    // (the first ten and a count), then throws CliExit when a broken half-game failed
    // the logs, when a log holds no half-game or when salvage kept none.
    void finish(bool read) const;
    // A broken half-game's message, with its file.
    Message problem(const LoadProblem& problem, bool skipped = false) const;
    // The warnings of the pass, by file and line: "FILE: line N: …".
    std::vector<Message> warnings() const;

  private:
    LogOptions options_;
    std::unique_ptr<ProgressLine> progress_;
    std::unique_ptr<GameSelection> selection_;
    std::vector<LogWarning> decoding_; // from reading UTF-8 logs
};

// Writes warnings to standard error: at most ten, then how many more there were.
void writeWarnings(const std::vector<Message>& warnings);

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
