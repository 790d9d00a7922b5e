// A small SVG writer for the report's charts: shapes with CSS classes, escaped text.
// Texts are UTF-8; the page's stylesheet gives the classes their look.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct SvgPoint {
    double x = 0, y = 0;
};

// Mark shapes, so that series differ by more than colour.
enum class SvgMark { Circle, Square, Diamond, Triangle };
enum class SvgAnchor { Start, Middle, End };

class Svg {
  public:
    // label: what the chart shows, for screen readers (aria-label).
    Svg(double width, double height, std::string_view label);

    void line(double x1, double y1, double x2, double y2, const char* cls);
    void polyline(const std::vector<SvgPoint>& points, const char* cls);
    // tip: shown on hover (an SVG <title>); empty for none.
    void rect(double x, double y, double w, double h, const char* cls, std::string_view tip = {});
    void mark(SvgMark shape, double x, double y, double size, const char* cls,
              std::string_view tip = {});
    void text(double x, double y, std::string_view text, const char* cls,
              SvgAnchor anchor = SvgAnchor::Start);

    // A group for the data of one plot: what is drawn in it stays inside the box, which
    // the group names (data-plot="left top right bottom") so that tests can check it.
    void beginPlot(double left, double top, double right, double bottom);
    void endPlot();

    // The finished <svg> element.
    std::string finish();

  private:
    std::string out_;
};

// A coordinate in at most one decimal, without a trailing ".0".
std::string svgNumber(double value);
