// The report's charts over time and over half-games: rating, monthly trend, places and
// scores. Layout is in the SVG's own units; the page scales it to its width.
#include "report/Charts.h"

#include <algorithm>
#include <cmath>

#include "report/ChartParts.h"
#include "text/Numbers.h"

using namespace chart;

namespace {

const char* unitWord(BucketUnit unit) {
    switch (unit) {
    case BucketUnit::Hour:
        return "時間ごと";
    case BucketUnit::Day:
        return "日ごと";
    case BucketUnit::Week:
        return "週ごと";
    case BucketUnit::Month:
        return "月ごと";
    case BucketUnit::Year:
        return "年ごと";
    }
    return "";
}

// A line of medians per bucket, broken where a unit has no point; a lone bucket is a dot.
void medianLine(Svg& svg, const TimeBuckets& buckets, const Scale& x, const Scale& y) {
    std::vector<SvgPoint> run;
    const auto flush = [&] {
        if (run.size() == 1) {
            svg.mark(SvgMark::Circle, run[0].x, run[0].y, 2, "key s0");
        }
        svg.polyline(run, "line s0");
        run.clear();
    };
    for (std::size_t i = 0; i < buckets.buckets.size(); ++i) {
        const TimeBucket& b = buckets.buckets[i];
        if (i > 0 && b.index != buckets.buckets[i - 1].index + 1) {
            flush();
        }
        run.push_back({x(static_cast<double>(b.start + b.end) / 2), y(b.median)});
    }
    flush();
}

} // namespace

std::string ratingChart(const RatingPanel& panel, LogMinutes first, LogMinutes last) {
    const std::vector<TimedValue>& points = panel.points;
    if (points.empty()) {
        return {};
    }
    double low = points[0].value, high = low;
    std::size_t peak = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        low = std::min(low, points[i].value);
        high = std::max(high, points[i].value);
        peak = points[i].value > points[peak].value ? i : peak;
        first = std::min(first, points[i].at);
        last = std::max(last, points[i].at);
    }
    const Box box{64, 56, 740, 204};
    // Room above and below, so that a single rating sits in the middle, not on an edge.
    const double pad = std::max((high - low) * 0.08, 25.0);
    const NumberAxis yTicks = numberAxis(low - pad, high + 2 * pad, 5);
    const DateAxis xAxis = dateAxis(first, last, 7);
    const Scale x{static_cast<double>(xAxis.low), static_cast<double>(xAxis.high), box.left,
                  box.right};
    const Scale y{yTicks.low, yTicks.high, box.bottom, box.top};

    Svg svg(kWidth, 264, panel.name + u(" のレートの推移"));
    svg.text(8, 20, panel.name, "title");
    numberTicks(svg, yTicks, y, box);
    timeTicks(svg, xAxis, x, box);
    frame(svg, box);
    leftTitle(svg, box, u("レート"));
    bottomTitle(svg, (box.left + box.right) / 2, 258, u("日時（半荘の開始）"));

    double legendX = 100;
    const bool crowded = points.size() > kCrowded;
    std::vector<LabelBox> obstacles;
    TimeBuckets buckets;
    if (crowded) {
        std::vector<std::pair<LogMinutes, double>> values;
        for (const TimedValue& p : points) {
            values.push_back({p.at, p.value});
        }
        buckets = timeBuckets(values, static_cast<int>(box.width() / 4));
        const std::string unit = u(unitWord(buckets.unit));
        legendItem(svg, legendX, 20, Key::Line, SvgMark::Circle, "s0", unit + u("の中央値"));
        legendItem(svg, legendX, 20, Key::Range, SvgMark::Circle, "range",
                   unit + u("の最低～最高"));
    } else {
        legendItem(svg, legendX, 20, Key::LineAndMark, SvgMark::Circle, "s0",
                   u("各半荘の開始時のレート"));
    }
    svg.beginPlot(box.left, box.top, box.right, box.bottom);
    if (!crowded) {
        std::vector<SvgPoint> line;
        for (const TimedValue& p : points) {
            line.push_back({x(static_cast<double>(p.at)), y(p.value)});
        }
        svg.polyline(line, "line s0");
        for (std::size_t i = 0; i < line.size(); ++i) {
            const double r = points.size() <= 30 ? 4 : 2.5;
            svg.mark(SvgMark::Circle, line[i].x, line[i].y, r, "pt s0", points[i].tip);
            obstacles.push_back(markBox(line[i].x, line[i].y, r));
        }
    } else {
        for (const TimeBucket& b : buckets.buckets) {
            const double left = std::max(x(static_cast<double>(b.start)), box.left);
            const double right = std::min(x(static_cast<double>(b.end)), box.right);
            const double width = std::max(right - left - 1, 1.0);
            const double centre = (left + right - width) / 2;
            svg.rect(centre, y(b.high), width, std::max(y(b.low) - y(b.high), 1.0), "range");
        }
        medianLine(svg, buckets, x, y);
    }
    // The highest (the first time it was reached) and the latest, labelled apart.
    const SvgPoint top{x(static_cast<double>(points[peak].at)), y(points[peak].value)};
    const SvgPoint end{x(static_cast<double>(points.back().at)), y(points.back().value)};
    svg.mark(SvgMark::Circle, top.x, top.y, 7, "peak s0", points[peak].tip);
    const std::string peakText = u("最高 ") + decimalText(points[peak].value, 0);
    const std::string lastText = u("最新 ") + decimalText(points.back().value, 0);
    std::vector<LabelWish> wishes = {wishFor(top.x, top.y, peakText)};
    obstacles.push_back(markBox(top.x, top.y, 8));
    if (points.size() > 1 && peak != points.size() - 1) {
        svg.mark(SvgMark::Square, end.x, end.y, 4, "last s0");
        obstacles.push_back(markBox(end.x, end.y, 5));
        wishes.push_back(wishFor(end.x, end.y, lastText));
    }
    const std::vector<LabelBox> placed = placeLabels(wishes, box.labels(), obstacles);
    boxedText(svg, placed[0], peakText, "peak-label");
    if (placed.size() > 1) {
        boxedText(svg, placed[1], lastText, "peak-label");
    }
    svg.endPlot();
    return svg.finish();
}

std::string trendChart(const std::string& name, int players,
                       const std::vector<MonthFigures>& months, LogMinutes first, LogMinutes last) {
    if (months.empty() || players < 2) {
        return {};
    }
    int most = 0;
    for (const MonthFigures& m : months) {
        most = std::max(most, m.games);
        first = std::min(first, m.start);
        last = std::max(last, m.end);
    }
    // At least about three months across: a single month among month ticks, not a bar
    // over the whole width.
    constexpr LogMinutes kLeast = 100 * 1440;
    if (last - first < kLeast) {
        const LogMinutes grow = (kLeast - (last - first)) / 2;
        first -= grow;
        last += grow;
    }
    const Box places{64, 56, 740, 176};
    const Box games{64, 206, 740, 256};
    const DateAxis xAxis = dateAxis(first, last, 7);
    const Scale x{static_cast<double>(xAxis.low), static_cast<double>(xAxis.high), places.left,
                  places.right};
    // 1st place at the top: up is better.
    const Scale y{1, static_cast<double>(players), places.top, places.bottom};
    const NumberAxis countTicks = numberAxis(0, most, 3, true);
    const Scale yGames{countTicks.low, countTicks.high, games.bottom, games.top};

    Svg svg(kWidth, 316, name + u(" の月ごとの平均順位と半荘数"));
    svg.text(8, 20, name, "title");
    double legendX = 100;
    legendItem(svg, legendX, 20, Key::Mark, SvgMark::Circle, "s0", u("平均順位"));
    legendItem(svg, legendX, 20, Key::Whisker, SvgMark::Circle, "whisker", u("その95%区間"));
    legendItem(svg, legendX, 20, Key::Swatch, SvgMark::Circle, "bar", u("半荘数"));
    for (int place = 1; place <= players; ++place) {
        const double at = y(place);
        svg.line(places.left, at, places.right, at, "grid");
        svg.text(places.left - 6, at + 4, std::to_string(place) + u("位"), "tick", SvgAnchor::End);
    }
    const double middle = (1 + players) / 2.0;
    svg.line(places.left, y(middle), places.right, y(middle), "zero");
    numberTicks(svg, countTicks, yGames, games);
    timeTicks(svg, xAxis, x, games);
    frame(svg, places);
    frame(svg, games);
    leftTitle(svg, places,
              u("平均順位（上ほど良い。破線は順位の真ん中 ") + decimalText(middle, 1) + u("）"));
    leftTitle(svg, games, u("半荘数"));
    bottomTitle(svg, (places.left + places.right) / 2, 310, u("月（半荘の開始）"));

    svg.beginPlot(places.left, places.top, places.right, places.bottom);
    std::vector<SvgPoint> run;
    const auto flush = [&] {
        svg.polyline(run, "line thin");
        run.clear();
    };
    const double clampLow = 1, clampHigh = players;
    for (std::size_t i = 0; i < months.size(); ++i) {
        const MonthFigures& m = months[i];
        const bool follows = i > 0 && months[i - 1].end == m.start && months[i - 1].averagePlace;
        if (!m.averagePlace) {
            flush();
            continue;
        }
        const double cx = x(static_cast<double>(m.start + m.end) / 2);
        if (!follows) {
            flush();
        }
        run.push_back({cx, y(*m.averagePlace)});
        std::string tip = m.period + u(" 平均順位 ") + decimalText(*m.averagePlace, 2);
        if (m.interval) {
            const double a = y(std::clamp(m.interval->low, clampLow, clampHigh));
            const double b = y(std::clamp(m.interval->high, clampLow, clampHigh));
            svg.line(cx, a, cx, b, "whisker");
            tip += " (" + decimalText(m.interval->low, 2) + "\xE2\x80\x93" +
                   decimalText(m.interval->high, 2) + ")";
        }
        tip += u("、") + std::to_string(m.games) + u(" 半荘");
        svg.mark(SvgMark::Circle, cx, y(std::clamp(*m.averagePlace, clampLow, clampHigh)),
                 months.size() <= 40 ? 3.5 : 2.5, "pt s0", tip);
    }
    flush();
    svg.endPlot();

    svg.beginPlot(games.left, games.top, games.right, games.bottom);
    for (const MonthFigures& m : months) {
        const double left = std::max(x(static_cast<double>(m.start)), games.left);
        const double right = std::min(x(static_cast<double>(m.end)), games.right);
        const double width = std::max(right - left - 1, 1.0);
        const double top = yGames(m.games);
        svg.rect((left + right - width) / 2, top, width, games.bottom - top, "bar",
                 m.period + ": " + std::to_string(m.games) + u(" 半荘"));
    }
    svg.endPlot();
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
            highest = std::max(highest, 100.0 * std::max(c, 0) / total);
        }
    }
    if (bars == 0) {
        return {};
    }
    const Box box{64, 48, 740, 244};
    const NumberAxis axis = numberAxis(0, std::min(highest * 1.08, 100.0), 6);
    const Scale y{axis.low, axis.high, box.bottom, box.top};
    Svg svg(kWidth, 300, u("順位分布"));
    numberTicks(svg, axis, y, box, "%");
    frame(svg, box);
    leftTitle(svg, box, u("割合"));
    bottomTitle(svg, (box.left + box.right) / 2, 292, u("順位（卓の人数ごと）"));

    // A gap of one bar between groups; bars no wider than 64 units, centred.
    std::size_t groupCount = 0;
    for (int total : totals) {
        groupCount += total > 0;
    }
    const double slots = static_cast<double>(bars + groupCount + 1);
    const double unit = std::min(box.width() / slots, 64.0);
    double cursor = (box.left + box.right) / 2 - unit * slots / 2 + unit;
    svg.beginPlot(box.left, box.top, box.right, box.bottom);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const int total = totals[g];
        if (total == 0) {
            continue;
        }
        const PlaceGroup& group = groups[g];
        for (std::size_t p = 0; p < group.counts.size(); ++p) {
            const int c = std::max(group.counts[p], 0);
            const double share = 100.0 * c / total;
            const double top = y(share);
            const std::string place = std::to_string(p + 1) + u("位");
            const std::string value = std::to_string(c) + " (" + decimalText(share, 1) + "%)";
            svg.rect(cursor + unit * 0.1, top, unit * 0.8, box.bottom - top, "pt bar",
                     group.name + " " + place + ": " + value);
            svg.text(cursor + unit / 2, std::max(top - 5, box.top + 12), std::to_string(c), "value",
                     SvgAnchor::Middle);
            cursor += unit;
        }
        cursor += unit;
    }
    svg.endPlot();
    // The places and the groups under the plot.
    cursor = (box.left + box.right) / 2 - unit * slots / 2 + unit;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (totals[g] == 0) {
            continue;
        }
        const double groupStart = cursor;
        for (std::size_t p = 0; p < groups[g].counts.size(); ++p) {
            svg.text(cursor + unit / 2, box.bottom + 16, std::to_string(p + 1) + u("位"), "tick",
                     SvgAnchor::Middle);
            cursor += unit;
        }
        svg.text((groupStart + cursor) / 2, box.bottom + 32,
                 groups[g].name + " (" + std::to_string(totals[g]) + u("半荘)"), "group",
                 SvgAnchor::Middle);
        cursor += unit;
    }
    return svg.finish();
}

std::string scoreChart(const ScorePanel& panel, int window) {
    const std::vector<ScorePoint>& points = panel.points;
    if (points.empty()) {
        return {};
    }
    window = std::max(window, 1);
    double low = 0, high = 0; // the zero line is always in view
    for (const ScorePoint& p : points) {
        low = std::min(low, p.score);
        high = std::max(high, p.score);
    }
    const Box box{64, 56, 740, 214};
    const double n = static_cast<double>(points.size());
    // Room above the best and below the worst for their labels.
    const double pad = std::max((high - low) * 0.2, 5.0);
    const NumberAxis yTicks = numberAxis(low - pad, high + pad, 6);
    const NumberAxis xTicks = numberAxis(1, n, 8, true);
    const Scale x{0.5, n + 0.5, box.left, box.right};
    const Scale y{yTicks.low, yTicks.high, box.bottom, box.top};

    Svg svg(kWidth, 262, panel.name + u(" の半荘ごとの得点"));
    svg.text(8, 20, panel.name, "title");
    numberTicks(svg, yTicks, y, box);
    for (double tick : xTicks.ticks) {
        if (tick < 1 || tick > n) {
            continue;
        }
        svg.line(x(tick), box.bottom, x(tick), box.bottom + 4, "axis");
        svg.text(x(tick), box.bottom + 17, decimalText(tick, 0), "tick", SvgAnchor::Middle);
    }
    frame(svg, box);
    leftTitle(svg, box, u("得点"));
    bottomTitle(svg, (box.left + box.right) / 2, 256, panel.name + u("の半荘（古い順に 1, 2, …）"));

    double legendX = 100;
    const bool marks = points.size() <= kCrowded * 2;
    std::vector<LabelBox> obstacles;
    if (marks) {
        legendItem(svg, legendX, 20, Key::Mark, SvgMark::Circle, "s0", u("各半荘の得点"));
    } else {
        legendItem(svg, legendX, 20, Key::Range, SvgMark::Circle, "range",
                   u("同じ列に入る半荘の得点の幅"));
    }
    legendItem(svg, legendX, 20, Key::Line, SvgMark::Circle, "avg",
               u("直近") + std::to_string(window) + u("半荘の移動平均"));
    legendItem(svg, legendX, 20, Key::Dashed, SvgMark::Circle, "zero", u("得点 0"));

    svg.beginPlot(box.left, box.top, box.right, box.bottom);
    svg.line(box.left, y(0), box.right, y(0), "zero");
    if (marks) {
        const double r = points.size() <= 100 ? 4 : 2.5;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const double px = x(static_cast<double>(i + 1)), py = y(points[i].score);
            svg.mark(SvgMark::Circle, px, py, r, "pt s0", points[i].tip);
            obstacles.push_back(markBox(px, py, r));
        }
    } else {
        // One line per pixel column, from its lowest to its highest score.
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
    svg.polyline(reduceToColumns(average), "avg");
    std::vector<LabelWish> wishes;
    std::vector<const MarkedScore*> shown;
    for (const MarkedScore& m : panel.marked) {
        if (m.index >= points.size()) {
            continue;
        }
        const double px = x(static_cast<double>(m.index + 1)), py = y(points[m.index].score);
        svg.mark(SvgMark::Diamond, px, py, 6, "peak s1", points[m.index].tip);
        obstacles.push_back(markBox(px, py, 8));
        LabelWish wish = wishFor(px, py, m.label);
        wish.below = m.below;
        wishes.push_back(wish);
        shown.push_back(&m);
    }
    const std::vector<LabelBox> placed = placeLabels(wishes, box.labels(), obstacles);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        boxedText(svg, placed[i], shown[i]->label, "peak-label");
    }
    svg.endPlot();
    return svg.finish();
}
