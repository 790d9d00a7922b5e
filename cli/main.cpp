// paiview: the score log viewer's core from a terminal.
#include <exception>

#include "cli/Cli.h"
#include "cli/Terminal.h"

namespace {

bool isCommand(CLI::App& app, const std::string& name) {
    for (const CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        if (command->get_name() == name) {
            return true;
        }
    }
    return false;
}

int run(const std::vector<std::string>& args) {
    CLI::App app{"paiview: check, list, show, search, export and analyse 東風荘 score logs",
                 "paiview"};
    app.require_subcommand(1);
    app.fallthrough(false);
    addCheckCommand(app);
    addListCommand(app);
    addShowCommand(app);
    addSearchCommand(app);
    addExportCommand(app);
    addStatsCommand(app);
    addReportCommand(app);

    // A log dropped onto the program: its path and no command.
    if (args.size() >= 2 && !isCommand(app, args[1]) && args[1][0] != '-') {
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
    } catch (const CLI::ParseError& e) {
        // A command's own --help is thrown with the command still parsing.
        for (CLI::App* command : app.get_subcommands()) {
            if (command->get_help_ptr() && command->get_help_ptr()->count() > 0) {
                printCp932(command->help());
                return 0;
            }
        }
        writeErr(std::string("paiview: ") + e.what() + "\n");
        return kExitUsage;
    } catch (const CliExit& exit) {
        flushOut();
        if (!exit.message.empty()) {
            writeErr("paiview: " + exit.message + "\n");
        }
        return exit.code;
    }
    flushOut();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(utf8Arguments(argc, argv));
    } catch (const CliExit& exit) {
        flushOut();
        if (!exit.message.empty()) {
            writeErr("paiview: " + exit.message + "\n");
        }
        return exit.code;
    } catch (const std::bad_alloc&) {
        writeErr("paiview: out of memory\n");
        return kExitFailure;
    } catch (const std::exception& e) {
        writeErr(std::string("paiview: ") + e.what() + "\n");
        return kExitFailure;
    }
}
