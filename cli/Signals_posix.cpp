// The signal handlers of POSIX systems: remove the temporary files, say so, exit.
#include "cli/Signals.h"

#include <csignal>
#include <cstring>
#include <signal.h>
#include <unistd.h>

#include "io/TempFiles.h"

namespace {

void say(const char* text) {
    // Nothing to do if it fails: the run ends either way.
    const ssize_t ignored = write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

extern "C" void onSignal(int signal) {
    removeTemporaries();
    say(signal == SIGINT    ? "paiview: interrupted (SIGINT)"
        : signal == SIGTERM ? "paiview: stopped (SIGTERM)"
                            : "paiview: stopped (SIGHUP)");
    if (*interruptTarget()) {
        say("; ");
        say(interruptTarget());
        say(" is as it was");
    }
    say("\n");
    _exit(128 + signal);
}

} // namespace

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // One at a time: a second signal waits until the first has ended the run.
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaddset(&action.sa_mask, SIGHUP);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    // A closed pipe ends the run quietly, as it does for every filter.
    std::signal(SIGPIPE, SIG_DFL);
    // A file size limit fails the write, which is reported, instead of killing us.
    std::signal(SIGXFSZ, SIG_IGN);
}
