// What the report's charts share: scales, axes, legends and lines reduced to what a
// column of pixels shows, in the SVG's own units. Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

#include "report/Svg.h"
#include "report/SvgAxis.h"

namespace chart {

constexpr double kWidth = 760;
// Text heights of the stylesheet's classes (svg .tick, .legend, .peak-label).
constexpr double kFont = 12;
constexpr double kLabelHeight = 15;

// Maps a value of [d0, d1] onto [r0, r1]; a zero-width domain maps to the middle.
struct Scale {
    double d0, d1, r0, r1;
    double operator()(double v) const {
        if (d1 == d0) {
            return (r0 + r1) / 2;
        }
        return r0 + (v - d0) / (d1 - d0) * (r1 - r0);
    }
};

// A plot's frame: its data stay inside.
struct Box {
    double left, top, right, bottom;
    double width() const { return right - left; }
    LabelBox labels() const { return {left + 2, top + 2, right - 2, bottom - 2}; }
};

std::string u(const char* cp932);

// The axis lines at the left and the bottom of box.
void frame(Svg& svg, const Box& box);
// Grid lines across box at each tick, with its text (and unit) left of it.
void numberTicks(Svg& svg, const NumberAxis& axis, const Scale& y, const Box& box,
                 const std::string& unit = {});
// Vertical grid lines at each tick, with its text under box: a value axis laid flat.
void valueTicks(Svg& svg, const NumberAxis& axis, const Scale& x, const Box& box,
                const std::string& unit = {});
// Ticks and dates under box; the date of a time of day under its first tick.
void timeTicks(Svg& svg, const DateAxis& axis, const Scale& x, const Box& box);
// A title written across, above the left end of box: Japanese reads badly on its side.
void leftTitle(Svg& svg, const Box& box, const std::string& title);
void bottomTitle(Svg& svg, double x, double y, const std::string& title);

enum class Key { Line, Mark, LineAndMark, Swatch, Range, Dashed, Whisker };
// A legend entry with its key at x on the row at y; x moves past it.
void legendItem(Svg& svg, double& x, double y, Key key, SvgMark mark, const std::string& cls,
                const std::string& name);

// The text of a placed label, in its box.
void boxedText(Svg& svg, const LabelBox& box, const std::string& text, const char* cls);
// A label wish for text at a point.
LabelWish wishFor(double x, double y, const std::string& text, double fontSize = kFont);
// The box a mark of size r covers, for keeping labels off it.
LabelBox markBox(double x, double y, double r);

// Keeps, per pixel column, the first, lowest, highest and last point: the line looks the
// same as with every point, and its size is bounded by the chart's width.
std::vector<SvgPoint> reduceToColumns(const std::vector<SvgPoint>& points);

// Series look apart by shape and dash as well as by colour.
extern const SvgMark kMarks[4];
extern const char* const kSeries[4];

} // namespace chart
