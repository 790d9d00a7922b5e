// How sure a figure is, and which period of the calendar a half-game falls in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A 95% interval [low, high].
struct Interval {
    double low = 0, high = 0;
};

// The Wilson score interval (z = 1.96) of count out of total; absent for no total.
std::optional<Interval> wilsonInterval(long long count, long long total);
// mean ± 1.96 × the sample standard deviation ÷ √n, from the sum and the sum of squares
// of n values, kept within least and most, the values' own range (an average place of
// 4 players lies in 1-4, however few the half-games); absent below two values.
std::optional<Interval> meanInterval(double sum, double sumOfSquares, long long n, double least,
                                     double most);

enum class PeriodUnit { Day, Week, Month, Year };

// "day", "week", "month" or "year": the unit; absent for another word.
std::optional<PeriodUnit> periodUnitNamed(std::string_view name);
const char* periodUnitName(PeriodUnit unit);

// The period of a start time "YYYY-MM-DD HH:MM" (or a date): "2003-06-01", ISO weeks
// "2004-W01", "2003-06", "2003". Texts of periods sort as time does.
std::string periodOf(std::string_view iso, PeriodUnit unit);
