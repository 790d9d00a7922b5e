// The filters of the command's list, shared by every command that selects half-games.
#pragma once

#include <string>
#include <vector>

#include "analysis/GameFacts.h"

struct GameFilter {
    std::string player;            // CP932; must sit at the table
    std::vector<std::string> with; // CP932; all must sit at the table
    std::string since, until;      // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM", as readDateBound gives
    std::string table;             // a byte-wise part of the table name
    int players = 0;               // 2, 3 or 4; 0 for any
    enum class State { Any, Completed, Aborted } state = State::Any;
    int last = 0;           // keep only the newest N that pass; 0 for all
    std::size_t number = 0; // only the half-game with this number (show); 0 for any
};

// Whether any filter but last is set: then each half-game's facts decide.
bool narrows(const GameFilter& filter);
// Whether any filter at all is set, last included.
bool filters(const GameFilter& filter);

// A date or time that bounds the start times, as people write it: "2003-06-06",
// "2003/06/06", either with " HH:MM". On success iso is "YYYY-MM-DD[ HH:MM]" and the
// result empty; else the result says what is wrong with the text (ASCII).
std::string readDateBound(const std::string& text, std::string& iso);

// Empty when since and until can be used together, else why not.
std::string checkRange(const GameFilter& filter);

// Whether one game passes every filter but last.
bool passes(const GameFilter& filter, const GameFacts& game);
