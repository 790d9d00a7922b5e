// paiview list: not built yet.
#include "cli/Cli.h"

void addListCommand(CLI::App&) {}
