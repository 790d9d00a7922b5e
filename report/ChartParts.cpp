// The pieces the report's charts share.
#include "report/ChartParts.h"

#include <algorithm>
#include <cmath>

#include "text/Encoding.h"
#include "text/Numbers.h"

namespace chart {

const SvgMark kMarks[4] = {SvgMark::Circle, SvgMark::Square, SvgMark::Diamond, SvgMark::Triangle};
const char* const kSeries[4] = {"s0", "s1", "s2", "s3"};

std::string u(const char* cp932) {
    return cp932ToUtf8(cp932);
}

void frame(Svg& svg, const Box& box) {
    svg.line(box.left, box.bottom, box.right, box.bottom, "axis");
    svg.line(box.left, box.top, box.left, box.bottom, "axis");
}

void numberTicks(Svg& svg, const NumberAxis& axis, const Scale& y, const Box& box,
                 const std::string& unit) {
    for (double tick : axis.ticks) {
        const double at = y(tick);
        svg.line(box.left, at, box.right, at, "grid");
        svg.text(box.left - 6, at + 4, decimalText(tick, axis.decimals) + unit, "tick",
                 SvgAnchor::End);
    }
}

void valueTicks(Svg& svg, const NumberAxis& axis, const Scale& x, const Box& box,
                const std::string& unit) {
    for (double tick : axis.ticks) {
        const double at = x(tick);
        svg.line(at, box.top, at, box.bottom, "grid");
        svg.text(at, box.bottom + 16, decimalText(tick, axis.decimals) + unit, "tick",
                 SvgAnchor::Middle);
    }
}

void timeTicks(Svg& svg, const DateAxis& axis, const Scale& x, const Box& box) {
    for (const DateTick& tick : axis.ticks) {
        const double at = x(static_cast<double>(tick.at));
        svg.line(at, box.bottom, at, box.bottom + 4, "axis");
        svg.text(at, box.bottom + 17, tick.label, "tick", SvgAnchor::Middle);
        if (!tick.context.empty()) {
            svg.text(at, box.bottom + 31, tick.context, "tick", SvgAnchor::Middle);
        }
    }
}

void leftTitle(Svg& svg, const Box& box, const std::string& title) {
    svg.text(8, box.top - 10, title, "title");
}

void bottomTitle(Svg& svg, double x, double y, const std::string& title) {
    svg.text(x, y, title, "title", SvgAnchor::Middle);
}

void legendItem(Svg& svg, double& x, double y, Key key, SvgMark mark, const std::string& cls,
                const std::string& name) {
    switch (key) {
    case Key::Line:
    case Key::LineAndMark:
        svg.line(x, y - 4, x + 24, y - 4, ("line " + cls).c_str());
        if (key == Key::LineAndMark) {
            svg.mark(mark, x + 12, y - 4, 4, ("key " + cls).c_str());
        }
        break;
    case Key::Mark:
        svg.mark(mark, x + 12, y - 4, 4, ("key " + cls).c_str());
        break;
    case Key::Swatch:
        svg.rect(x + 4, y - 11, 16, 12, cls.c_str());
        break;
    case Key::Range:
        svg.rect(x + 9, y - 13, 6, 16, cls.c_str());
        break;
    case Key::Dashed:
        svg.line(x, y - 4, x + 24, y - 4, cls.c_str());
        break;
    case Key::Whisker:
        svg.line(x + 12, y - 12, x + 12, y + 3, cls.c_str());
        svg.line(x + 8, y - 12, x + 16, y - 12, cls.c_str());
        svg.line(x + 8, y + 3, x + 16, y + 3, cls.c_str());
        break;
    }
    svg.text(x + 30, y, name, "legend");
    x += 30 + textWidth(name, kFont) + 18;
}

void boxedText(Svg& svg, const LabelBox& box, const std::string& text, const char* cls) {
    svg.text(box.left, box.bottom - 3.5, text, cls);
}

LabelWish wishFor(double x, double y, const std::string& text, double fontSize) {
    return {x, y, textWidth(text, fontSize) + 2, kLabelHeight};
}

LabelBox markBox(double x, double y, double r) {
    return {x - r, y - r, x + r, y + r};
}

std::vector<SvgPoint> reduceToColumns(const std::vector<SvgPoint>& points) {
    if (points.size() <= 2 * static_cast<std::size_t>(kWidth)) {
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

} // namespace chart
