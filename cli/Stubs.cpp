// Commands not built yet: each moves to its own file.
#include "cli/Cli.h"

void addListCommand(CLI::App&) {}
void addShowCommand(CLI::App&) {}
void addSearchCommand(CLI::App&) {}
void addExportCommand(CLI::App&) {}
void addStatsCommand(CLI::App&) {}
void addReportCommand(CLI::App&) {}
int runDroppedLogs(const std::vector<std::string>&) {
    return kExitUsage;
}
