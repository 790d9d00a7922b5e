// The shared parts of the commands: LOG arguments, filters, the pass and its diagnostics.
#include "cli/Cli.h"
#include "text/Numbers.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/Progress.h"
#include "cli/Terminal.h"
#include "io/FileError.h"
#include "export/JsonWriter.h"
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
        Message message;
        message.code = MessageCode::StartAfterEnd;
        message.since = options.since;
        message.until = options.until;
        throw failure(message, kExitUsage);
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
            decoding_.push_back({i, log.firstUnconvertibleLine, 0, log.unconvertible,
                                 LogWarning::Kind::Unconvertible});
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

Message CommandLogs::problem(const LoadProblem& problem, bool skipped) const {
    return problemMessage(problem, options_.logs[problem.file], skipped);
}

std::vector<Message> CommandLogs::warnings() const {
    struct Line {
        std::size_t file;
        long line;
        Message message;
    };
    std::vector<Line> lines;
    for (const LogWarning& w : decoding_) {
        lines.push_back({w.file, w.line, warningMessage(w, options_.logs[w.file])});
    }
    const LogSet& logs = selection_->logs();
    for (const LogWarning& w : logs.warnings()) {
        lines.push_back({w.file, w.line, warningMessage(w, options_.logs[w.file])});
    }
    if (options_.salvage) {
        for (const LoadProblem& p : logs.problems()) {
            lines.push_back({p.file, p.firstLine, problem(p, true)});
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    std::vector<Message> out;
    for (Line& line : lines) {
        out.push_back(std::move(line.message));
    }
    return out;
}

namespace {

bool messagesAsJson() {
    static const bool json = [] {
        const char* mode = std::getenv("PAIVIEW_MESSAGES");
        return mode && std::string_view(mode) == "json";
    }();
    return json;
}

} // namespace

std::string englishLine(const Message& message) {
    Message worded = message;
    switch (message.code) {
    case MessageCode::StartAfterEnd:
        worded.since = "--since " + message.since;
        worded.until = "--until " + message.until;
        break;
    default:
        break;
    }
    std::string text = messageText(worded, MessageLanguage::English);
    switch (message.code) {
    case MessageCode::BrokenHalfGame:
        return text + " (--salvage skips a broken half-game and reads on)";
    case MessageCode::Unfinished:
        return text + " (--strict makes this an error)";
    default:
        return text;
    }
}

void writeMessage(const Message& message) {
    if (!messagesAsJson()) {
        writeErr("paiview: " + englishLine(message) + "\n");
        return;
    }
    const MessageEntry& entry = messageEntry(message.code);
    JsonBuffer buffer;
    CompactJsonWriter json(buffer);
    json.StartObject();
    json.Key("code");
    json.String(entry.id);
    json.Key("kind");
    json.String(messageKindName(entry.kind));
    if (!message.file.empty()) {
        json.Key("file");
        json.String(message.file.c_str(), static_cast<rapidjson::SizeType>(message.file.size()));
    }
    const std::string text = messageText(message, MessageLanguage::Japanese);
    json.Key("text");
    json.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
    json.EndObject();
    writeErr(std::string(buffer.GetString(), buffer.GetSize()) + "\n");
}

CliExit failure(const Message& message, int code) {
    return CliExit{code, englishLine(message), message};
}

void writeWarnings(const std::vector<Message>& warnings) {
    for (std::size_t i = 0; i < warnings.size() && i < kShownWarnings; ++i) {
        writeMessage(warnings[i]);
    }
    if (warnings.size() > kShownWarnings) {
        Message more;
        more.code = MessageCode::MoreWarnings;
        more.count = warnings.size() - kShownWarnings;
        writeMessage(more);
    }
}

void CommandLogs::finish(bool read) const {
    if (progress_) {
        progress_->clear(); // before the warnings and errors
    }
    const LogSet& logs = selection_->logs();
    std::vector<Message> warnings = this->warnings();
    if (logs.duplicates() > 0) {
        Message twice;
        twice.code = MessageCode::ReadTwice;
        twice.count = logs.duplicates();
        warnings.push_back(twice);
    }
    writeWarnings(warnings);
    if (!read) {
        throw failure(problem(logs.problems().front()));
    }
    for (std::size_t file = 0; file < logs.fileCount(); ++file) {
        const FileSummary& summary = logs.summary(file);
        if (summary.games + summary.duplicates + summary.problems == 0) {
            Message none;
            none.code = MessageCode::NoHalfGame;
            none.file = options_.logs[file];
            throw failure(none);
        }
    }
    // Salvage that kept nothing has not read a log: that is a failure, not an empty one.
    if (logs.size() == 0 && !logs.problems().empty()) {
        throw failure(Message{MessageCode::NothingRead});
    }
}

void printCp932(std::string_view cp932) {
    writeOut(cp932ToUtf8(cp932));
}

void print(std::string_view utf8) {
    writeOut(utf8);
}
