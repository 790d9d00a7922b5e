// The list filters: who sat at the table, when, where, how many and how it ended.
#include "analysis/GameFilter.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int number(const std::string& text, std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

int daysIn(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

bool narrows(const GameFilter& filter) {
    return !filter.player.empty() || !filter.with.empty() || !filter.since.empty() ||
           !filter.until.empty() || !filter.table.empty() || filter.players != 0 ||
           filter.state != GameFilter::State::Any || filter.number != 0;
}

bool filters(const GameFilter& filter) {
    return narrows(filter) || filter.last > 0;
}

std::string readDateBound(const std::string& text, std::string& iso) {
    static const std::string kShape = "dddd-dd-dd dd:dd";
    const std::string expected = "expected YYYY-MM-DD or YYYY/MM/DD, with HH:MM if wanted, got ";
    if (text.empty()) {
        return expected + "nothing";
    }
    bool shaped = text.size() == 10 || text.size() == kShape.size();
    const char separator = text.size() > 4 ? text[4] : '-';
    for (std::size_t i = 0; shaped && i < text.size(); ++i) {
        const char want = kShape[i] == '-' ? separator : kShape[i];
        shaped = kShape[i] == 'd' ? isDigit(text[i]) : text[i] == want;
    }
    if (!shaped || (separator != '-' && separator != '/')) {
        return expected + "\"" + text + "\"";
    }
    const int year = number(text, 0, 4), month = number(text, 5, 2), day = number(text, 8, 2);
    if (month < 1 || month > 12) {
        return text + " is not a date: there is no month " + std::to_string(month);
    }
    if (day < 1 || day > daysIn(year, month)) {
        return text + " is not a date: " + text.substr(0, 7) + " has " +
               std::to_string(daysIn(year, month)) + " days";
    }
    if (text.size() > 10) {
        const int hour = number(text, 11, 2), minute = number(text, 14, 2);
        if (hour > 23) {
            return text + " is not a time: there is no hour " + std::to_string(hour);
        }
        if (minute > 59) {
            return text + " is not a time: there is no minute " + std::to_string(minute);
        }
    }
    iso = text;
    iso[4] = iso[7] = '-';
    return {};
}

std::string checkRange(const GameFilter& filter) {
    if (filter.since.empty() || filter.until.empty()) {
        return {};
    }
    // A date alone covers its whole day: compare as many characters as both give.
    const std::size_t common = std::min(filter.since.size(), filter.until.size());
    if (filter.since.compare(0, common, filter.until, 0, common) > 0) {
        return "the start " + filter.since + " is after the end " + filter.until;
    }
    return {};
}

bool passes(const GameFilter& filter, const GameFacts& game) {
    if (filter.number != 0 && static_cast<std::size_t>(game.number) != filter.number) {
        return false;
    }
    if (!filter.player.empty() && !findSeat(game, filter.player)) {
        return false;
    }
    for (const std::string& name : filter.with) {
        if (!findSeat(game, name)) {
            return false;
        }
    }
    if (!filter.since.empty() || !filter.until.empty()) {
        // A start time that does not read cannot be placed in a range.
        if (!game.start) {
            return false;
        }
        // A date alone covers its whole day: compare as many characters as given,
        // so "--until 2003-06-06" keeps 2003-06-06 23:59.
        if (!filter.since.empty() &&
            game.start->compare(0, filter.since.size(), filter.since) < 0) {
            return false;
        }
        if (!filter.until.empty() &&
            game.start->compare(0, filter.until.size(), filter.until) > 0) {
            return false;
        }
    }
    if (!filter.table.empty() && game.table.find(filter.table) == std::string::npos) {
        return false;
    }
    if (filter.players != 0 && game.playerCount != filter.players) {
        return false;
    }
    if (filter.state == GameFilter::State::Completed && game.aborted) {
        return false;
    }
    if (filter.state == GameFilter::State::Aborted && !game.aborted) {
        return false;
    }
    return true;
}
