// Ctrl+C and a closed console window on Windows: the handler runs on a thread of its
// own, removes the temporary files and ends the process. The files are opened to allow
// that while they are open: they go when the process lets go of them.
#include "cli/Signals.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "io/TempFiles.h"

namespace {

BOOL WINAPI onControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    removeTemporaries();
    std::fputs("paiview: interrupted", stderr);
    if (*interruptTarget()) {
        std::fprintf(stderr, "; %s is as it was", interruptTarget());
    }
    std::fputs("\n", stderr);
    std::fflush(stderr);
    ExitProcess(event == CTRL_CLOSE_EVENT ? 129 : 130);
}

} // namespace

void installSignalHandlers() {
    SetConsoleCtrlHandler(onControl, TRUE);
}
