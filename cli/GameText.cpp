// Short texts of the facts for the table views; the log's own text where one did not read.
#include "cli/GameText.h"

#include "text/Numbers.h"

std::string seatText(const SeatFacts& seat) {
    if (!seat.rating) {
        return std::string(seat.raw);
    }
    return std::string(seat.name) + " R" + std::to_string(*seat.rating);
}

std::string placingText(const PlacingFacts& placing) {
    if (!placing.place || !placing.scoreTenths) {
        return std::string(placing.raw);
    }
    return std::to_string(*placing.place) + "位 " + std::string(placing.name) + " " +
           signedTenthsText(*placing.scoreTenths);
}

std::string startText(const GameFacts& game) {
    return game.start ? *game.start : std::string(game.startRaw);
}

std::string endText(const GameFacts& game) {
    return game.end ? *game.end : std::string(game.endRaw);
}
