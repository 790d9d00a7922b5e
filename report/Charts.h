// The report's charts as inline SVG. Texts in and out are UTF-8 (escaped on the way
// out); an input with nothing to draw gives an empty string. Each chart keeps what it
// draws inside its frame, and tells its series apart by shape and dash, not colour alone.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/Intervals.h"
#include "report/SvgAxis.h"

struct TimedValue {
    LogMinutes at = 0;
    double value = 0;
    std::string tip; // shown on hover
};

// Lines of up to this many points get a mark per point; a longer one is drawn as the
// median and the range of each hour, day, week, month or year, so that it stays a line.
constexpr std::size_t kCrowded = 300;

// One table size's ratings (in time order), on a time span shared by the sizes' charts
// so that they line up. The highest and the latest are labelled.
struct RatingPanel {
    std::string name; // "4人打ち"
    std::vector<TimedValue> points;
};
std::string ratingChart(const RatingPanel& panel, LogMinutes first, LogMinutes last);

// One table size per month: the average place with its 95% interval as whiskers, over
// the half-games played as bars.
struct MonthFigures {
    std::string period;            // "2003-06"
    LogMinutes start = 0, end = 0; // the month
    int games = 0;
    std::optional<double> averagePlace;
    std::optional<Interval> interval;
};
std::string trendChart(const std::string& name, int players,
                       const std::vector<MonthFigures>& months, LogMinutes first, LogMinutes last);

// Bars of each place's share of a table size's completed half-games.
struct PlaceGroup {
    std::string name;        // "4人打ち"
    std::vector<int> counts; // index 0 = 1st place
};
std::string placeChart(const std::vector<PlaceGroup>& groups);

// One table size's scores (oldest first) and the average of the last window of them,
// with some scores marked and labelled (the best and the worst).
struct ScorePoint {
    double score = 0; // points of the placing line: +40.8
    std::string tip;
};
struct MarkedScore {
    std::size_t index = 0; // into points
    std::string label;
    bool below = false; // the label goes below the mark where it can (the worst)
};
struct ScorePanel {
    std::string name;
    std::vector<ScorePoint> points;
    std::vector<MarkedScore> marked;
};
std::string scoreChart(const ScorePanel& panel, int window);

// Rows of bars, or of dots, with their values written at the right: rates with their
// intervals as whiskers, counts, averages. Several series draw a bar each per row.
struct BarValue {
    std::optional<double> value; // absent: nothing drawn, the text says so
    std::optional<Interval> interval;
    std::string text; // at the right: "21.2% (20.9–21.4)"
};
struct BarRow {
    std::string label;
    std::vector<BarValue> values; // one per series
};
struct BarChart {
    std::string title;               // written over the chart, and its aria-label
    std::vector<std::string> series; // the legend; none for one series
    std::vector<BarRow> rows;
    double low = 0, high = 0; // the axis covers these and every value
    bool integral = false;    // counts: whole ticks
    std::string axisTitle, unit;
    bool dots = false; // averages: a dot at the value, not a bar from low
    std::optional<double> reference;
    std::string referenceName; // the dashed line at reference
};
std::string barChart(const BarChart& chart);

// The points of every seat of one half-game, from the start through each hand.
struct SeatPoints {
    std::string name;
    std::vector<double> points; // the start, then after each hand
    bool player = false;        // the report's player: a stressed line
};
struct PointsChart {
    std::vector<SeatPoints> seats;       // seat order
    std::vector<std::string> handLabels; // per hand: its round where it changes ("東1")
    std::vector<int> dealer;             // per hand: the dealer's index in seats, or -1
};
std::string pointsChart(const PointsChart& chart);
