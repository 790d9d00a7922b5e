// Short CP932 texts of a half-game's facts for the terminal views of list and show.
#pragma once

#include <string>

#include "analysis/GameFacts.h"

// "ねこまる R1318"; a rating that did not read shows the entry as written.
std::string seatText(const SeatFacts& seat);
// "1位 ねこまる +40.8"; a placing that did not read shows its line as written.
std::string placingText(const PlacingFacts& placing);
// The start time as ISO, or as written when it did not read.
std::string startText(const GameFacts& game);
std::string endText(const GameFacts& game);
