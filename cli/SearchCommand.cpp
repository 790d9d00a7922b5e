// paiview search: every record or hand whose field holds a text, with its line.

#include "analysis/GameFacts.h"
#include "cli/Cli.h"
#include "export/JsonWriter.h"
#include "search/FieldMatch.h"
#include "text/Encoding.h"

namespace {

struct SearchCommandOptions {
    LogOptions logs;
    std::vector<std::string> arguments; // LOG... FIELD TEXT
    std::string format = "text";
};

std::string fieldNames() {
    std::string names;
    for (const char* name : kSearchFieldNames) {
        names += names.empty() ? "" : " ";
        names += name;
    }
    return names;
}

// The line of the log that holds a record field.
long fieldLine(const RecordLines& lines, SearchTarget target) {
    switch (target) {
    case SearchTarget::PlayerLine:
        return lines.players;
    case SearchTarget::EndTime:
        return lines.footer;
    case SearchTarget::Placing1:
    case SearchTarget::Placing2:
    case SearchTarget::Placing3:
    case SearchTarget::Placing4: {
        const int i = static_cast<int>(target) - static_cast<int>(SearchTarget::Placing1);
        // An aborted game keeps its abort line as the first placing, nothing after.
        return lines.placings[i] ? lines.placings[i] : lines.sectionEnd;
    }
    default:
        return lines.header;
    }
}

void runSearch(SearchCommandOptions& options) {
    if (options.arguments.size() < 3) {
        throw CliExit{kExitUsage, "search: expected LOG... FIELD TEXT"};
    }
    const std::string utf8Text = options.arguments.back();
    const std::string fieldName = options.arguments[options.arguments.size() - 2];
    options.arguments.resize(options.arguments.size() - 2);
    options.logs.logs = options.arguments;
    const auto target = searchTargetNamed(fieldName);
    if (!target) {
        throw CliExit{kExitUsage, "search: FIELD must be one of " + fieldNames() + ", got \"" +
                                      fieldName + "\""};
    }
    std::size_t replaced = 0;
    const std::string text = utf8ToCp932(utf8Text, &replaced);
    if (replaced > 0) {
        throw CliExit{kExitUsage, "search: TEXT holds characters that a score log (CP932) "
                                  "cannot hold: \"" +
                                      utf8Text + "\""};
    }

    CommandLogs logs(options.logs);
    std::string out;
    JsonBuffer buffer;
    IndentedJsonWriter hits(buffer);
    hits.StartArray();
    const bool read = logs.selection().run(FactsNeeded::None, [&](const SelectedGame& game) {
        const GameRecord& record = *game.record;
        const std::size_t pos = static_cast<std::size_t>(game.facts.number - 1);
        forEveryHit(
            1, [&](std::size_t) -> const GameRecord& { return record; }, *target, text.c_str(),
            [&](std::size_t, int hand) {
                const long line = hand < 0 ? fieldLine(game.lines, *target)
                                           : game.lines.hands[static_cast<std::size_t>(hand)];
                const char* field = recordField(record, *target);
                const HandRecord* h = hand >= 0 ? &*std::next(record.hands.begin(), hand) : nullptr;
                if (h) {
                    field = handField(*h, *target);
                }
                const std::string& file = options.logs.logs[game.origin.file];
                if (options.format == "json") {
                    hits.StartObject();
                    hits.Key("file");
                    writeText(hits, file);
                    hits.Key("line");
                    hits.Int64(line);
                    hits.Key("game");
                    hits.Uint64(pos + 1);
                    hits.Key("hand");
                    if (h) {
                        hits.Int(hand + 1);
                    } else {
                        hits.Null();
                    }
                    hits.Key("title");
                    if (h) {
                        writeText(hits, cp932ToUtf8(h->handName));
                    } else {
                        hits.Null();
                    }
                    hits.Key("text");
                    writeText(hits, cp932ToUtf8(field));
                    hits.EndObject();
                    return;
                }
                // Built in UTF-8: the file name is typed, the rest comes from the log.
                out += file + ":" + std::to_string(line) + ": half-game " + std::to_string(pos + 1);
                if (h) {
                    out += ", hand " + std::to_string(hand + 1) + " (" + cp932ToUtf8(h->handName) +
                           ")";
                }
                out += ": " + cp932ToUtf8(field) + "\n";
            });
    });
    logs.finish(read);
    if (options.format == "json") {
        hits.EndArray();
        out.assign(buffer.GetString(), buffer.GetSize());
        out += "\n";
    }
    print(out);
}

} // namespace

void addSearchCommand(CLI::App& app) {
    auto options = std::make_shared<SearchCommandOptions>();
    CLI::App* command = app.add_subcommand(
        "search", "Print every half-game or hand whose FIELD holds TEXT, with its line");
    command->add_option("--format", options->format, "text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    addLogOptions(*command, options->logs);
    command
        ->add_option("LOG... FIELD TEXT", options->arguments,
                     "Score logs (CP932 or UTF-8; - for standard input), then FIELD (one of " +
                         fieldNames() + ") and TEXT, matched byte for byte as CP932")
        ->required()
        ->option_text(" ");
    setUsage(*command, "LOG... FIELD TEXT");
    addExamples(*command,
                {"search log.txt yaku 国士無双", "search --format json log.txt players ねこまる"});
    command->callback([options] { runSearch(*options); });
}
