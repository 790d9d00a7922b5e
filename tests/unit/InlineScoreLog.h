// Writes small score logs from a description, for tests that load them from memory.
#pragma once

#include <string>
#include <vector>

struct InlineHand {
    std::string name;   // the title before the marker the loader needs on every hand line
    std::string result; // written after the title's ")" and one space; may be empty
    std::string yaku;   // written after four bytes of indentation
};

struct InlineGame {
    std::string table;
    std::string players; // from "[1]" on
    std::vector<InlineHand> hands;
    // The placing lines from "1位 " on; none writes the abort line instead.
    std::vector<std::string> placings;
    std::string start = "2003/01/01 21:00";
    std::string end = "2003/01/01 21:45";
};

// The hand title a hand described by name gets in the loaded record.
std::string loadedHandName(const std::string& name);
// The whole log, LF line ends, one separator line after each half-game.
std::string inlineScoreLog(const std::vector<InlineGame>& games);
