// paiview search: not built yet.
#include "cli/Cli.h"

void addSearchCommand(CLI::App&) {}
