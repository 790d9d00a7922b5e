// The figures of a table size, each defined once: its key in the JSON, its English and
// Japanese labels, and how it reads. The terminal's table, the JSON and the report page
// all walk this catalogue, so a new figure is one entry here and its computation in
// Stats.cpp. Labels are CP932, like every text of the core.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/Stats.h"

enum class FigureStyle {
    Count,        // 12
    Rate,         // a fraction, read in percent: 22.4%
    Place,        // 2.35
    Score,        // points of the placing line, signed: +12.3
    SignedPoints, // points of a hand, signed: +7860
    Points,       // points of a hand, a positive amount: 7860
    Rating,       // a rating, to a tenth: 1834.2
    RatingChange, // a change of rating, signed: +3.2
    Decimal,      // a fitted number: 0.250
    Ratio,        // a mean count: 0.45 (ura per riichi win)
    SignedPlace,  // a change of average place: -0.25
    SignedRate,   // a change of a rate, in percent: +2.1%
    Flag,         // yes or no; true or false in the JSON
    Part,         // a part made of several values (a list, a record): each output lays it out
};

struct Figure {
    std::string_view key; // within a by_size entry of the JSON; "dealer.win_rate" nests
    const char* english;
    const char* japanese;
    FigureStyle style;
    std::optional<double> (*value)(const TableSizeStats&) = nullptr; // not for Part
    std::string_view count = {}; // a rate's count, shown before it: "5 (17.9%)"
    std::optional<Interval> (*interval)(const TableSizeStats&) = nullptr;
    bool row = true;     // a row of the tables of a table size (else only in the JSON)
    bool term = false;   // the Japanese label is the usual word for it: shown in English too
    bool indent = false; // a row that details the row above it
};

// In the order of the JSON, which the tables follow.
const std::vector<Figure>& sizeFigures();
// The entry of a key; every key asked for is in the catalogue.
const Figure& figureNamed(std::string_view key);

// The figure as a person reads it, "-"-like absent text where it is absent: "22.4%",
// "5 (17.9%)" for a rate with its count, "2.35", "+12.3", "+7860".
std::string figureText(const Figure& figure, const TableSizeStats& stats,
                       const std::string& absent);
// Its 95% interval, "20.9" + separator + "24.0" (a rate in percent); empty when absent.
std::string intervalText(const Figure& figure, const TableSizeStats& stats,
                         const std::string& separator);
// The label of the terminal: "Win rate (和了率)" for a usual Japanese word, else English.
std::string terminalLabel(const Figure& figure);
