// The numbers people read, written one way wherever they appear: the terminal, the
// exports and the report page all use these, so a figure never reads two ways.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// value with decimals digits after the point, half away from zero: 0.85 is "0.9" and
// -0.85 is "-0.9". Never "nan" or "-0": a value that is not finite reads as 0.
std::string decimalText(double value, int decimals);
// The same with "+" before a positive value: "+0.9", "-1.2", "0.0".
std::string signedDecimalText(double value, int decimals);

// A score in tenths, exact: 408 is "40.8", -5 is "-0.5", 30 is "3.0".
std::string tenthsText(long long tenths);
// The same signed, as the placing lines write it: "+40.8", "-0.5", "0.0".
std::string signedTenthsText(long long tenths);
// Points of a hand: "+5200", "-5200", "0".
std::string signedPointsText(long long points);
// A rate from 0 to 1 in percent: 0.2245 is "22.4%" (decimals 1).
std::string percentText(double rate, int decimals = 1);

// The texts of a figure that may be absent, with what stands for absent.
std::string orAbsent(const std::optional<double>& value, int decimals, const std::string& absent);
std::string percentOrAbsent(const std::optional<double>& rate, const std::string& absent);

// A count with its noun in agreement: countText(1, "half-game", "half-games") is
// "1 half-game", and 0 or 2 take the plural.
std::string countText(std::size_t count, const char* one, const char* many);
