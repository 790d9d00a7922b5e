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

// The texts of one game converted to UTF-8 in a single call: a call of the converter
// costs far more than its bytes. The rows are walked twice in the same order: once to
// collect the CP932 texts, once to emit them converted.
class GameTexts {
  public:
    // First walk: remembers the text. Second walk: the next converted text.
    std::string_view take(std::string_view cp932) {
        if (collecting_) {
            // NUL never occurs in a record's texts, nor inside a UTF-8 sequence.
            cp932_.append(cp932);
            cp932_ += '\0';
            return {};
        }
        const std::size_t end = utf8_.find('\0', next_);
        const std::string_view text(utf8_.data() + next_, end - next_);
        next_ = end + 1;
        return text;
    }
    void convert() {
        utf8_ = cp932ToUtf8(cp932_);
        collecting_ = false;
    }

  private:
    bool collecting_ = true;
    std::string cp932_, utf8_;
    std::size_t next_ = 0;
};

// Drops the rows of the collecting walk.
class NoRows : public RowSink {
    void beginRow(ExportTable) override {}
    void null() override {}
    void integer(long long) override {}
    void tenths(int) override {}
    void text(std::string_view) override {}
    void endRow() override {}
};

template <typename T> void optional(RowSink& sink, const std::optional<T>& value) {
    if (value) {
        sink.integer(*value);
    } else {
        sink.null();
    }
}

template <typename Text>
void optionalText(RowSink& sink, GameTexts& texts, const std::optional<Text>& cp932) {
    if (cp932) {
        sink.text(texts.take(*cp932));
    } else {
        sink.null();
    }
}

void emitRows(const GameFacts& game, RowSink& sink, GameTexts& texts) {
    sink.beginRow(ExportTable::Games);
    sink.integer(game.number);
    optionalText(sink, texts, game.start);
    sink.text(texts.take(game.startRaw));
    optionalText(sink, texts, game.end);
    sink.text(texts.take(game.endRaw));
    sink.text(texts.take(game.table));
    sink.integer(game.playerCount);
    sink.integer(game.aborted ? 1 : 0);
    sink.integer(static_cast<long long>(game.hands.size()));
    sink.text(texts.take(game.playerLine));
    sink.endRow();

    // The names recur in every hand: the point changes reuse the seats' texts.
    std::vector<std::string_view> seatNames;
    seatNames.reserve(game.seats.size());
    for (const SeatFacts& seat : game.seats) {
        seatNames.push_back(texts.take(seat.name));
        sink.beginRow(ExportTable::Seats);
        sink.integer(game.number);
        sink.integer(seat.seat);
        sink.text(seatNames.back());
        optional(sink, seat.rating);
        sink.text(texts.take(seat.raw));
        const PlacingFacts* placing = findPlacing(game, seat.name);
        if (placing) {
            optional(sink, placing->place);
            if (placing->scoreTenths) {
                sink.tenths(*placing->scoreTenths);
            } else {
                sink.null();
            }
            optional(sink, placing->points);
            sink.text(texts.take(placing->raw));
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
        sink.text(texts.take(hand.title));
        optionalText(sink, texts, hand.wind);
        optional(sink, hand.round);
        optional(sink, hand.honba);
        optional(sink, hand.riichiSticks);
        sink.integer(hand.draw ? 1 : 0);
        sink.text(texts.take(hand.result));
        sink.integer(hand.resultParsed ? 1 : 0);
        sink.text(texts.take(hand.yaku));
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
                sink.text(texts.take(change.name));
                sink.null();
            }
            sink.integer(change.change);
            sink.endRow();
        }
    }
}

} // namespace

void emitGameRows(const GameFacts& game, RowSink& sink) {
    GameTexts texts;
    NoRows none;
    emitRows(game, none, texts);
    texts.convert();
    emitRows(game, sink, texts);
}
