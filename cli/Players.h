// A player asked for who is not there: the message, with the names nearest to it.
#pragma once

#include <string>

#include "analysis/Messages.h"
#include "analysis/Stats.h"

// "kuma is not in any of the 16 half-games; did you mean Kuma?": player is UTF-8 as typed;
// the names nearest to it are of those the collector saw.
Message notSeated(const std::string& player, const StatsCollector& collector);
