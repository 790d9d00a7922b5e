// Straightforward second versions of the pane texts and the search, for the fuzz oracles.
#pragma once

#include <string>

#include "model/GameRecord.h"

class GameLibrary;
struct SearchOptions;

std::string referenceTimesAndPlayers(const GameRecord& record);
std::string referencePlacings(const GameRecord& record);
std::string referenceHandResult(const std::string& result);
std::string referenceHandYaku(const std::string& yaku);
int referenceSearch(const GameLibrary& library, const SearchOptions& options);

// Aborts, so that libFuzzer keeps the input, when condition is false.
void require(bool condition, const char* what);
