// The shared parts of the commands: LOG arguments, filters, loading and diagnostics.
#include "cli/Cli.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/Terminal.h"
#include "text/Encoding.h"

namespace {

// Logs are read whole; past this a file is surely not a score log. A lifetime of
// half-games is a few tens of megabytes.
constexpr std::uintmax_t kLargestLog = 1024u * 1024 * 1024;

std::string readStandardInput() {
    useBinaryStandardInput();
    std::string bytes;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

std::string readLog(const std::string& name) {
    if (name == "-") {
        return readStandardInput();
    }
    namespace fs = std::filesystem;
    const fs::path path = fs::u8path(name);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        throw CliExit{kExitFailure, name + ": no such file"};
    }
    if (fs::is_directory(status)) {
        throw CliExit{kExitFailure, name + ": is a folder, not a score log"};
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kLargestLog) {
        throw CliExit{kExitFailure, name + ": too large for a score log (" +
                                        std::to_string(size >> 20) + " MiB; at most 1024 MiB)"};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw CliExit{kExitFailure, name + ": cannot be opened for reading"};
    }
    // One read of the whole file; a file that grows meanwhile is read as it was.
    std::string bytes(ec ? 0 : static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || static_cast<std::size_t>(in.gcount()) != bytes.size()) {
        throw CliExit{kExitFailure, name + ": read error"};
    }
    return bytes;
}

std::string problemText(const LogOptions& options, const LoadProblem& problem) {
    return options.logs[problem.file] + ": " + cp932ToUtf8(describeHalfGameError(problem.error));
}

std::string toCp932(const std::string& utf8) {
    return utf8ToCp932(utf8);
}

} // namespace

void addSalvageOption(CLI::App& command, LogOptions& options) {
    command.add_flag("--salvage", options.salvage,
                     "Keep every half-game that reads: skip a broken one, going on at the "
                     "next header line, and report it");
}

void addLogArguments(CLI::App& command, LogOptions& options) {
    command.add_option("LOG", options.logs, "Score logs (CP932 or UTF-8); - for standard input")
        ->required();
}

void addFilterOptions(CLI::App& command, FilterOptions& options) {
    command.add_option("--player", options.player, "Only half-games with this player");
    command
        .add_option("--with", options.with,
                    "Only half-games with this opponent (repeatable: all must be there)")
        ->allow_extra_args(false);
    command.add_option("--since", options.since,
                       "Only half-games started at or after YYYY-MM-DD[ HH:MM]");
    command.add_option("--until", options.until,
                       "Only half-games started at or before YYYY-MM-DD[ HH:MM]");
    command.add_option("--last", options.last, "Only the newest N of those that pass")
        ->check(CLI::PositiveNumber);
    command.add_option("--table", options.table, "Only half-games whose table name contains TEXT");
    command.add_option("--players", options.players, "Only tables of 2, 3 or 4 players")
        ->check(CLI::IsMember({2, 3, 4}));
    auto* completed =
        command.add_flag("--completed", options.completed, "Only completed half-games");
    auto* aborted = command.add_flag("--aborted", options.aborted, "Only aborted half-games");
    completed->excludes(aborted);
}

GameFilter toFilter(const FilterOptions& options) {
    GameFilter filter;
    filter.player = toCp932(options.player);
    for (const std::string& name : options.with) {
        filter.with.push_back(toCp932(name));
    }
    filter.since = options.since;
    filter.until = options.until;
    filter.table = toCp932(options.table);
    filter.players = options.players;
    filter.last = options.last;
    filter.state = options.completed ? GameFilter::State::Completed
                   : options.aborted ? GameFilter::State::Aborted
                                     : GameFilter::State::Any;
    const std::string problem = checkFilter(filter);
    if (!problem.empty()) {
        throw CliExit{kExitUsage, problem};
    }
    return filter;
}

void loadLogs(const LogOptions& options, LogSet& logs, LogSetOptions::Keep keep) {
    std::vector<std::string> files;
    int stdinUses = 0;
    for (const std::string& name : options.logs) {
        stdinUses += name == "-";
        if (stdinUses > 1) {
            throw CliExit{kExitUsage, "standard input (-) can be read only once"};
        }
        files.push_back(logBytesAsCp932(readLog(name)));
    }
    LogSetOptions setOptions;
    setOptions.salvage = options.salvage;
    setOptions.keep = keep;
    if (!logs.load(std::move(files), setOptions)) {
        throw CliExit{kExitFailure, problemText(options, logs.problems().front())};
    }
    for (const LoadProblem& problem : logs.problems()) {
        writeErr("paiview: skipped lines " + std::to_string(problem.firstLine) + "-" +
                 std::to_string(problem.lastLine) + " of " + problemText(options, problem) + "\n");
    }
    // Salvage that kept nothing has not read a log: that is a failure, not an empty one.
    if (logs.size() == 0 && !logs.problems().empty()) {
        throw CliExit{kExitFailure, "no half-game could be read"};
    }
}

std::vector<GameFacts> loadAndSelect(const LogOptions& logOptions,
                                     const FilterOptions& filterOptions, bool withHands) {
    const GameFilter filter = toFilter(filterOptions);
    LogSet logs;
    loadLogs(logOptions, logs);
    return selectGames(logs, filter, withHands);
}

void printCp932(std::string_view cp932) {
    writeOut(cp932ToUtf8(cp932));
}

void print(std::string_view utf8) {
    writeOut(utf8);
}
