// Shared score logs for the core tests; the texts themselves live in WorkedExample.cpp.
#pragma once

#include <string>
#include <vector>

constexpr int kWorkedExampleLineCount = 21;
extern const char* const kWorkedExampleLines[kWorkedExampleLineCount];

// The example's lines (line ends not included), to be changed by a test and joined again.
std::vector<std::string> workedExampleLines();
std::string joinLines(const std::vector<std::string>& lines, const char* eol);
// The whole example with every line ended by eol.
std::string workedExample(const char* eol);
