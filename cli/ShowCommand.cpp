// paiview show: not built yet.
#include "cli/Cli.h"

void addShowCommand(CLI::App&) {}
