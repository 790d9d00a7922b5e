// The report's three charts as inline SVG: rating over time, places per table size and
// score per half-game. Texts in and out are UTF-8; an empty input gives an empty string.
#pragma once

#include <string>
#include <vector>

#include "report/SvgAxis.h"

struct TimedValue {
    LogMinutes at = 0;
    double value = 0;
    std::string tip; // shown on hover
};

// One line per table size; each has its own mark shape and dash, and its peak marked.
struct RatingLine {
    std::string name;               // "4人打ち"
    std::vector<TimedValue> points; // in time order
};
std::string ratingChart(const std::vector<RatingLine>& lines);

// Bars of each place's share of a table size's completed half-games.
struct PlaceGroup {
    std::string name;        // "4人打ち"
    std::vector<int> counts; // index 0 = 1st place
};
std::string placeChart(const std::vector<PlaceGroup>& groups);

// Each half-game's score (oldest first) and the average of the last window of them.
struct ScorePoint {
    double score = 0; // points of the placing line: +40.8
    std::string tip;
};
std::string scoreChart(const std::vector<ScorePoint>& points, int window);

// Marks drawn one by one up to this many points; past it a chart draws lines reduced to
// what a column of pixels can show, so that a lifetime's log stays a small page.
constexpr std::size_t kMostMarks = 600;
