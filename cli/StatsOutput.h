// How paiview stats lays out a player's figures: tables for the eye (CP932, for the
// UTF-8 edge), JSON for programs. Both walk the catalogue of analysis/Figures.h.
#pragma once

#include <string>
#include <vector>

#include "analysis/Stats.h"
#include "export/JsonWriter.h"

// Every figure of each table size, then ratings, records, deal-ins, limits, seats, yaku
// and head to head, under a heading line.
std::string statsTable(const PlayerStats& stats, const std::string& heading);
// One row per period (--by) of each table size, under a heading line.
std::string periodTable(const PlayerStats& stats, const std::string& heading, PeriodUnit unit);
// One row per player (--all).
std::string allPlayersTable(const std::vector<PlayerStats>& players, int minGames);

// The members of the JSON object of a player's figures, keys as docs/stats.md lists
// them, written into the object that writer has open.
void writeStatsMembers(IndentedJsonWriter& writer, const PlayerStats& stats);
