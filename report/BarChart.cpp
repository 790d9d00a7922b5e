// Rows of bars or dots with whiskers: rates as dealer and at draws, whom the player
// dealt into, limits, place by seat. Labels at the left, values written at the right.
#include "report/Charts.h"

#include <algorithm>

#include "report/ChartParts.h"

using namespace chart;

std::string barChart(const BarChart& chart) {
    const std::size_t series = std::max<std::size_t>(chart.series.size(), 1);
    double low = chart.low, high = chart.high;
    double labelWidth = 40, textWidthMost = 40;
    bool any = false;
    for (const BarRow& row : chart.rows) {
        labelWidth = std::max(labelWidth, textWidth(row.label, kFont));
        for (const BarValue& v : row.values) {
            textWidthMost = std::max(textWidthMost, textWidth(v.text, 11));
            if (v.value) {
                any = true;
                low = std::min(low, *v.value);
                high = std::max(high, *v.value);
            }
            if (v.interval) {
                low = std::min(low, v.interval->low);
                high = std::max(high, v.interval->high);
            }
        }
    }
    if (chart.rows.empty() || !any) {
        return {};
    }
    if (chart.reference) {
        low = std::min(low, *chart.reference);
        high = std::max(high, *chart.reference);
    }
    labelWidth = std::min(labelWidth, 200.0);
    textWidthMost = std::min(textWidthMost, 190.0);
    const double rowHeight = series == 1 ? 24 : 8 + 13.0 * static_cast<double>(series);
    const bool legend = chart.series.size() > 1 || chart.reference;
    const double top = legend ? 52 : 34;
    const Box box{16 + labelWidth, top, kWidth - textWidthMost - 16,
                  top + rowHeight * static_cast<double>(chart.rows.size())};
    const NumberAxis axis = numberAxis(low, high, 6, chart.integral);
    const Scale x{axis.low, axis.high, box.left, box.right};

    Svg svg(kWidth, box.bottom + 42, chart.title);
    svg.text(8, 20, chart.title, "title");
    valueTicks(svg, axis, x, box, chart.unit);
    frame(svg, box);
    bottomTitle(svg, (box.left + box.right) / 2, box.bottom + 36, chart.axisTitle);
    double legendX = 8;
    if (chart.series.size() > 1) {
        for (std::size_t s = 0; s < chart.series.size() && s < 4; ++s) {
            legendItem(svg, legendX, 42, chart.dots ? Key::Mark : Key::Swatch, kMarks[s],
                       chart.dots ? kSeries[s] : (s ? "bar alt" : "bar"), chart.series[s]);
        }
    }
    if (chart.reference) {
        legendItem(svg, legendX, 42, Key::Dashed, SvgMark::Circle, "zero", chart.referenceName);
    }

    for (std::size_t r = 0; r < chart.rows.size(); ++r) {
        const BarRow& row = chart.rows[r];
        const double rowTop = box.top + rowHeight * static_cast<double>(r);
        svg.text(box.left - 6, rowTop + rowHeight / 2 + 4, fitText(row.label, labelWidth, kFont),
                 "tick", SvgAnchor::End);
        const double band = (rowHeight - 8) / static_cast<double>(series);
        for (std::size_t s = 0; s < row.values.size() && s < series; ++s) {
            const double centre = rowTop + 4 + band * (static_cast<double>(s) + 0.5);
            svg.text(box.right + 8, centre + 4, row.values[s].text, "value");
        }
    }
    svg.beginPlot(box.left, box.top, box.right, box.bottom);
    if (chart.reference) {
        svg.line(x(*chart.reference), box.top, x(*chart.reference), box.bottom, "zero");
    }
    const double base = x(std::clamp(0.0, axis.low, axis.high));
    for (std::size_t r = 0; r < chart.rows.size(); ++r) {
        const BarRow& row = chart.rows[r];
        const double rowTop = box.top + rowHeight * static_cast<double>(r);
        const double band = (rowHeight - 8) / static_cast<double>(series);
        for (std::size_t s = 0; s < row.values.size() && s < series; ++s) {
            const BarValue& v = row.values[s];
            const double centre = rowTop + 4 + band * (static_cast<double>(s) + 0.5);
            const std::string tip =
                row.label + (chart.series.size() > 1 ? " " + chart.series[s] : "") + ": " + v.text;
            if (v.value && chart.dots) {
                svg.line(box.left, centre, x(*v.value), centre, "guide");
            } else if (v.value) {
                const double end = x(*v.value);
                svg.rect(std::min(base, end), centre - band * 0.4,
                         std::max(std::abs(end - base), 1.0), band * 0.8,
                         s ? "pt bar alt" : "pt bar", tip);
            }
            if (v.interval) {
                const double a = x(v.interval->low), b = x(v.interval->high);
                svg.line(a, centre, b, centre, "whisker");
                svg.line(a, centre - 4, a, centre + 4, "whisker");
                svg.line(b, centre - 4, b, centre + 4, "whisker");
            }
            if (v.value && chart.dots) {
                svg.mark(kMarks[s % 4], x(*v.value), centre, 4.5,
                         (std::string("pt ") + kSeries[s % 4]).c_str(), tip);
            }
        }
    }
    svg.endPlot();
    return svg.finish();
}
