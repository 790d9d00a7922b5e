// The terminal's edge: arguments in, UTF-8 out, per platform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The program's arguments as UTF-8 (Windows: from the wide command line).
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Writes UTF-8 text; to a Windows console as Unicode, elsewhere as bytes.
void writeOut(std::string_view utf8);
void writeErr(std::string_view utf8);
void flushOut();

// Standard input is read as bytes, with no line-end translation.
void useBinaryStandardInput();
