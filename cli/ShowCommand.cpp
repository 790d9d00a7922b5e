// paiview show: one half-game, as list numbers it, with every hand.
#include <algorithm>
#include <filesystem>

#include "cli/Cli.h"
#include "cli/GameText.h"
#include "export/JsonWriter.h"
#include "text/Numbers.h"
#include "text/TextTable.h"

namespace {

struct ShowOptions {
    LogOptions logs;
    std::vector<std::string> arguments; // LOG... N: the number comes last
    std::string format = "table";
};

// "5" -> 5; anything but plain digits, or more than fits, is absent.
std::optional<std::size_t> numberArgument(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(std::stoul(text));
}

// The name of the hand's dealer; "?" when the log does not tell.
std::string dealerText(const GameFacts& game, const HandFacts& hand) {
    for (const SeatFacts& seat : game.seats) {
        if (hand.dealer && seat.seat == *hand.dealer) {
            return std::string(seat.name);
        }
    }
    return "?";
}

// Each seat's column: the hand's change, then its points after the hand when known, so
// that the points read down the column from the start to the placing line's points.
class SeatCells {
  public:
    explicit SeatCells(const GameFacts& game) : game_(game) {
        points_ = game.startPoints.has_value();
        for (const HandFacts& hand : game.hands) {
            points_ = points_ && hand.pointsAfter.size() == game.seats.size();
        }
        widths_.assign(game.seats.size(), 0);
        for (const HandFacts& hand : game.hands) {
            for (std::size_t i = 0; i < game.seats.size(); ++i) {
                widths_[i] = std::max(widths_[i], change(hand, i).size());
            }
        }
    }
    bool withPoints() const { return points_; }
    std::string start(std::size_t seat) const {
        return std::string(widths_[seat] + 2, ' ') + std::to_string(*game_.startPoints);
    }
    std::string after(const HandFacts& hand, std::size_t seat) const {
        const std::string text = change(hand, seat);
        if (!points_) {
            return text;
        }
        return std::string(widths_[seat] - text.size(), ' ') + text + "  " +
               std::to_string(hand.pointsAfter[seat]);
    }

  private:
    std::string change(const HandFacts& hand, std::size_t seat) const {
        if (!hand.resultParsed) {
            return "?";
        }
        long long sum = 0;
        for (const PointChange& c : hand.changes) {
            sum += c.name == game_.seats[seat].name ? c.change : 0;
        }
        return signedPointsText(sum);
    }

    const GameFacts& game_;
    bool points_ = false;
    std::vector<std::size_t> widths_;
};

std::string handsTable(const GameFacts& game) {
    std::vector<std::string> header{"#", "Hand", "Dealer"};
    std::vector<Align> align{Align::Right, Align::Left, Align::Left};
    for (const SeatFacts& seat : game.seats) {
        header.push_back(std::string(seat.name));
        align.push_back(Align::Right);
    }
    header.push_back("Yaku");
    std::vector<std::vector<std::string>> rows{header};
    const SeatCells cells(game);
    if (cells.withPoints()) {
        std::vector<std::string> row{"", "Start points", ""};
        for (std::size_t i = 0; i < game.seats.size(); ++i) {
            row.push_back(cells.start(i));
        }
        rows.push_back(std::move(row));
    }
    std::string unread;
    for (const HandFacts& hand : game.hands) {
        std::vector<std::string> row{std::to_string(hand.number), std::string(hand.title),
                                     dealerText(game, hand)};
        for (std::size_t i = 0; i < game.seats.size(); ++i) {
            row.push_back(cells.after(hand, i));
        }
        row.push_back(std::string(hand.yaku));
        rows.push_back(std::move(row));
        if (!hand.resultParsed) {
            unread += "hand " + std::to_string(hand.number) +
                      ": result as written: " + std::string(hand.result) + "\n";
        }
    }
    return alignedTable(rows, align) + unread;
}

void runShow(ShowOptions& options) {
    if (options.arguments.size() < 2) {
        throw CliExit{kExitUsage, "show: expected LOG... N (one or more logs, then a number)"};
    }
    const std::string number = options.arguments.back();
    options.arguments.pop_back();
    options.logs.logs = options.arguments;
    for (const std::string& log : options.logs.logs) {
        std::error_code ec;
        if (numberArgument(log) && !std::filesystem::exists(std::filesystem::u8path(log), ec)) {
            throw CliExit{kExitUsage,
                          "show: takes one number N, after the logs: \"" + log + "\" is no log"};
        }
    }
    const auto n = numberArgument(number);
    if (!n || *n == 0) {
        throw CliExit{kExitUsage,
                      "show: N must be a half-game number from 1, got \"" + number + "\""};
    }
    GameFilter only;
    only.number = *n;
    CommandLogs logs(options.logs, only);
    // Kept with its record: the facts view it, and the pass reads on.
    std::unique_ptr<HeldGame> held;
    RecordOrigin origin;
    const bool read = logs.selection().run(FactsNeeded::Hands, [&](const SelectedGame& found) {
        held = std::make_unique<HeldGame>(*found.record, found.facts);
        origin = found.origin;
    });
    logs.finish(read);
    const std::size_t total = logs.selection().logs().size();
    if (!held) {
        throw CliExit{kExitUsage,
                      "show: no half-game " + number + ": the logs hold " + std::to_string(total)};
    }
    const GameFacts* game = &held->facts();
    if (options.format == "json") {
        // The same object as one half-game of export --format json.
        JsonBuffer buffer;
        IndentedJsonWriter writer(buffer);
        JsonWriterSink<IndentedJsonWriter> json(writer);
        writeGameJson(*game, true, json);
        print(std::string(buffer.GetString(), buffer.GetSize()) + "\n");
        return;
    }

    print("Half-game " + std::to_string(*n) + " of " + std::to_string(total) + ": " +
          options.logs.logs[origin.file] + ", lines " + std::to_string(origin.firstLine) + "-" +
          std::to_string(origin.lastLine) + "\n");
    std::vector<std::vector<std::string>> rows{
        {"Table", std::string(game->table)}, {"Start", startText(*game)}, {"End", endText(*game)}};
    for (const SeatFacts& seat : game->seats) {
        rows.push_back({"[" + std::to_string(seat.seat) + "]", seatText(seat)});
    }
    if (game->aborted) {
        rows.push_back({"Result", "aborted (途中終了)"});
    }
    const char* label = "Placings";
    for (const PlacingFacts& placing : game->placings) {
        rows.push_back({label, std::string(placing.raw)});
        label = "";
    }
    printCp932(alignedTable(rows, {}) + "\n" + handsTable(*game));
}

} // namespace

void addShowCommand(CLI::App& app) {
    auto options = std::make_shared<ShowOptions>();
    CLI::App* command = app.add_subcommand(
        "show", "Show half-game N (as list numbers it): times, seats, placings and every hand "
                "with its dealer and the points after it");
    command->add_option("--format", options->format, "table (default) or json")
        ->check(CLI::IsMember({"table", "json"}));
    addLogOptions(*command, options->logs);
    command
        ->add_option("LOG... N", options->arguments,
                     "Score logs (CP932 or UTF-8; - for standard input), then one number N")
        ->required()
        ->option_text(" ");
    setUsage(*command, "LOG... N");
    addExamples(*command, {"show log.txt 2", "show --format json log.txt 2"});
    command->callback([options] { runShow(*options); });
}
