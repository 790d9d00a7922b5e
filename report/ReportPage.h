// The HTML report of one player: a single UTF-8 page with inline CSS and SVG, no script
// and nothing fetched, that reads the same on screen and on paper.
#pragma once

#include <string>
#include <vector>

#include "analysis/GameFacts.h"
#include "analysis/Stats.h"

// How the page's player was chosen, said under its heading.
enum class ReportWhose { Given, OwnerInEveryGame, OwnerInMostGames };

// Half-games listed with their hands, newest first; the page counts the rest.
constexpr std::size_t kListedGames = 300;

// games: the selected half-games in order, with hands (at least for the newest listed
// ones); stats: computeStats of the same games for stats.player. Returns UTF-8 HTML.
std::string reportPage(const std::vector<GameFacts>& games, const PlayerStats& stats,
                       ReportWhose whose);
