// The points of every seat through one half-game, small enough for fifty on a page:
// the player's line stressed, the dealer of each hand marked on its line, the hands the
// player dealt shaded, each line named at its end.
#include "report/Charts.h"

#include <algorithm>

#include "report/ChartParts.h"
#include "text/Numbers.h"

using namespace chart;

std::string pointsChart(const PointsChart& chart) {
    const std::size_t hands = chart.handLabels.size();
    if (chart.seats.empty() || hands == 0) {
        return {};
    }
    double low = 0, high = 0;
    bool first = true;
    for (const SeatPoints& seat : chart.seats) {
        if (seat.points.size() != hands + 1) {
            return {}; // the points do not match the hands: nothing honest to draw
        }
        for (double p : seat.points) {
            low = first ? p : std::min(low, p);
            high = first ? p : std::max(high, p);
            first = false;
        }
    }
    constexpr double kPointsWidth = 640;
    const Box box{56, 42, 500, 180};
    const NumberAxis yTicks = numberAxis(low, high, 6);
    const Scale x{0, static_cast<double>(hands), box.left, box.right};
    const Scale y{yTicks.low, yTicks.high, box.bottom, box.top};
    int player = -1;
    for (std::size_t s = 0; s < chart.seats.size(); ++s) {
        player = chart.seats[s].player ? static_cast<int>(s) : player;
    }

    Svg svg(kPointsWidth, 226, u("点数の推移"));
    double legendX = 8;
    legendItem(svg, legendX, 16, Key::Line, SvgMark::Circle, "me", u("自分"));
    legendItem(svg, legendX, 16, Key::Mark, SvgMark::Circle, "dealer-key",
               u("その局の親（線と同じ形）"));
    if (player >= 0) {
        legendItem(svg, legendX, 16, Key::Swatch, SvgMark::Circle, "shade", u("自分が親の局"));
    }
    numberTicks(svg, yTicks, y, box);
    frame(svg, box);
    svg.text(8, box.top - 8, u("点数"), "title");
    // Each hand's round under the middle of the hand, where the round changes.
    const double handWidth = box.width() / static_cast<double>(hands);
    double lastLabelEnd = box.left - 10;
    for (std::size_t h = 0; h < hands; ++h) {
        const double at = x(static_cast<double>(h) + 0.5);
        svg.line(x(static_cast<double>(h + 1)), box.bottom, x(static_cast<double>(h + 1)),
                 box.bottom + 3, "axis");
        const std::string& label = chart.handLabels[h];
        const double half = textWidth(label, kFont) / 2;
        if (!label.empty() && at - half > lastLabelEnd + 2) {
            svg.text(at, box.bottom + 16, label, "tick", SvgAnchor::Middle);
            lastLabelEnd = at + half;
        }
    }
    svg.text((box.left + box.right) / 2, 220, u("局（左端は開始時の点数）"), "title",
             SvgAnchor::Middle);

    svg.beginPlot(box.left, box.top, box.right, box.bottom);
    for (std::size_t h = 0; h < hands && player >= 0; ++h) {
        if (h < chart.dealer.size() && chart.dealer[h] == player) {
            svg.rect(x(static_cast<double>(h)), box.top, handWidth, box.bottom - box.top, "shade");
        }
    }
    if (low < 0) {
        svg.line(box.left, y(0), box.right, y(0), "zero");
    }
    // The player's line last, over the others.
    std::vector<std::size_t> order;
    for (std::size_t s = 0; s < chart.seats.size(); ++s) {
        if (static_cast<int>(s) != player) {
            order.push_back(s);
        }
    }
    if (player >= 0) {
        order.push_back(static_cast<std::size_t>(player));
    }
    for (std::size_t s : order) {
        std::vector<SvgPoint> line;
        for (std::size_t i = 0; i <= hands; ++i) {
            line.push_back({x(static_cast<double>(i)), y(chart.seats[s].points[i])});
        }
        const std::string cls = static_cast<int>(s) == player
                                    ? std::string("line me")
                                    : std::string("line ") + kSeries[s % 4];
        svg.polyline(line, cls.c_str());
    }
    for (std::size_t h = 0; h < hands && h < chart.dealer.size(); ++h) {
        const int d = chart.dealer[h];
        if (d < 0 || static_cast<std::size_t>(d) >= chart.seats.size()) {
            continue;
        }
        const auto& points = chart.seats[static_cast<std::size_t>(d)].points;
        const double mid = (points[h] + points[h + 1]) / 2;
        svg.mark(kMarks[d % 4], x(static_cast<double>(h) + 0.5), y(mid), 3,
                 (std::string("dealer ") + kSeries[d % 4]).c_str());
    }
    svg.endPlot();

    // Names at the line ends, kept apart.
    std::vector<double> ends;
    for (const SeatPoints& seat : chart.seats) {
        ends.push_back(y(seat.points.back()) + 4);
    }
    const std::vector<double> at = spreadLabels(ends, 14, box.top + 8, box.bottom + 4);
    for (std::size_t s = 0; s < chart.seats.size(); ++s) {
        const SeatPoints& seat = chart.seats[s];
        const double ty = at[s];
        svg.mark(kMarks[s % 4], box.right + 10, ty - 4, 3.5,
                 (std::string("key ") + (seat.player ? "me" : kSeries[s % 4])).c_str());
        svg.text(box.right + 18, ty,
                 fitText(seat.name, 78, kFont) + " " + decimalText(seat.points.back(), 0),
                 seat.player ? "end me-label" : "end");
    }
    return svg.finish();
}
