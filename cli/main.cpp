// paiview: the score log viewer's core from a terminal.
#include <cerrno>
#include "text/Numbers.h"
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>

#include "PaiviewVersion.h"
#include "cli/Cli.h"
#include "cli/Signals.h"
#include "cli/Terminal.h"
#include "io/FileError.h"
#include "model/HalfGameReader.h"
#include "text/Nearest.h"

namespace {

std::vector<std::string> commandNames(CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        names.push_back(command->get_name());
    }
    return names;
}

bool isCommand(CLI::App& app, const std::string& name) {
    const std::vector<std::string> names = commandNames(app);
    return std::find(names.begin(), names.end(), name) != names.end();
}

// "; did you mean --player?" for the nearest of the candidates, or nothing.
std::string suggestion(const std::string& typed, const std::vector<std::string>& candidates) {
    const std::vector<std::size_t> near =
        nearestOf(looseForm(typed), candidates, 1, std::max<std::size_t>(2, typed.size() / 3));
    return near.empty() ? std::string() : "; did you mean " + candidates[near.front()] + "?";
}

std::vector<std::string> optionNames(const CLI::App& command) {
    std::vector<std::string> names;
    for (const CLI::Option* option : command.get_options()) {
        for (const std::string& name : option->get_lnames()) {
            names.push_back("--" + name);
        }
    }
    return names;
}

// CLI11's messages in the words of this program, with the command they concern.
std::string reworded(const CLI::ParseError& error, CLI::App& app) {
    const std::string what = error.what();
    // By exit code: some errors carry the command's name in place of their own.
    const auto is = [&](CLI::ExitCodes code) {
        return error.get_exit_code() == static_cast<int>(code);
    };
    CLI::App* command = app.get_subcommands().empty() ? &app : app.get_subcommands().front();
    const std::string prefix = command == &app ? "" : command->get_name() + ": ";
    const auto between = [&](const char* word, const char* joined) {
        const std::size_t at = what.find(word);
        return at == std::string::npos
                   ? prefix + what
                   : prefix + what.substr(0, at) + joined + what.substr(at + std::strlen(word));
    };
    if (is(CLI::ExitCodes::ExcludesError)) {
        return between(" excludes ", " and ") + " cannot be used together";
    }
    if (is(CLI::ExitCodes::RequiresError)) {
        return between(" requires ", " works only with ");
    }
    if (is(CLI::ExitCodes::ExtrasError)) {
        // "The following argument(s) was/were not expected: --palyer x"
        std::string first =
            what.substr(what.find(": ") == std::string::npos ? 0 : what.find(": ") + 2);
        first = first.substr(0, first.find(' '));
        if (!first.empty() && first[0] == '-') {
            return prefix + "unknown option " + first + suggestion(first, optionNames(*command));
        }
        return prefix + "unexpected argument \"" + first + "\"";
    }
    if (is(CLI::ExitCodes::RequiredError)) {
        if (what.rfind("A subcommand", 0) == 0) {
            return "give a command (check, list, show, search, export, stats, report) or "
                   "score logs; see paiview --help";
        }
        if (what.rfind("LOG", 0) == 0) {
            return prefix + "give one or more score logs (LOG)";
        }
        return prefix + what;
    }
    if (is(CLI::ExitCodes::ArgumentMismatch)) {
        return prefix + what.substr(0, what.find(':')) + " needs a value";
    }
    return prefix + what;
}

int run(const std::vector<std::string>& args) {
    CLI::App app{"paiview: check, list, show, search, export and analyse 東風荘 score logs.\n"
                 "paiview LOG... with no command writes the report of the logs beside the "
                 "first (NAME.report.html), as dropping logs onto paiview-cli.exe does.",
                 "paiview"};
    app.set_version_flag("--version", std::string("paiview ") + PAIVIEW_VERSION);
    app.require_subcommand(1);
    app.fallthrough(false);
    addCheckCommand(app);
    addListCommand(app);
    addShowCommand(app);
    addSearchCommand(app);
    addExportCommand(app);
    addStatsCommand(app);
    addReportCommand(app);
    addExamples(app, {"check log.txt", "stats log.txt", "report log.txt -o me.html",
                      "log.txt   (the report, beside the log)"});

    // A log dropped onto the program: its path and no command.
    if (args.size() >= 2 && !isCommand(app, args[1]) && !args[1].empty() && args[1][0] != '-') {
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::u8path(args[1]), ec)) {
            throw CliExit{kExitUsage, "\"" + args[1] + "\" is neither a command nor a score log" +
                                          suggestion(args[1], commandNames(app)) +
                                          " (see paiview --help)"};
        }
        return runDroppedLogs({args.begin() + 1, args.end()});
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend() - 1);
    try {
        app.parse(std::move(reversed));
    } catch (const CLI::CallForHelp&) {
        printCp932(app.help());
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        printCp932(app.help("", CLI::AppFormatMode::All));
        return 0;
    } catch (const CLI::CallForVersion& version) {
        print(std::string(version.what()) + "\n");
        return 0;
    } catch (const CLI::ParseError& e) {
        // A command's own --help is thrown with the command still parsing.
        for (CLI::App* command : app.get_subcommands()) {
            if (command->get_help_ptr() && command->get_help_ptr()->count() > 0) {
                printCp932(command->help());
                return 0;
            }
        }
        writeErr("paiview: " + reworded(e, app) + "\n");
        return kExitUsage;
    }
    return 0;
}

int finish(int code) {
    if (const char* count = std::getenv("PAIVIEW_COUNT_READS"); count && *count) {
        // For the tests: each command reads each half-game once.
        writeErr("paiview: read " + countText(halfGamesRead(), "half-game", "half-games") + "\n");
    }
    return code;
}

} // namespace

int main(int argc, char** argv) {
    installSignalHandlers();
    try {
        const int code = run(utf8Arguments(argc, argv));
        flushOut();
        return finish(code);
    } catch (const CliExit& exit) {
        try {
            flushOut();
        } catch (const OutputFailed&) {
        }
        if (exit.said) {
            writeMessage(*exit.said);
        } else if (!exit.message.empty()) {
            writeErr("paiview: " + exit.message + "\n");
        }
        return finish(exit.code);
    } catch (const OutputFailed& failed) {
        // A reader that went away has all it wanted: end as quietly as a killed filter.
        if (failed.error == EPIPE) {
            return 128 + 13;
        }
        writeErr(std::string("paiview: standard output: ") + std::strerror(failed.error) + "\n");
        return kExitFailure;
    } catch (const FileError& error) {
        writeErr(std::string("paiview: ") + error.what() + "\n");
        return kExitFailure;
    } catch (const std::bad_alloc&) {
        writeErr("paiview: out of memory\n");
        return kExitFailure;
    } catch (const std::exception& e) {
        writeErr(std::string("paiview: ") + e.what() + "\n");
        return kExitFailure;
    }
}
