// Axis ticks of the report's charts: round steps for numbers, calendar steps for time.
// Pure arithmetic, no text from a log.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A number axis that covers [low, high] with round ticks (1, 2 or 5 times a power of
// ten). The axis ends on ticks; an empty or single-valued range still gets a span.
struct NumberAxis {
    double low = 0, high = 1, step = 1;
    std::vector<double> ticks;
    int decimals = 0; // enough to tell the ticks apart
};

// maxTicks is at least 2; integral axes (counts) never step below 1. A range that is
// not finite is taken as [0, 1].
NumberAxis numberAxis(double low, double high, int maxTicks, bool integral = false);

// The smallest of 1, 2 and 5 times a power of ten that is at least rough (> 0).
double niceStep(double rough);

// Time of a log, as minutes since 1970-01-01 00:00 of the same (unknown) zone.
using LogMinutes = long long;
// "YYYY-MM-DD HH:MM" (the facts' start) -> minutes; absent for another shape or a
// date that does not exist.
std::optional<LogMinutes> parseLogTime(std::string_view iso);
std::string formatLogTime(LogMinutes minutes); // back to "YYYY-MM-DD HH:MM"

struct DateTick {
    LogMinutes at = 0;
    std::string label;   // "09:00", "06-07", "2003-06" or "2003"
    std::string context; // the date or year a short label belongs to, where it changes
};

// A time axis over [first, last], padded a little; its ticks fall on whole minutes,
// hours, days, Mondays, months or years, at most maxTicks of them.
struct DateAxis {
    LogMinutes low = 0, high = 1;
    std::vector<DateTick> ticks;
};
DateAxis dateAxis(LogMinutes first, LogMinutes last, int maxTicks);

// The first minute of the month of a period "YYYY-MM" and of the month after it; absent
// for another shape.
std::optional<std::pair<LogMinutes, LogMinutes>> monthSpan(std::string_view period);

// Values over time summed up per calendar unit, for a line with more points than the
// chart has room for: each bucket's lowest, median and highest value.
enum class BucketUnit { Hour, Day, Week, Month, Year };
struct TimeBucket {
    long long index = 0;           // of the unit since 1970 (weeks start on Monday)
    LogMinutes start = 0, end = 0; // the unit's first minute, and the next unit's
    double low = 0, median = 0, high = 0;
    int count = 0;
};
struct TimeBuckets {
    BucketUnit unit = BucketUnit::Hour;
    std::vector<TimeBucket> buckets; // in time order, those holding a value
};
// The smallest unit that splits the span of the points into at most maxBuckets; points
// need not be in order.
TimeBuckets timeBuckets(const std::vector<std::pair<LogMinutes, double>>& points, int maxBuckets);

// The width of a text in the units of its font size (em): wide characters take one,
// others about six tenths. An estimate, for keeping labels apart.
double textWidth(std::string_view utf8, double fontSize);

struct LabelBox {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool overlaps(const LabelBox& other) const;
};
// A label that belongs to a point: it goes near the point.
struct LabelWish {
    double x = 0, y = 0;          // the point
    double width = 0, height = 0; // the label's
    bool below = false;           // below the point before above it
};
// Places each label in turn near its point (above, below, right, left, then further up
// or down; below first for a label that wishes so) inside bounds, off the labels placed before it
// and off obstacles (the marks). A label with no free place goes to its first place inside bounds.
std::vector<LabelBox> placeLabels(const std::vector<LabelWish>& wishes, const LabelBox& bounds,
                                  const std::vector<LabelBox>& obstacles = {});

// Heights for labels wished at ys (any order), at least gap apart inside [top, bottom]
// where they fit, in the same order as ys, each as near its wish as that allows: the
// names at the ends of lines that finish close together.
std::vector<double> spreadLabels(const std::vector<double>& ys, double gap, double top,
                                 double bottom);

// utf8 cut to at most maxWidth (by textWidth), ending in "…" where it was cut.
std::string fitText(std::string_view utf8, double maxWidth, double fontSize);
