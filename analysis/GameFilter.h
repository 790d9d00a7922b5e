// The filters of the command's list, shared by every command that selects half-games.
#pragma once

#include <string>
#include <vector>

#include "analysis/GameFacts.h"

struct GameFilter {
    std::string player;            // CP932; must sit at the table
    std::vector<std::string> with; // CP932; all must sit at the table
    std::string since, until;      // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM", against start
    std::string table;             // a byte-wise part of the table name
    int players = 0;               // 2, 3 or 4; 0 for any
    enum class State { Any, Completed, Aborted } state = State::Any;
    int last = 0; // keep only the newest N that pass; 0 for all
};

// Empty when the filter is usable, else why not ("--since: ..."), in ASCII.
std::string checkFilter(const GameFilter& filter);

// Whether one game passes every filter but last.
bool passes(const GameFilter& filter, const GameFacts& game);

class LogSet;
// The facts of every record of the set that passes, numbered by its position in the
// set; hands only with withHands. last is applied after the other filters.
std::vector<GameFacts> selectGames(const LogSet& logs, const GameFilter& filter, bool withHands);
