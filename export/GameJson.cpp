// Maps the facts of a record to JSON, converting CP932 texts to UTF-8 on the way.
#include "export/GameJson.h"

#include "text/Encoding.h"

namespace {

using json = nlohmann::ordered_json;

json text(std::string_view cp932) {
    return cp932ToUtf8(cp932);
}

template <typename T> json optional(const std::optional<T>& value) {
    return value ? json(*value) : json(nullptr);
}

template <typename Text> json optionalText(const std::optional<Text>& cp932) {
    return cp932 ? text(*cp932) : json(nullptr);
}

json names(const std::vector<std::string_view>& cp932) {
    json list = json::array();
    for (const std::string_view name : cp932) {
        list.push_back(text(name));
    }
    return list;
}

json seatJson(const SeatFacts& seat) {
    return {{"seat", seat.seat},
            {"name", text(seat.name)},
            {"rating", optional(seat.rating)},
            {"raw", text(seat.raw)}};
}

json placingJson(const PlacingFacts& placing) {
    // Tenths as a decimal number: 408 -> 40.8, printed as the shortest exact form.
    const json score = placing.scoreTenths ? json(*placing.scoreTenths / 10.0) : json(nullptr);
    return {{"place", optional(placing.place)},
            {"name", text(placing.name)},
            {"score", score},
            {"points", optional(placing.points)},
            {"raw", text(placing.raw)}};
}

} // namespace

// Appends a member whose key is known to be new: ordered_json's own emplace would
// first compare the key with every member already there.
void add(json& object, const char* key, json value) {
    auto& members = object.get_ref<json::object_t&>();
    static_cast<json::object_t::Container&>(members).emplace_back(key, std::move(value));
}

json handJson(const HandFacts& hand) {
    // Built key by key: an initializer list would copy every value once more.
    json changes = json::array();
    for (const PointChange& change : hand.changes) {
        json entry = json::object();
        add(entry, "name", text(change.name));
        add(entry, "change", change.change);
        changes.push_back(std::move(entry));
    }
    json out = json::object();
    add(out, "number", hand.number);
    add(out, "title", text(hand.title));
    add(out, "wind", optionalText(hand.wind));
    add(out, "round", optional(hand.round));
    add(out, "honba", optional(hand.honba));
    add(out, "riichiSticks", optional(hand.riichiSticks));
    add(out, "result", text(hand.result));
    add(out, "resultParsed", hand.resultParsed);
    add(out, "changes", std::move(changes));
    add(out, "draw", hand.draw);
    add(out, "winners", names(hand.winners));
    add(out, "payers", names(hand.payers));
    add(out, "yaku", text(hand.yaku));
    add(out, "yakuTokens", names(hand.yakuTokens));
    return out;
}

json gameJson(const GameFacts& game, bool withHands) {
    json seats = json::array();
    for (const SeatFacts& seat : game.seats) {
        seats.push_back(seatJson(seat));
    }
    json placings = json::array();
    for (const PlacingFacts& placing : game.placings) {
        placings.push_back(placingJson(placing));
    }
    json out = {{"number", game.number},
                {"start", optionalText(game.start)},
                {"startRaw", text(game.startRaw)},
                {"end", optionalText(game.end)},
                {"endRaw", text(game.endRaw)},
                {"table", text(game.table)},
                {"playerCount", game.playerCount},
                {"aborted", game.aborted},
                {"playerLine", text(game.playerLine)},
                {"seats", std::move(seats)},
                {"placings", std::move(placings)}};
    if (withHands) {
        json hands = json::array();
        for (const HandFacts& hand : game.hands) {
            hands.push_back(handJson(hand));
        }
        out["hands"] = std::move(hands);
    }
    return out;
}
