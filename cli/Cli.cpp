// The shared parts of the commands: LOG arguments, filters, the pass and its diagnostics.
#include "cli/Cli.h"
#include "text/Numbers.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/Progress.h"
#include "cli/Terminal.h"
#include "io/FileError.h"
#include "text/Encoding.h"

namespace {

// Logs are read whole; past this a file is surely not a score log. A lifetime of
// half-games is a few tens of megabytes.
constexpr std::uintmax_t kLargestLog = 1024u * 1024 * 1024;
// Warnings beyond these are counted, not shown: the first ones say what is wrong.
constexpr std::size_t kShownWarnings = 10;

std::string readStandardInput() {
    useBinaryStandardInput();
    std::string bytes;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        bytes.append(buffer, got);
    }
    if (std::ferror(stdin)) {
        throw CliExit{kExitFailure, "standard input: read error"};
    }
    return bytes;
}

std::string readLog(const std::string& name) {
    if (name == "-") {
        return readStandardInput();
    }
    namespace fs = std::filesystem;
    const fs::path path = pathFromUtf8(name);
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

std::string toCp932(const std::string& utf8) {
    return utf8ToCp932(utf8);
}

// A date bound as readDateBound takes it; the message says what is wrong with it.
CLI::Validator dateBound() {
    return CLI::Validator(
        [](std::string& text) {
            std::string iso;
            return readDateBound(text, iso);
        },
        "DATE");
}

} // namespace

CLI::Validator countOfGames() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const bool digits = !text.empty() && text.size() <= 9 &&
                                text.find_first_not_of("0123456789") == std::string::npos;
            if (!digits || std::stoi(text) < 1) {
                return "expected a number of half-games from 1 up, got \"" + text + "\"";
            }
            return {};
        },
        "N");
}

void addLogOptions(CLI::App& command, LogOptions& options) {
    command.add_flag("--salvage", options.salvage,
                     "Keep every half-game that reads: skip a broken one, going on at the "
                     "next header line, and report it");
    command.add_flag("--strict", options.strict,
                     "Fail on an unfinished last half-game (one still being played) instead of "
                     "leaving it out with a warning");
}

void addProgressOption(CLI::App& command, LogOptions& options) {
    options.progress = true;
    command.add_flag("--quiet", options.quiet,
                     "Show no progress on standard error (shown only on a terminal, and only "
                     "when reading takes over a second)");
}

void addLogArguments(CLI::App& command, LogOptions& options) {
    command.add_option("LOG", options.logs, "Score logs (CP932 or UTF-8); - for standard input")
        ->required()
        ->option_text("...");
}

void addFilterOptions(CLI::App& command, FilterOptions& options) {
    command.add_option("--player", options.player, "Only half-games with this player")
        ->option_text("NAME");
    command
        .add_option("--with", options.with,
                    "Only half-games with this opponent; repeat it for several, who must all be "
                    "there")
        ->allow_extra_args(false)
        ->option_text("NAME ...");
    command
        .add_option("--since", options.since,
                    "Only half-games started on or after this date (YYYY-MM-DD or YYYY/MM/DD, "
                    "with HH:MM if wanted)")
        ->check(dateBound());
    command.add_option("--until", options.until, "Only half-games started on or before this date")
        ->check(dateBound());
    command.add_option("--last", options.last, "Only the newest N of those that pass")
        ->check(countOfGames())
        ->option_text("N");
    command.add_option("--table", options.table, "Only half-games whose table name contains TEXT")
        ->option_text("TEXT");
    command.add_option("--players", options.players, "Only tables of 2, 3 or 4 players")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                return text == "2" || text == "3" || text == "4"
                           ? std::string()
                           : "expected 2, 3 or 4, got \"" + text + "\"";
            },
            "2|3|4"))
        ->option_text("2|3|4");
    auto* completed =
        command.add_flag("--completed", options.completed, "Only completed half-games");
    auto* aborted = command.add_flag("--aborted", options.aborted, "Only aborted half-games");
    completed->excludes(aborted);
}

void addExamples(CLI::App& command, const std::vector<std::string>& examples) {
    std::string text = "Examples:";
    for (const std::string& example : examples) {
        text += "\n  $ paiview " + example;
    }
    command.footer(text);
}

namespace {

class UsageFormatter : public CLI::Formatter {
  public:
    explicit UsageFormatter(std::string arguments) : arguments_(std::move(arguments)) {}
    std::string make_usage(const CLI::App*, std::string name) const override {
        return "Usage: " + name + " [OPTIONS] " + arguments_ + "\n";
    }

  private:
    std::string arguments_;
};

} // namespace

void setUsage(CLI::App& command, const std::string& arguments) {
    command.formatter(std::make_shared<UsageFormatter>(arguments));
}

GameFilter toFilter(const FilterOptions& options) {
    GameFilter filter;
    filter.player = toCp932(options.player);
    for (const std::string& name : options.with) {
        filter.with.push_back(toCp932(name));
    }
    const auto date = [](const char* flag, const std::string& text, std::string& iso) {
        if (text.empty()) {
            return; // not given: a value given empty fails its check while parsing
        }
        const std::string problem = readDateBound(text, iso);
        if (!problem.empty()) {
            throw CliExit{kExitUsage, std::string(flag) + ": " + problem};
        }
    };
    date("--since", options.since, filter.since);
    date("--until", options.until, filter.until);
    if (const std::string problem = checkRange(filter); !problem.empty()) {
        throw CliExit{kExitUsage, "--since " + options.since + " is later than --until " +
                                      options.until + ": no half-game can start in between"};
    }
    filter.table = toCp932(options.table);
    filter.players = options.players;
    filter.last = options.last;
    filter.state = options.completed ? GameFilter::State::Completed
                   : options.aborted ? GameFilter::State::Aborted
                                     : GameFilter::State::Any;
    return filter;
}

void refuseToOverwriteLogs(const LogOptions& logs, const std::vector<std::string>& outputs,
                           const std::string& flag) {
    for (const std::string& output : outputs) {
        for (const std::string& log : logs.logs) {
            if (output != "-" && log != "-" && sameFile(pathFromUtf8(output), pathFromUtf8(log))) {
                throw CliExit{kExitUsage, flag + " " + outputs.front() +
                                              " would write over the log " + log + " (" + output +
                                              " is that file): paiview never writes over a log "
                                              "it reads"};
            }
        }
    }
}

CommandLogs::CommandLogs(const LogOptions& options, GameFilter filter) : options_(options) {
    // From the start: reading the files is part of the wait.
    if (options.progress && !options.quiet && standardErrorIsTerminal()) {
        progress_ = std::make_unique<ProgressLine>(0);
    }
    std::vector<std::string> files;
    int stdinUses = 0;
    for (std::size_t i = 0; i < options.logs.size(); ++i) {
        stdinUses += options.logs[i] == "-";
        if (stdinUses > 1) {
            throw CliExit{kExitUsage, "standard input (-) can be read only once"};
        }
        DecodedLog log = decodeLog(readLog(options.logs[i]));
        if (log.unconvertible > 0) {
            decoding_.push_back(
                {i, log.firstUnconvertibleLine,
                 countText(log.unconvertible, "character", "characters") +
                     " that a CP932 log cannot hold (the first on this line) are read as \"?\""});
        }
        files.push_back(std::move(log.cp932));
    }
    LogSetOptions setOptions;
    setOptions.salvage = options.salvage;
    setOptions.strict = options.strict;
    selection_ = std::make_unique<GameSelection>(std::move(files), setOptions, std::move(filter));
    if (progress_) {
        progress_->setTotal(selection_->logs().halfGamesFound());
        selection_->setProgress([this](std::size_t read) { progress_->update(read); });
    }
}

CommandLogs::~CommandLogs() = default;

std::string CommandLogs::describe(const LoadProblem& problem) const {
    return options_.logs[problem.file] + ": " + cp932ToUtf8(describeHalfGameError(problem.error));
}

std::vector<std::string> CommandLogs::warningLines() const {
    struct Line {
        std::size_t file;
        long line;
        std::string text;
    };
    std::vector<Line> lines;
    const auto where = [&](std::size_t file, long line) {
        return options_.logs[file] + (line > 0 ? ": line " + std::to_string(line) : "") + ": ";
    };
    for (const LogWarning& w : decoding_) {
        lines.push_back({w.file, w.line, where(w.file, w.line) + w.text});
    }
    const LogSet& logs = selection_->logs();
    for (const LogWarning& w : logs.warnings()) {
        std::string text = options_.logs[w.file] + ": ";
        if (w.kind == LogWarning::Kind::Unfinished) {
            text += cp932ToUtf8(w.text) + " (--strict makes this an error)";
        } else {
            text = where(w.file, w.line) + cp932ToUtf8(w.text);
        }
        lines.push_back({w.file, w.line, std::move(text)});
    }
    if (options_.salvage) {
        for (const LoadProblem& problem : logs.problems()) {
            lines.push_back({problem.file, problem.firstLine,
                             "skipped lines " + std::to_string(problem.firstLine) + "-" +
                                 std::to_string(problem.lastLine) + " of " + describe(problem)});
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    std::vector<std::string> out;
    for (Line& line : lines) {
        out.push_back(std::move(line.text));
    }
    return out;
}

void writeWarnings(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size() && i < kShownWarnings; ++i) {
        writeErr("paiview: " + lines[i] + "\n");
    }
    if (lines.size() > kShownWarnings) {
        writeErr("paiview: " +
                 countText(lines.size() - kShownWarnings, "more warning", "more warnings") +
                 " not shown\n");
    }
}

void CommandLogs::finish(bool read) const {
    if (progress_) {
        progress_->clear(); // before the warnings and errors
    }
    const LogSet& logs = selection_->logs();
    std::vector<std::string> warnings = warningLines();
    if (logs.duplicates() > 0) {
        warnings.push_back(countText(logs.duplicates(), "half-game was", "half-games were") +
                           " read twice (the same lines in more than one place) and counted once");
    }
    writeWarnings(warnings);
    if (!read) {
        throw CliExit{kExitFailure, describe(logs.problems().front()) +
                                        " (--salvage skips a broken half-game and reads on)"};
    }
    for (std::size_t file = 0; file < logs.fileCount(); ++file) {
        const FileSummary& summary = logs.summary(file);
        if (summary.games + summary.duplicates + summary.problems == 0) {
            throw CliExit{kExitFailure,
                          options_.logs[file] + ": no half-game: is this a score log?"};
        }
    }
    // Salvage that kept nothing has not read a log: that is a failure, not an empty one.
    if (logs.size() == 0 && !logs.problems().empty()) {
        throw CliExit{kExitFailure, "no half-game could be read"};
    }
}

void printCp932(std::string_view cp932) {
    writeOut(cp932ToUtf8(cp932));
}

void print(std::string_view utf8) {
    writeOut(utf8);
}
