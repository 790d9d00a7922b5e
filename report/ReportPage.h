// The HTML report of one player: a single UTF-8 page with inline CSS and SVG, no script
// and nothing fetched, that reads the same on screen and on paper.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/GameFacts.h"
#include "analysis/Stats.h"

// How the page's player was chosen, said under its heading.
enum class ReportWhose { Given, OwnerInEveryGame, OwnerInMostGames };

// Half-games listed with their hands, newest first; the page counts the rest.
constexpr std::size_t kListedGames = 300;

// What the page is made of, gathered in one pass over the selected half-games.
struct ReportInput {
    PlayerStats stats; // the player's figures (stats.player names them)
    ReportWhose whose = ReportWhose::Given;
    std::size_t selectedGames = 0;                    // half-games after the filters
    std::optional<std::string> firstStart, lastStart; // "YYYY-MM-DD HH:MM"
    // The player's newest half-games with their hands, newest first (kListedGames at most).
    std::vector<std::shared_ptr<const HeldGame>> listed;
};

// Returns UTF-8 HTML.
std::string reportPage(const ReportInput& input);
