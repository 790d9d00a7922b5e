// Number texts: rounding done once, on the decimal digits a person sees.
#include "text/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The value times 10^decimals, rounded half away from zero. The nudge makes a value
// that is a decimal half in print (0.85, held as 0.8499999…) round as it reads.
long long scaled(double value, int decimals, long long& scale) {
    scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    if (!std::isfinite(value) || std::abs(value) > 1e15) {
        return 0;
    }
    const double magnitude = std::abs(value) * static_cast<double>(scale);
    const auto rounded = static_cast<long long>(std::floor(magnitude + 0.5 + 1e-9 * magnitude));
    return value < 0 ? -rounded : rounded;
}

std::string digits(long long units, long long scale, int decimals) {
    const unsigned long long magnitude = units < 0 ? 0ULL - static_cast<unsigned long long>(units)
                                                   : static_cast<unsigned long long>(units);
    std::string text = units < 0 ? "-" : "";
    text += std::to_string(magnitude / static_cast<unsigned long long>(scale));
    if (decimals > 0) {
        const std::string fraction =
            std::to_string(magnitude % static_cast<unsigned long long>(scale));
        text +=
            "." + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

} // namespace

std::string decimalText(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 6);
    long long scale = 1;
    const long long units = scaled(value, decimals, scale);
    return digits(units, scale, decimals);
}

std::string signedDecimalText(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 6);
    long long scale = 1;
    const long long units = scaled(value, decimals, scale);
    return (units > 0 ? "+" : "") + digits(units, scale, decimals);
}

std::string tenthsText(long long tenths) {
    return digits(tenths, 10, 1);
}

std::string signedTenthsText(long long tenths) {
    return (tenths > 0 ? "+" : "") + digits(tenths, 10, 1);
}

std::string signedPointsText(long long points) {
    return (points > 0 ? "+" : "") + std::to_string(points);
}

std::string percentText(double rate, int decimals) {
    return decimalText(rate * 100, decimals) + "%";
}

std::string orAbsent(const std::optional<double>& value, int decimals, const std::string& absent) {
    return value ? decimalText(*value, decimals) : absent;
}

std::string percentOrAbsent(const std::optional<double>& rate, const std::string& absent) {
    return rate ? percentText(*rate) : absent;
}

std::string countText(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
