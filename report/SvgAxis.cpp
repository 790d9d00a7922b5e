// Tick arithmetic of the report's charts.
#include "report/SvgAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Ticks are counted as whole multiples of the step, so they never drift.
long long floorDiv(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

long long ceilDiv(long long a, long long b) {
    return -floorDiv(-a, b);
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
long long daysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    const long long era = floorDiv(y, 400);
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    long long year;
    int month, day, hour, minute;
};

Civil civilFromMinutes(LogMinutes minutes) {
    const long long days = floorDiv(minutes, 1440);
    const long long inDay = minutes - days * 1440;
    const long long z = days + 719468;
    const long long era = floorDiv(z, 146097);
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2), m, d, static_cast<int>(inDay / 60),
            static_cast<int>(inDay % 60)};
}

int daysInMonth(long long year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string twoDigits(int value) {
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

std::string dateText(const Civil& c) {
    return std::to_string(c.year) + "-" + twoDigits(c.month) + "-" + twoDigits(c.day);
}

// Months counted from year 0, so that January starts every 2-, 3- and 6-month step.
long long monthIndex(const Civil& c) {
    return c.year * 12 + (c.month - 1);
}

LogMinutes monthStart(long long index) {
    const long long year = floorDiv(index, 12);
    const int month = static_cast<int>(index - year * 12) + 1;
    return daysFromCivil(year, month, 1) * 1440;
}

enum class Unit { Minute, Day, Month, Year };

// Weeks start on Monday, and 1970-01-05 was one.
constexpr LogMinutes kFirstMonday = 4 * 1440;

struct TimeStep {
    Unit unit;
    long long size;        // minutes for Minute and Day; months; years
    LogMinutes offset = 0; // where the steps of Minute and Day start: weeks on Monday
};

// The multiples of step that fall in [low, high] as indexes of that unit.
std::pair<long long, long long> tickRange(const TimeStep& step, LogMinutes low, LogMinutes high) {
    switch (step.unit) {
    case Unit::Minute:
    case Unit::Day:
        return {ceilDiv(low - step.offset, step.size), floorDiv(high - step.offset, step.size)};
    case Unit::Month: {
        long long first = monthIndex(civilFromMinutes(low));
        if (monthStart(first) < low) {
            ++first;
        }
        return {ceilDiv(first, step.size), floorDiv(monthIndex(civilFromMinutes(high)), step.size)};
    }
    case Unit::Year: {
        long long first = civilFromMinutes(low).year;
        if (daysFromCivil(first, 1, 1) * 1440 < low) {
            ++first;
        }
        return {ceilDiv(first, step.size), floorDiv(civilFromMinutes(high).year, step.size)};
    }
    }
    return {0, -1};
}

LogMinutes tickAt(const TimeStep& step, long long k) {
    switch (step.unit) {
    case Unit::Minute:
    case Unit::Day:
        return k * step.size + step.offset;
    case Unit::Month:
        return monthStart(k * step.size);
    case Unit::Year:
        return daysFromCivil(k * step.size, 1, 1) * 1440;
    }
    return 0;
}

} // namespace

double niceStep(double rough) {
    if (!(rough > 0) || !std::isfinite(rough)) {
        return 1;
    }
    const double base = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * base >= rough * (1 - 1e-9)) {
            return m * base;
        }
    }
    return 10 * base;
}

NumberAxis numberAxis(double low, double high, int maxTicks, bool integral) {
    // Beyond this a tick index would not fit a long long; no figure of a log gets near.
    constexpr double kLimit = 1e15;
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = 0;
        high = 1;
    }
    low = std::clamp(low, -kLimit, kLimit);
    high = std::clamp(high, -kLimit, kLimit);
    if (low > high) {
        std::swap(low, high);
    }
    if (high - low < 1e-9) {
        if (integral) {
            high = low + 1;
        } else {
            const double pad = low != 0 ? std::abs(low) * 0.1 : 1;
            low -= pad;
            high += pad;
        }
    }
    maxTicks = std::max(maxTicks, 2);
    NumberAxis axis;
    double step = niceStep((high - low) / (maxTicks - 1));
    if (integral) {
        step = std::max(step, 1.0);
    }
    long long first = 0, last = 0;
    for (;;) {
        first = static_cast<long long>(std::floor(low / step + 1e-9));
        last = static_cast<long long>(std::ceil(high / step - 1e-9));
        if (last - first + 1 <= maxTicks) {
            break;
        }
        step = niceStep(step * 1.5);
    }
    axis.step = step;
    axis.low = first * step;
    axis.high = last * step;
    for (long long k = first; k <= last; ++k) {
        axis.ticks.push_back(k * step);
    }
    axis.decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return axis;
}

std::optional<LogMinutes> parseLogTime(std::string_view iso) {
    static const char kShape[] = "dddd-dd-dd dd:dd";
    if (iso.size() != sizeof kShape - 1) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < iso.size(); ++i) {
        const bool digit = iso[i] >= '0' && iso[i] <= '9';
        if (kShape[i] == 'd' ? !digit : iso[i] != kShape[i]) {
            return std::nullopt;
        }
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            value = value * 10 + (iso[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2);
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59) {
        return std::nullopt;
    }
    return daysFromCivil(year, month, day) * 1440 + hour * 60 + minute;
}

std::string formatLogTime(LogMinutes minutes) {
    const Civil c = civilFromMinutes(minutes);
    return dateText(c) + " " + twoDigits(c.hour) + ":" + twoDigits(c.minute);
}

DateAxis dateAxis(LogMinutes first, LogMinutes last, int maxTicks) {
    if (last < first) {
        std::swap(first, last);
    }
    maxTicks = std::max(maxTicks, 2);
    // Points off the frame's edge: a fortieth of the span, and an hour around one point.
    const LogMinutes pad = last == first ? 60 : std::max<LogMinutes>((last - first) / 40, 1);
    DateAxis axis;
    axis.low = first - pad;
    axis.high = last + pad;

    static const TimeStep kSteps[] = {{Unit::Minute, 1},
                                      {Unit::Minute, 2},
                                      {Unit::Minute, 5},
                                      {Unit::Minute, 10},
                                      {Unit::Minute, 15},
                                      {Unit::Minute, 30},
                                      {Unit::Minute, 60},
                                      {Unit::Minute, 120},
                                      {Unit::Minute, 180},
                                      {Unit::Minute, 360},
                                      {Unit::Minute, 720},
                                      {Unit::Day, 1440},
                                      {Unit::Day, 2 * 1440},
                                      {Unit::Day, 7 * 1440, kFirstMonday},
                                      {Unit::Day, 14 * 1440, kFirstMonday},
                                      {Unit::Month, 1},
                                      {Unit::Month, 2},
                                      {Unit::Month, 3},
                                      {Unit::Month, 6}};
    TimeStep step{Unit::Year, 1};
    bool found = false;
    // Weeks only for spans whose months are too few to read: a span of three weeks
    // would otherwise get a single tick.
    const auto [monthFrom, monthTo] = tickRange({Unit::Month, 1}, axis.low, axis.high);
    const bool monthsRead = monthTo - monthFrom + 1 >= 3;
    for (const TimeStep& candidate : kSteps) {
        if (candidate.offset == kFirstMonday && monthsRead) {
            continue;
        }
        const auto [from, to] = tickRange(candidate, axis.low, axis.high);
        if (to - from + 1 <= maxTicks) {
            step = candidate;
            found = true;
            break;
        }
    }
    // Years step 1, 2, 5, 10, 20, ... as numbers do.
    while (!found) {
        const auto [from, to] = tickRange(step, axis.low, axis.high);
        if (to - from + 1 <= maxTicks) {
            break;
        }
        step.size = static_cast<long long>(niceStep(static_cast<double>(step.size) * 1.5));
    }

    const auto [from, to] = tickRange(step, axis.low, axis.high);
    std::string previousDate;
    for (long long k = from; k <= to; ++k) {
        DateTick tick;
        tick.at = tickAt(step, k);
        const Civil c = civilFromMinutes(tick.at);
        switch (step.unit) {
        case Unit::Minute:
            tick.label = twoDigits(c.hour) + ":" + twoDigits(c.minute);
            if (dateText(c) != previousDate) {
                tick.context = dateText(c);
                previousDate = tick.context;
            }
            break;
        case Unit::Day:
            tick.label = dateText(c);
            break;
        case Unit::Month:
            tick.label = std::to_string(c.year) + "-" + twoDigits(c.month);
            break;
        case Unit::Year:
            tick.label = std::to_string(c.year);
            break;
        }
        axis.ticks.push_back(std::move(tick));
    }
    return axis;
}

std::optional<std::pair<LogMinutes, LogMinutes>> monthSpan(std::string_view period) {
    if (period.size() != 7 || period[4] != '-') {
        return std::nullopt;
    }
    const auto start = parseLogTime(std::string(period) + "-01 00:00");
    if (!start) {
        return std::nullopt;
    }
    const long long index = monthIndex(civilFromMinutes(*start));
    return std::make_pair(*start, monthStart(index + 1));
}

namespace {

long long bucketIndex(BucketUnit unit, LogMinutes at) {
    switch (unit) {
    case BucketUnit::Hour:
        return floorDiv(at, 60);
    case BucketUnit::Day:
        return floorDiv(at, 1440);
    case BucketUnit::Week:
        return floorDiv(at - kFirstMonday, 7 * 1440);
    case BucketUnit::Month:
        return monthIndex(civilFromMinutes(at));
    case BucketUnit::Year:
        return civilFromMinutes(at).year;
    }
    return 0;
}

LogMinutes bucketStart(BucketUnit unit, long long index) {
    switch (unit) {
    case BucketUnit::Hour:
        return index * 60;
    case BucketUnit::Day:
        return index * 1440;
    case BucketUnit::Week:
        return index * 7 * 1440 + kFirstMonday;
    case BucketUnit::Month:
        return monthStart(index);
    case BucketUnit::Year:
        return daysFromCivil(index, 1, 1) * 1440;
    }
    return 0;
}

} // namespace

TimeBuckets timeBuckets(const std::vector<std::pair<LogMinutes, double>>& points, int maxBuckets) {
    TimeBuckets out;
    if (points.empty()) {
        return out;
    }
    std::vector<std::pair<LogMinutes, double>> sorted = points;
    std::sort(sorted.begin(), sorted.end());
    for (BucketUnit unit :
         {BucketUnit::Hour, BucketUnit::Day, BucketUnit::Week, BucketUnit::Month}) {
        out.unit = unit;
        if (bucketIndex(unit, sorted.back().first) - bucketIndex(unit, sorted.front().first) <
            std::max(maxBuckets, 1)) {
            break;
        }
        out.unit = BucketUnit::Year;
    }
    std::vector<double> values;
    for (std::size_t i = 0; i < sorted.size();) {
        const long long index = bucketIndex(out.unit, sorted[i].first);
        values.clear();
        for (; i < sorted.size() && bucketIndex(out.unit, sorted[i].first) == index; ++i) {
            values.push_back(sorted[i].second);
        }
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        TimeBucket bucket;
        bucket.index = index;
        bucket.start = bucketStart(out.unit, index);
        bucket.end = bucketStart(out.unit, index + 1);
        bucket.low = values.front();
        bucket.high = values.back();
        bucket.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
        bucket.count = static_cast<int>(n);
        out.buckets.push_back(bucket);
    }
    return out;
}

double textWidth(std::string_view utf8, double fontSize) {
    double ems = 0;
    for (unsigned char c : utf8) {
        if (c < 0x80) {
            ems += 0.6;
        } else if (c >= 0xC0) {
            ems += 1; // the lead byte of a character of the page's Japanese
        }
    }
    return ems * fontSize;
}

bool LabelBox::overlaps(const LabelBox& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
}

std::vector<LabelBox> placeLabels(const std::vector<LabelWish>& wishes, const LabelBox& bounds,
                                  const std::vector<LabelBox>& obstacles) {
    constexpr double kGap = 9; // clear of a mark of radius 8
    std::vector<LabelBox> placed;
    for (const LabelWish& w : wishes) {
        // Candidate top-left corners, nearest first.
        std::vector<std::pair<double, double>> corners = {
            {w.x - w.width / 2, w.y - kGap - w.height},
            {w.x - w.width / 2, w.y + kGap},
            {w.x + kGap + 2, w.y - w.height / 2},
            {w.x - kGap - 2 - w.width, w.y - w.height / 2}};
        for (int k = 1; k <= 8; ++k) {
            corners.push_back({w.x - w.width / 2, w.y - kGap - w.height * (k + 1)});
            corners.push_back({w.x - w.width / 2, w.y + kGap + w.height * k});
        }
        if (w.below) {
            // Every "above" and "below" pair turned round.
            std::swap(corners[0], corners[1]);
            for (std::size_t k = 4; k + 1 < corners.size(); k += 2) {
                std::swap(corners[k], corners[k + 1]);
            }
        }
        std::optional<LabelBox> first, free;
        for (const auto& [left, top] : corners) {
            // Slid sideways into bounds; a label that does not fit up or down is no place.
            LabelBox box{left, top, left + w.width, top + w.height};
            const double shift =
                std::max(bounds.left - box.left, std::min(0.0, bounds.right - box.right));
            box.left += shift;
            box.right += shift;
            if (box.top < bounds.top || box.bottom > bounds.bottom) {
                continue;
            }
            if (!first) {
                first = box;
            }
            const auto hits = [&](const LabelBox& other) { return box.overlaps(other); };
            if (std::none_of(placed.begin(), placed.end(), hits) &&
                std::none_of(obstacles.begin(), obstacles.end(), hits)) {
                free = box;
                break;
            }
        }
        if (!first) {
            // Taller than the bounds: at their top.
            const double left = std::clamp(w.x - w.width / 2, bounds.left,
                                           std::max(bounds.left, bounds.right - w.width));
            first = LabelBox{left, bounds.top, left + w.width, bounds.top + w.height};
        }
        placed.push_back(free ? *free : *first);
    }
    return placed;
}

std::vector<double> spreadLabels(const std::vector<double>& ys, double gap, double top,
                                 double bottom) {
    std::vector<std::size_t> order(ys.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return ys[a] < ys[b]; });
    const auto wish = [&](std::size_t k) {
        return std::isfinite(ys[order[k]]) ? ys[order[k]] : top;
    };
    // Runs of labels that touch, each centred on its wishes: a run's first label is at
    // the mean of (wish - gap * place in run), kept inside the bounds.
    struct Run {
        std::size_t first = 0, count = 0;
        double sum = 0; // of wish - gap * place in run
        double at(double gap, double top, double bottom) const {
            const double length = gap * static_cast<double>(count - 1);
            return std::max(top, std::min(sum / static_cast<double>(count), bottom - length));
        }
    };
    std::vector<Run> runs;
    for (std::size_t k = 0; k < order.size(); ++k) {
        runs.push_back({k, 1, wish(k)});
        while (runs.size() > 1) {
            const Run& last = runs.back();
            const Run& before = runs[runs.size() - 2];
            const double beforeEnd =
                before.at(gap, top, bottom) + gap * static_cast<double>(before.count);
            if (last.at(gap, top, bottom) >= beforeEnd) {
                break;
            }
            Run merged = before;
            for (std::size_t j = 0; j < last.count; ++j) {
                merged.sum += wish(last.first + j) - gap * static_cast<double>(merged.count);
                ++merged.count;
            }
            runs.pop_back();
            runs.back() = merged;
        }
    }
    std::vector<double> out(ys.size());
    for (const Run& run : runs) {
        const double first = run.at(gap, top, bottom);
        for (std::size_t j = 0; j < run.count; ++j) {
            // A run longer than the bounds overlaps at the bottom.
            out[order[run.first + j]] = std::min(first + gap * static_cast<double>(j), bottom);
        }
    }
    return out;
}

std::string fitText(std::string_view utf8, double maxWidth, double fontSize) {
    if (textWidth(utf8, fontSize) <= maxWidth) {
        return std::string(utf8);
    }
    const double room = maxWidth - fontSize; // for the ellipsis
    std::size_t end = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t next = i + 1;
        while (next < utf8.size() && (static_cast<unsigned char>(utf8[next]) & 0xC0) == 0x80) {
            ++next;
        }
        if (textWidth(utf8.substr(0, next), fontSize) > room) {
            break;
        }
        end = i = next;
    }
    return std::string(utf8.substr(0, end)) + "\xE2\x80\xA6";
}
