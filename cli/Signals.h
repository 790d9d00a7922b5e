// Ctrl+C, a terminal closed, a kill: the run ends at once, saying so in one line, with
// no temporary file left and every target as it was (exit 130, 143, 129).
#pragma once

void installSignalHandlers();
