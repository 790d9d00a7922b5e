// The terminal's edge on POSIX systems: arguments and output are already UTF-8.
#include "cli/Terminal.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void writeOut(std::string_view utf8) {
    if (std::fwrite(utf8.data(), 1, utf8.size(), stdout) != utf8.size()) {
        throw OutputFailed{errno};
    }
}

void writeErr(std::string_view utf8) {
    std::fflush(stdout);
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

void flushOut() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        throw OutputFailed{errno};
    }
}

void useBinaryStandardInput() {}

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}
