// The JSON form of a half-game and its hands: one mapping, shared by list and export.
// Keys are stable and documented in docs/cli.md; every text is UTF-8.
#pragma once

#include <nlohmann/json.hpp>

#include "analysis/GameFacts.h"

// A half-game: its times, table, seats and placings, and its hands with withHands.
// A fact that did not parse is null, with the raw text it came from beside it.
nlohmann::ordered_json gameJson(const GameFacts& game, bool withHands);

// One hand: title and its pieces, the result as point changes, winners, payers, yaku.
nlohmann::ordered_json handJson(const HandFacts& hand);
