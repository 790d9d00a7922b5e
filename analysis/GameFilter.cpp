// The list filters: who sat at the table, when, where, how many and how it ended.
#include "analysis/GameFilter.h"

#include "analysis/LogSet.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM".
bool isDateOrTime(const std::string& text) {
    static const std::string kShape = "dddd-dd-dd dd:dd";
    if (text.size() != 10 && text.size() != kShape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] == 'd' ? !isDigit(text[i]) : text[i] != kShape[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string checkFilter(const GameFilter& filter) {
    if (!filter.since.empty() && !isDateOrTime(filter.since)) {
        return "--since: expected YYYY-MM-DD or \"YYYY-MM-DD HH:MM\", got \"" + filter.since + "\"";
    }
    if (!filter.until.empty() && !isDateOrTime(filter.until)) {
        return "--until: expected YYYY-MM-DD or \"YYYY-MM-DD HH:MM\", got \"" + filter.until + "\"";
    }
    if (filter.players != 0 && (filter.players < 2 || filter.players > 4)) {
        return "--players: expected 2, 3 or 4";
    }
    if (filter.last < 0) {
        return "--last: expected a number of half-games, 1 or more";
    }
    return {};
}

bool passes(const GameFilter& filter, const GameFacts& game) {
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

std::vector<GameFacts> selectGames(const LogSet& logs, const GameFilter& filter, bool withHands) {
    std::vector<GameFacts> games;
    for (std::size_t i = 0; i < logs.size(); ++i) {
        GameFacts game = gameFacts(logs.record(i), static_cast<int>(i + 1), false);
        if (!passes(filter, game)) {
            continue;
        }
        if (withHands) {
            game.hands = handFacts(game, logs.record(i));
        }
        games.push_back(std::move(game));
    }
    if (filter.last > 0 && games.size() > static_cast<std::size_t>(filter.last)) {
        games.erase(games.begin(), games.end() - filter.last);
    }
    return games;
}
