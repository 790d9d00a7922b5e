// paiview stats: not built yet.
#include "cli/Cli.h"

void addStatsCommand(CLI::App&) {}
