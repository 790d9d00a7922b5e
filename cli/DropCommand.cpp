// Logs dropped onto paiview-cli.exe: not built yet.
#include "cli/Cli.h"

int runDroppedLogs(const std::vector<std::string>&) {
    return kExitUsage;
}
