// paiview export: not built yet.
#include "cli/Cli.h"

void addExportCommand(CLI::App&) {}
