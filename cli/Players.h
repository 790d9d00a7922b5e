// A player asked for who is not there: the message, with the names nearest to it.
#pragma once

#include <string>

#include "analysis/Stats.h"

// "kuma is not in any of the 16 half-games; did you mean Kuma?" (UTF-8). player is UTF-8 as
// typed; the names are those the collector saw.
std::string notSeated(const std::string& player, const StatsCollector& collector);
