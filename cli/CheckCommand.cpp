// paiview check: do the logs load, and if not, which line broke each one.
#include "cli/Cli.h"
#include "text/Numbers.h"
#include "cli/Terminal.h"

namespace {

std::string counts(std::size_t games, std::size_t hands, std::size_t aborted) {
    return countText(games, "half-game", "half-games") + ", " + countText(hands, "hand", "hands") +
           " (" + std::to_string(aborted) + " aborted)";
}

struct CheckOptions {
    LogOptions logs;
};

void runCheck(const CheckOptions& options) {
    CommandLogs logs(options.logs);
    const bool read = logs.selection().run(FactsNeeded::None, [](const SelectedGame&) {});
    (void)read; // every log is judged on its own below
    const LogSet& set = logs.selection().logs();
    writeWarnings(logs.warnings());

    // Each log is judged on its own: one that breaks does not hide the others.
    const bool several = set.fileCount() > 1;
    std::size_t broken = 0;
    std::string perFile;
    for (std::size_t file = 0; file < set.fileCount(); ++file) {
        const std::string& name = options.logs.logs[file];
        const FileSummary& s = set.summary(file);
        if (s.problems > 0 && !options.logs.salvage) {
            for (const LoadProblem& problem : set.problems()) {
                if (problem.file == file) {
                    writeMessage(logs.problem(problem));
                    break;
                }
            }
            ++broken;
        } else if (s.games + s.duplicates + s.problems == 0) {
            Message none;
            none.code = MessageCode::NoHalfGame;
            none.file = name;
            writeMessage(none);
            ++broken;
        } else if (several) {
            perFile += name + ": " + counts(s.games, s.hands, s.aborted);
            if (s.duplicates > 0) {
                perFile += ", " +
                           countText(s.duplicates, "duplicate half-game", "duplicate half-games") +
                           " dropped";
            }
            if (s.problems > 0) {
                perFile += ", " + countText(s.problems, "broken half-game", "broken half-games") +
                           " skipped";
            }
            perFile += "\n";
        }
    }
    print(perFile);
    if (broken > 0) {
        if (!several) {
            throw CliExit{kExitFailure, ""};
        }
        Message notLoaded;
        notLoaded.code = MessageCode::LogsNotLoaded;
        notLoaded.count = broken;
        notLoaded.total = set.fileCount();
        throw failure(notLoaded);
    }
    // Salvage that kept nothing has not read a log: that is a failure, not an empty one.
    if (set.size() == 0 && !set.problems().empty()) {
        throw failure(Message{MessageCode::NothingRead});
    }
    std::string text = "OK: " + counts(set.size(), set.handCount(), set.abortedCount());
    if (set.duplicates() > 0) {
        text += ", " + countText(set.duplicates(), "duplicate half-game", "duplicate half-games") +
                " dropped";
    }
    if (!set.problems().empty()) {
        text += ", " + countText(set.problems().size(), "broken half-game", "broken half-games") +
                " skipped";
    }
    print(text + "\n");
}

} // namespace

void addCheckCommand(CLI::App& app) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* command = app.add_subcommand(
        "check", "Check that score logs load; name the line that broke each one that does not");
    addLogOptions(*command, options->logs);
    addLogArguments(*command, options->logs);
    addExamples(*command, {"check log.txt", "check --salvage old.txt new.txt"});
    command->callback([options] { runCheck(*options); });
}
