// paiview check: does the log load, and if not, which line broke it.
#include "cli/Cli.h"

namespace {

std::string plural(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

struct CheckOptions {
    LogOptions logs;
};

void runCheck(const CheckOptions& options) {
    LogSet logs;
    loadLogs(options.logs, logs, LogSetOptions::Keep::Counts);
    std::string text = "OK: " + std::to_string(logs.size()) + " half-games, " +
                       std::to_string(logs.handCount()) + " hands (" +
                       std::to_string(logs.abortedCount()) + " aborted)";
    if (logs.duplicates() > 0) {
        text += ", " + plural(logs.duplicates(), "duplicate half-game") + " dropped";
    }
    if (!logs.problems().empty()) {
        text += ", " + plural(logs.problems().size(), "broken half-game") + " skipped";
    }
    print(text + "\n");
}

} // namespace

void addCheckCommand(CLI::App& app) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* command =
        app.add_subcommand("check", "Check that score logs load; name the line that broke one");
    addSalvageOption(*command, options->logs);
    addLogArguments(*command, options->logs);
    command->callback([options] { runCheck(*options); });
}
