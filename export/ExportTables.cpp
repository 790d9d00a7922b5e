// The export's tables and how a game's facts fill them.
#include "export/ExportTables.h"

#include <cstdlib>

#include "text/Encoding.h"

namespace {

const char* const kId = "INTEGER NOT NULL";

} // namespace

const std::array<ExportTableInfo, kExportTableCount>& exportTables() {
    static const std::array<ExportTableInfo, kExportTableCount> tables{{
        {ExportTable::Games,
         "games",
         {{"game_id", "INTEGER PRIMARY KEY"},
          {"start_time", "TEXT"},
          {"start_raw", "TEXT NOT NULL"},
          {"end_time", "TEXT"},
          {"end_raw", "TEXT NOT NULL"},
          {"table_name", "TEXT NOT NULL"},
          {"player_count", kId},
          {"aborted", kId},
          {"hand_count", kId},
          {"player_line", "TEXT NOT NULL"}},
         ""},
        {ExportTable::Seats,
         "seats",
         {{"game_id", kId},
          {"seat", kId},
          {"name", "TEXT NOT NULL"},
          {"rating", "INTEGER"},
          {"entry_raw", "TEXT NOT NULL"},
          {"place", "INTEGER"},
          {"score", "REAL"},
          {"points", "INTEGER"},
          {"placing_raw", "TEXT"}},
         "PRIMARY KEY (game_id, seat), FOREIGN KEY (game_id) REFERENCES games"},
        {ExportTable::Hands,
         "hands",
         {{"game_id", kId},
          {"hand_no", kId},
          {"title", "TEXT NOT NULL"},
          {"wind", "TEXT"},
          {"round", "INTEGER"},
          {"honba", "INTEGER"},
          {"riichi_sticks", "INTEGER"},
          {"draw", kId},
          {"result", "TEXT NOT NULL"},
          {"result_parsed", kId},
          {"yaku", "TEXT NOT NULL"}},
         "PRIMARY KEY (game_id, hand_no), FOREIGN KEY (game_id) REFERENCES games"},
        {ExportTable::Deltas,
         "deltas",
         {{"game_id", kId},
          {"hand_no", kId},
          {"position", kId},
          {"name", "TEXT NOT NULL"},
          {"seat", "INTEGER"},
          {"change", kId}},
         "PRIMARY KEY (game_id, hand_no, position), "
         "FOREIGN KEY (game_id, hand_no) REFERENCES hands, "
         "FOREIGN KEY (game_id, seat) REFERENCES seats"},
    }};
    return tables;
}

const std::vector<ExportIndex>& exportIndexes() {
    static const std::vector<ExportIndex> indexes{
        {"games_start_time", "games", "start_time"},
        {"seats_name", "seats", "name"},
    };
    return indexes;
}

std::string tenthsText(int tenths) {
    const int whole = std::abs(tenths / 10);
    const int tenth = std::abs(tenths % 10);
    return (tenths < 0 ? "-" : "") + std::to_string(whole) + "." + std::to_string(tenth);
}

namespace {

template <typename T> void optional(RowSink& sink, const std::optional<T>& value) {
    if (value) {
        sink.integer(*value);
    } else {
        sink.null();
    }
}

void optionalText(RowSink& sink, const std::optional<std::string>& cp932) {
    if (cp932) {
        sink.text(cp932ToUtf8(*cp932));
    } else {
        sink.null();
    }
}

} // namespace

void emitGameRows(const GameFacts& game, RowSink& sink) {
    sink.beginRow(ExportTable::Games);
    sink.integer(game.number);
    optionalText(sink, game.start);
    sink.text(cp932ToUtf8(game.startRaw));
    optionalText(sink, game.end);
    sink.text(cp932ToUtf8(game.endRaw));
    sink.text(cp932ToUtf8(game.table));
    sink.integer(game.playerCount);
    sink.integer(game.aborted ? 1 : 0);
    sink.integer(static_cast<long long>(game.hands.size()));
    sink.text(cp932ToUtf8(game.playerLine));
    sink.endRow();

    // Names recur in every hand: convert each seat's once.
    std::vector<std::string> seatNames;
    seatNames.reserve(game.seats.size());
    for (const SeatFacts& seat : game.seats) {
        seatNames.push_back(cp932ToUtf8(seat.name));
        sink.beginRow(ExportTable::Seats);
        sink.integer(game.number);
        sink.integer(seat.seat);
        sink.text(seatNames.back());
        optional(sink, seat.rating);
        sink.text(cp932ToUtf8(seat.raw));
        const PlacingFacts* placing = findPlacing(game, seat.name);
        if (placing) {
            optional(sink, placing->place);
            if (placing->scoreTenths) {
                sink.tenths(*placing->scoreTenths);
            } else {
                sink.null();
            }
            optional(sink, placing->points);
            sink.text(cp932ToUtf8(placing->raw));
        } else {
            for (int i = 0; i < 4; ++i) {
                sink.null();
            }
        }
        sink.endRow();
    }

    for (const HandFacts& hand : game.hands) {
        sink.beginRow(ExportTable::Hands);
        sink.integer(game.number);
        sink.integer(hand.number);
        sink.text(cp932ToUtf8(hand.title));
        optionalText(sink, hand.wind);
        optional(sink, hand.round);
        optional(sink, hand.honba);
        optional(sink, hand.riichiSticks);
        sink.integer(hand.draw ? 1 : 0);
        sink.text(cp932ToUtf8(hand.result));
        sink.integer(hand.resultParsed ? 1 : 0);
        sink.text(cp932ToUtf8(hand.yaku));
        sink.endRow();
    }

    for (const HandFacts& hand : game.hands) {
        int position = 0;
        for (const PointChange& change : hand.changes) {
            sink.beginRow(ExportTable::Deltas);
            sink.integer(game.number);
            sink.integer(hand.number);
            sink.integer(++position);
            const SeatFacts* seat = findSeat(game, change.name);
            if (seat) {
                sink.text(seatNames[static_cast<std::size_t>(seat - game.seats.data())]);
                sink.integer(seat->seat);
            } else {
                sink.text(cp932ToUtf8(change.name));
                sink.null();
            }
            sink.integer(change.change);
            sink.endRow();
        }
    }
}
