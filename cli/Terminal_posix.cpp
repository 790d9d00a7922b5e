// The terminal's edge on POSIX systems: arguments and output are already UTF-8.
#include "cli/Terminal.h"

#include <cstdio>
#include <iostream>
#include <iterator>

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void writeOut(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void writeErr(std::string_view utf8) {
    std::fflush(stdout);
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

void flushOut() {
    std::fflush(stdout);
}

void useBinaryStandardInput() {}
