// Axis ticks of the report's charts: round steps for numbers, calendar steps for time.
// Pure arithmetic, no text from a log.
#pragma once

#include <optional>
#include <string>
#include <string_view>
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
// hours, days, months or years, at most maxTicks of them.
struct DateAxis {
    LogMinutes low = 0, high = 1;
    std::vector<DateTick> ticks;
};
DateAxis dateAxis(LogMinutes first, LogMinutes last, int maxTicks);
