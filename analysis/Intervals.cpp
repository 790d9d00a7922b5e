// Intervals of rates and means, and calendar periods (ISO 8601 weeks) of start times.
#include "analysis/Intervals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kZ = 1.96;

int number(std::string_view text, std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t i = at; i < at + digits && i < text.size(); ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = static_cast<int>(y - era * 400);
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// The ISO year and week of a date: the week holds its Thursday, and week 1 of a year is
// the one that holds its first Thursday.
std::pair<int, int> isoWeek(int year, int month, int day) {
    const long long days = daysFromCivil(year, month, day);
    const int weekday = static_cast<int>(((days + 3) % 7 + 7) % 7) + 1; // Monday 1 … Sunday 7
    const long long thursday = days + 4 - weekday;
    int isoYear = year;
    if (thursday < daysFromCivil(year, 1, 1)) {
        isoYear = year - 1;
    } else if (thursday >= daysFromCivil(year + 1, 1, 1)) {
        isoYear = year + 1;
    }
    const long long week = (thursday - daysFromCivil(isoYear, 1, 1)) / 7 + 1;
    return {isoYear, static_cast<int>(week)};
}

} // namespace

std::optional<Interval> wilsonInterval(long long count, long long total) {
    if (total <= 0 || count < 0 || count > total) {
        return std::nullopt;
    }
    const double n = static_cast<double>(total);
    const double p = static_cast<double>(count) / n;
    const double z2 = kZ * kZ;
    const double denominator = 1 + z2 / n;
    const double centre = (p + z2 / (2 * n)) / denominator;
    const double half = kZ * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / denominator;
    return Interval{std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

std::optional<Interval> meanInterval(double sum, double sumOfSquares, long long n, double least,
                                     double most) {
    if (n < 2) {
        return std::nullopt;
    }
    const double count = static_cast<double>(n);
    const double mean = sum / count;
    // Rounding can leave a hair below zero when every value is the same.
    const double variance = std::max(0.0, (sumOfSquares - count * mean * mean) / (count - 1));
    const double half = kZ * std::sqrt(variance) / std::sqrt(count);
    return Interval{std::max(least, mean - half), std::min(most, mean + half)};
}

std::optional<PeriodUnit> periodUnitNamed(std::string_view name) {
    for (PeriodUnit unit :
         {PeriodUnit::Day, PeriodUnit::Week, PeriodUnit::Month, PeriodUnit::Year}) {
        if (name == periodUnitName(unit)) {
            return unit;
        }
    }
    return std::nullopt;
}

const char* periodUnitName(PeriodUnit unit) {
    switch (unit) {
    case PeriodUnit::Day:
        return "day";
    case PeriodUnit::Week:
        return "week";
    case PeriodUnit::Month:
        return "month";
    case PeriodUnit::Year:
        return "year";
    }
    return "";
}

std::string periodOf(std::string_view iso, PeriodUnit unit) {
    if (iso.size() < 10) {
        return {};
    }
    switch (unit) {
    case PeriodUnit::Day:
        return std::string(iso.substr(0, 10));
    case PeriodUnit::Month:
        return std::string(iso.substr(0, 7));
    case PeriodUnit::Year:
        return std::string(iso.substr(0, 4));
    case PeriodUnit::Week: {
        const auto [year, week] = isoWeek(number(iso, 0, 4), number(iso, 5, 2), number(iso, 8, 2));
        char text[16];
        std::snprintf(text, sizeof text, "%04d-W%02d", year, week);
        return text;
    }
    }
    return {};
}
