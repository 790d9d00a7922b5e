// The terminal's edge: arguments in, UTF-8 out, per platform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The program's arguments as UTF-8 (Windows: from the wide command line).
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Standard output could not take what was written: error is the errno value (EPIPE
// for a reader that went away).
struct OutputFailed {
    int error;
};

// Writes UTF-8 text; to a Windows console as Unicode, elsewhere as bytes. Throws
// OutputFailed when the write fails.
void writeOut(std::string_view utf8);
// Standard error is written as well as it can be: nothing is left to report its failure.
void writeErr(std::string_view utf8);
// Flushes standard output; throws OutputFailed when that fails.
void flushOut();

// Standard input is read as bytes, with no line-end translation.
void useBinaryStandardInput();

// Whether standard error is a terminal that a person watches.
bool standardErrorIsTerminal();
