// The sections of the report page and the small texts they share. Every text of a log
// goes through text() (CP932 to UTF-8, escaped) for HTML, or plain() for a chart, whose
// SVG writer escapes it; the page's own words are CP932 literals converted by u().
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/Figures.h"
#include "analysis/Stats.h"
#include "report/ReportPage.h"

namespace page {

// The dash between the ends of an interval: "20.9–24.0".
extern const char kEnDash[];

std::string u(const char* cp932);
std::string text(std::string_view cp932);  // for HTML
std::string plain(std::string_view cp932); // for a chart
std::string dash();                        // what stands for an absent figure
std::string sizeName(int players);         // "4人打ち"
// A half-game by the number paiview list shows, and a hand by its place in it: "#4",
// "#4 の3局目" (not "第3局", which reads like 東3局).
std::string gameRef(int game);
std::string handRef(int game, int hand);

// A figure's 95% interval: the catalogue's, or for a rate it gives none, the Wilson
// interval of the rate's count over its denominator. Absent where the figure is.
std::optional<Interval> figureInterval(const Figure& figure, const TableSizeStats& stats);
// "20.9–24.0" (a rate in percent, an average place in hundredths); empty when absent.
std::string figureIntervalText(const Figure& figure, const TableSizeStats& stats);
// The figure with its interval as the page writes it: "22.4% (20.9–24.0)", "2.52
// (2.50–2.54)", a count before a rate: "5回 17.9% (7.9–35.6)".
std::string figureCell(const Figure& figure, const TableSizeStats& stats);
// A rate of count over total with its interval, for tables outside the catalogue.
std::string rateCell(int count, int total);

// The table size the player played most: the summary shows its figures.
const TableSizeStats* mainSize(const PlayerStats& stats);
int gamesOf(const PlayerStats& stats);

std::string summarySection(const PlayerStats& stats);
std::string trendSection(const PlayerStats& stats);
std::string ratingSection(const PlayerStats& stats);
std::string placeSection(const PlayerStats& stats);
std::string seatSection(const PlayerStats& stats);
std::string scoreSection(const PlayerStats& stats);
std::string dealerSection(const PlayerStats& stats);
std::string dealInSection(const PlayerStats& stats);
std::string recordsSection(const PlayerStats& stats);
std::string sizeSection(const PlayerStats& stats);
std::string strengthSection(const PlayerStats& stats);
std::string gameList(const ReportInput& input);

} // namespace page
