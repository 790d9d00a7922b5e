// paiview report: not built yet.
#include "cli/Cli.h"

void addReportCommand(CLI::App&) {}

void writeReportFor(const LogOptions&, const FilterOptions&, const std::string&,
                    const std::string&) {
    throw CliExit{kExitFailure, "the report is not built yet"};
}
