// The SVG writer: coordinates rounded to a tenth, so a chart of many points stays small.
#include "report/Svg.h"

#include <cmath>

#include "report/Html.h"
#include "report/SvgAxis.h"
#include "text/Numbers.h"

namespace {

void tipElement(std::string& out, std::string_view tip) {
    if (!tip.empty()) {
        out += "<title>" + htmlEscape(tip) + "</title>";
    }
}

} // namespace

std::string svgNumber(double value) {
    const double tenths = std::round(value * 10);
    return decimalText(tenths / 10, std::fmod(tenths, 10) == 0 ? 0 : 1);
}

Svg::Svg(double width, double height, std::string_view label) {
    out_ = "<svg viewBox=\"0 0 " + svgNumber(width) + " " + svgNumber(height) +
           "\" role=\"img\" aria-label=\"" + htmlEscape(label) + "\">";
}

void Svg::line(double x1, double y1, double x2, double y2, const char* cls) {
    out_ += "<line class=\"" + std::string(cls) + "\" x1=\"" + svgNumber(x1) + "\" y1=\"" +
            svgNumber(y1) + "\" x2=\"" + svgNumber(x2) + "\" y2=\"" + svgNumber(y2) + "\"/>";
}

void Svg::polyline(const std::vector<SvgPoint>& points, const char* cls) {
    if (points.empty()) {
        return;
    }
    out_ += "<polyline class=\"" + std::string(cls) + "\" points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        out_ += (i ? " " : "") + svgNumber(points[i].x) + "," + svgNumber(points[i].y);
    }
    out_ += "\"/>";
}

void Svg::rect(double x, double y, double w, double h, const char* cls, std::string_view tip) {
    out_ += "<rect class=\"" + std::string(cls) + "\" x=\"" + svgNumber(x) + "\" y=\"" +
            svgNumber(y) + "\" width=\"" + svgNumber(w) + "\" height=\"" + svgNumber(h) + "\"";
    if (tip.empty()) {
        out_ += "/>";
        return;
    }
    out_ += ">";
    tipElement(out_, tip);
    out_ += "</rect>";
}

void Svg::mark(SvgMark shape, double x, double y, double size, const char* cls,
               std::string_view tip) {
    const std::string c = "class=\"" + std::string(cls) + "\"";
    std::string element;
    std::string tag;
    switch (shape) {
    case SvgMark::Circle:
        tag = "circle";
        element = "<circle " + c + " cx=\"" + svgNumber(x) + "\" cy=\"" + svgNumber(y) + "\" r=\"" +
                  svgNumber(size) + "\"";
        break;
    case SvgMark::Square:
        tag = "rect";
        element = "<rect " + c + " x=\"" + svgNumber(x - size) + "\" y=\"" + svgNumber(y - size) +
                  "\" width=\"" + svgNumber(2 * size) + "\" height=\"" + svgNumber(2 * size) + "\"";
        break;
    case SvgMark::Diamond:
    case SvgMark::Triangle: {
        tag = "polygon";
        const double s = size * 1.3;
        std::vector<SvgPoint> corners =
            shape == SvgMark::Diamond
                ? std::vector<SvgPoint>{{x, y - s}, {x + s, y}, {x, y + s}, {x - s, y}}
                : std::vector<SvgPoint>{{x, y - s}, {x + s, y + s * 0.8}, {x - s, y + s * 0.8}};
        element = "<polygon " + c + " points=\"";
        for (std::size_t i = 0; i < corners.size(); ++i) {
            element += (i ? " " : "") + svgNumber(corners[i].x) + "," + svgNumber(corners[i].y);
        }
        element += "\"";
        break;
    }
    }
    out_ += element;
    if (tip.empty()) {
        out_ += "/>";
        return;
    }
    out_ += ">";
    tipElement(out_, tip);
    out_ += "</" + tag + ">";
}

void Svg::text(double x, double y, std::string_view text, const char* cls, SvgAnchor anchor) {
    static const char* const kAnchors[] = {"start", "middle", "end"};
    out_ += "<text class=\"" + std::string(cls) + "\" x=\"" + svgNumber(x) + "\" y=\"" +
            svgNumber(y) + "\" text-anchor=\"" + kAnchors[static_cast<int>(anchor)] + "\"";
    out_ += ">" + htmlEscape(text) + "</text>";
}

void Svg::beginPlot(double left, double top, double right, double bottom) {
    out_ += "<g class=\"plot\" data-plot=\"" + svgNumber(left) + " " + svgNumber(top) + " " +
            svgNumber(right) + " " + svgNumber(bottom) + "\">";
}

void Svg::endPlot() {
    out_ += "</g>";
}

std::string Svg::finish() {
    return std::move(out_) + "</svg>";
}
