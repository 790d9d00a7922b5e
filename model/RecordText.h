// The texts that the summary panes and the hand history show for a record.
#pragma once

#include <string>

#include "model/GameRecord.h"

// Pane 1: start and end time, an empty line, then one line per player. The player
// line is cut into playerCount pieces of two space-separated words each.
std::string timesAndPlayersText(const GameRecord& record);
// Pane 2: the four placing lines, first place first.
std::string placingsText(const GameRecord& record);

// The result pane of the hand history: up to four lines of two words each.
std::string handResultText(const char* handResult);
// The yaku pane: the first word (or the first two when the first ends in 符),
// an empty line, then the rest.
std::string handYakuText(const char* handYaku);

// The text every pane shows for a position that holds no record.
constexpr const char* kNoRecordText = "error!";
