// The report's charts. Layout is in the SVG's own units; the page scales it to its width.
#include "report/Charts.h"

#include <algorithm>
#include <cmath>

#include "report/Svg.h"
#include "text/Encoding.h"
#include "text/Numbers.h"

namespace {

constexpr double kWidth = 760, kHeight = 300;
constexpr double kLeft = 64, kRight = 740, kTop = 48, kBottom = 244;

std::string u(const char* cp932) {
    return cp932ToUtf8(cp932);
}

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

void frame(Svg& svg) {
    svg.line(kLeft, kBottom, kRight, kBottom, "axis");
    svg.line(kLeft, kTop, kLeft, kBottom, "axis");
}

void yAxis(Svg& svg, const NumberAxis& axis, const Scale& y, const std::string& title,
           const std::string& unit = {}) {
    for (double tick : axis.ticks) {
        const double at = y(tick);
        svg.line(kLeft, at, kRight, at, "grid");
        svg.text(kLeft - 6, at + 4, decimalText(tick, axis.decimals) + unit, "tick",
                 SvgAnchor::End);
    }
    // Above the axis, written across: Japanese reads badly turned on its side.
    svg.text(8, kTop - 14, title, "title");
}

void xTitle(Svg& svg, const std::string& title) {
    svg.text((kLeft + kRight) / 2, kHeight - 8, title, "title", SvgAnchor::Middle);
}

// Keeps, per pixel column, the first, lowest, highest and last point: the line looks the
// same as with every point, and its size is bounded by the chart's width.
std::vector<SvgPoint> reduceToColumns(const std::vector<SvgPoint>& points) {
    if (points.size() <= kMostMarks) {
        return points;
    }
    std::vector<SvgPoint> out;
    std::size_t i = 0;
    while (i < points.size()) {
        const double column = std::floor(points[i].x);
        std::size_t j = i, low = i, high = i;
        while (j < points.size() && std::floor(points[j].x) == column) {
            low = points[j].y > points[low].y ? j : low; // SVG y grows downwards
            high = points[j].y < points[high].y ? j : high;
            ++j;
        }
        std::vector<std::size_t> keep = {i, std::min(low, high), std::max(low, high), j - 1};
        keep.erase(std::unique(keep.begin(), keep.end()), keep.end());
        for (std::size_t k : keep) {
            out.push_back(points[k]);
        }
        i = j;
    }
    return out;
}

void legendItem(Svg& svg, double& x, SvgMark mark, const char* cls, const std::string& name,
                bool withLine) {
    if (withLine) {
        svg.line(x, 18, x + 24, 18, (std::string("line ") + cls).c_str());
    }
    svg.mark(mark, x + 12, 18, 4, (std::string("key ") + cls).c_str());
    svg.text(x + 30, 22, name, "legend");
    // Wide characters take about a font size each; the legend is 12 units high.
    x += 30 + 4.5 * static_cast<double>(name.size()) + 24;
}

const SvgMark kMarks[] = {SvgMark::Circle, SvgMark::Square, SvgMark::Diamond, SvgMark::Triangle};
const char* const kSeries[] = {"s0", "s1", "s2", "s3"};

} // namespace

std::string ratingChart(const std::vector<RatingLine>& lines) {
    std::size_t count = 0;
    LogMinutes first = 0, last = 0;
    double low = 0, high = 0;
    for (const RatingLine& line : lines) {
        for (const TimedValue& p : line.points) {
            first = count ? std::min(first, p.at) : p.at;
            last = count ? std::max(last, p.at) : p.at;
            low = count ? std::min(low, p.value) : p.value;
            high = count ? std::max(high, p.value) : p.value;
            ++count;
        }
    }
    if (count == 0) {
        return {};
    }
    const DateAxis xAxis = dateAxis(first, last, 7);
    // Headroom above the highest point for its "最高" label.
    const NumberAxis yAxisTicks = numberAxis(low, high + std::max((high - low) * 0.08, 20.0), 6);
    const Scale x{static_cast<double>(xAxis.low), static_cast<double>(xAxis.high), kLeft, kRight};
    const Scale y{yAxisTicks.low, yAxisTicks.high, kBottom, kTop};

    Svg svg(kWidth, kHeight, u("レートの推移"));
    yAxis(svg, yAxisTicks, y, u("レート"));
    for (const DateTick& tick : xAxis.ticks) {
        const double at = x(static_cast<double>(tick.at));
        svg.line(at, kBottom, at, kBottom + 4, "axis");
        svg.text(at, kBottom + 18, tick.label, "tick", SvgAnchor::Middle);
        if (!tick.context.empty()) {
            svg.text(at, kBottom + 33, tick.context, "tick", SvgAnchor::Middle);
        }
    }
    frame(svg);
    xTitle(svg, u("日時（半荘の開始）"));

    const bool marks = count <= kMostMarks;
    double legendX = kLeft;
    for (std::size_t s = 0; s < lines.size() && s < 4; ++s) {
        const RatingLine& line = lines[s];
        if (line.points.empty()) {
            continue;
        }
        const std::string cls = kSeries[s];
        legendItem(svg, legendX, kMarks[s], cls.c_str(), line.name, true);
        std::vector<SvgPoint> points;
        for (const TimedValue& p : line.points) {
            points.push_back({x(static_cast<double>(p.at)), y(p.value)});
        }
        svg.polyline(reduceToColumns(points), ("line " + cls).c_str());
        if (marks) {
            for (std::size_t i = 0; i < points.size(); ++i) {
                svg.mark(kMarks[s], points[i].x, points[i].y, 3.5, ("pt " + cls).c_str(),
                         line.points[i].tip);
            }
        }
        // The first time the line reached its highest value.
        std::size_t peak = 0;
        for (std::size_t i = 1; i < line.points.size(); ++i) {
            peak = line.points[i].value > line.points[peak].value ? i : peak;
        }
        const SvgPoint at = points[peak];
        svg.mark(kMarks[s], at.x, at.y, 7, ("peak " + cls).c_str(), line.points[peak].tip);
        const SvgAnchor anchor = at.x > kRight - 60  ? SvgAnchor::End
                                 : at.x < kLeft + 60 ? SvgAnchor::Start
                                                     : SvgAnchor::Middle;
        svg.text(at.x, at.y - 12, u("最高 ") + decimalText(line.points[peak].value, 0),
                 "peak-label", anchor);
    }
    return svg.finish();
}

std::string placeChart(const std::vector<PlaceGroup>& groups) {
    std::size_t bars = 0;
    double highest = 0;
    std::vector<int> totals;
    for (const PlaceGroup& group : groups) {
        int total = 0;
        for (int c : group.counts) {
            total += std::max(c, 0);
        }
        totals.push_back(total);
        if (total == 0) {
            continue;
        }
        bars += group.counts.size();
        for (int c : group.counts) {
            highest = std::max(highest, 100.0 * c / total);
        }
    }
    if (bars == 0) {
        return {};
    }
    const NumberAxis axis = numberAxis(0, highest, 6);
    const Scale y{axis.low, axis.high, kBottom, kTop};
    Svg svg(kWidth, kHeight, u("順位分布"));
    yAxis(svg, axis, y, u("割合"), "%");
    frame(svg);
    xTitle(svg, u("順位（卓の人数ごと）"));

    // A gap of one bar between groups; bars no wider than 64 units, centred.
    std::size_t groupCount = 0;
    for (int total : totals) {
        groupCount += total > 0;
    }
    const double slots = static_cast<double>(bars + groupCount + 1);
    const double unit = std::min((kRight - kLeft) / slots, 64.0);
    double cursor = (kLeft + kRight) / 2 - unit * slots / 2 + unit;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const int total = totals[g];
        if (total == 0) {
            continue;
        }
        const PlaceGroup& group = groups[g];
        const double groupStart = cursor;
        for (std::size_t p = 0; p < group.counts.size(); ++p) {
            const int c = std::max(group.counts[p], 0);
            const double share = 100.0 * c / total;
            const double top = y(share);
            const std::string place = std::to_string(p + 1) + u("位");
            const std::string value = std::to_string(c) + " (" + decimalText(share, 1) + "%)";
            svg.rect(cursor + unit * 0.1, top, unit * 0.8, kBottom - top, "pt bar",
                     group.name + " " + place + ": " + value);
            svg.text(cursor + unit / 2, top - 5, std::to_string(c), "value", SvgAnchor::Middle);
            svg.text(cursor + unit / 2, kBottom + 16, place, "tick", SvgAnchor::Middle);
            cursor += unit;
        }
        svg.text((groupStart + cursor) / 2, kBottom + 33,
                 group.name + " (" + std::to_string(total) + u("半荘)"), "group",
                 SvgAnchor::Middle);
        cursor += unit;
    }
    return svg.finish();
}

std::string scoreChart(const std::vector<ScorePoint>& points, int window) {
    if (points.empty()) {
        return {};
    }
    window = std::max(window, 1);
    double low = 0, high = 0; // the zero line is always in view
    for (const ScorePoint& p : points) {
        low = std::min(low, p.score);
        high = std::max(high, p.score);
    }
    const double n = static_cast<double>(points.size());
    const NumberAxis yTicks = numberAxis(low, high, 6);
    const NumberAxis xTicks = numberAxis(1, n, 8, true);
    const Scale x{0.5, n + 0.5, kLeft, kRight};
    const Scale y{yTicks.low, yTicks.high, kBottom, kTop};

    Svg svg(kWidth, kHeight, u("半荘ごとの得点"));
    yAxis(svg, yTicks, y, u("得点"));
    for (double tick : xTicks.ticks) {
        if (tick < 1 || tick > n) {
            continue;
        }
        svg.line(x(tick), kBottom, x(tick), kBottom + 4, "axis");
        svg.text(x(tick), kBottom + 18, decimalText(tick, 0), "tick", SvgAnchor::Middle);
    }
    svg.line(kLeft, y(0), kRight, y(0), "zero");
    frame(svg);
    xTitle(svg, u("半荘（古い順の番号）"));

    double legendX = kLeft;
    const bool marks = points.size() <= kMostMarks;
    if (marks) {
        legendItem(svg, legendX, SvgMark::Circle, "s0", u("各半荘の得点"), false);
        for (std::size_t i = 0; i < points.size(); ++i) {
            svg.mark(SvgMark::Circle, x(static_cast<double>(i + 1)), y(points[i].score),
                     points.size() <= 100 ? 4 : 2.5, "pt s0", points[i].tip);
        }
    } else {
        // One line per pixel column, from its lowest to its highest score.
        svg.line(legendX, 12, legendX, 24, "range");
        svg.text(legendX + 8, 22, u("同じ列に入る半荘の得点の幅"), "legend");
        legendX += 200;
        std::size_t i = 0;
        while (i < points.size()) {
            const double column = std::floor(x(static_cast<double>(i + 1)));
            double lo = points[i].score, hi = points[i].score;
            for (; i < points.size() && std::floor(x(static_cast<double>(i + 1))) == column; ++i) {
                lo = std::min(lo, points[i].score);
                hi = std::max(hi, points[i].score);
            }
            svg.line(column + 0.5, y(lo), column + 0.5, std::min(y(hi), y(lo) - 1), "range");
        }
    }

    std::vector<SvgPoint> average;
    double sum = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        sum += points[i].score;
        if (i >= static_cast<std::size_t>(window)) {
            sum -= points[i - window].score;
        }
        const double span = static_cast<double>(std::min<std::size_t>(i + 1, window));
        average.push_back({x(static_cast<double>(i + 1)), y(sum / span)});
    }
    svg.line(legendX, 18, legendX + 24, 18, "avg");
    svg.text(legendX + 30, 22, u("直近") + std::to_string(window) + u("半荘の移動平均"), "legend");
    svg.polyline(reduceToColumns(average), "avg");
    return svg.finish();
}
