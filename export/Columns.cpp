// The catalogue of columns, and the walks that write a half-game's rows, JSON and list row.
#include "export/Columns.h"

#include <array>
#include <charconv>
#include <optional>
#include <stdexcept>

#include "text/Encoding.h"

void appendInteger(std::string& out, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

void FieldSink::beginArray() {
    throw std::logic_error("a column of the tables holds one value, not a list");
}

void FieldSink::endArray() {
    throw std::logic_error("a column of the tables holds one value, not a list");
}

namespace {

// The texts of one half-game converted to UTF-8 in a single call: a call of the converter
// costs far more than its bytes. Each output is walked twice in the same order: once to
// collect the CP932 texts, once to write them converted.
class Texts {
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
    // The same for a text that recurs (a seat's name, in each point change): taken once.
    std::string_view share(std::string_view cp932) {
        for (const auto& [source, utf8] : shared_) {
            if (source == cp932.data()) {
                return utf8;
            }
        }
        shared_.emplace_back(cp932.data(), take(cp932));
        return shared_.back().second;
    }
    void convert() {
        utf8_ = cp932ToUtf8(cp932_);
        collecting_ = false;
        shared_.clear();
    }

  private:
    bool collecting_ = true;
    std::string cp932_, utf8_;
    std::size_t next_ = 0;
    std::vector<std::pair<const char*, std::string_view>> shared_;
};

// Where a column reads its value: the half-game and the rows that hold the one written.
struct Row {
    const GameFacts* game = nullptr;
    const SeatFacts* seat = nullptr;
    const PlacingFacts* placing = nullptr;
    const HandFacts* hand = nullptr;
    const PointChange* change = nullptr;
    std::size_t index = 0; // its place among the rows of its kind under the same parent
    Texts* texts = nullptr;

    std::string_view utf8(std::string_view cp932) const { return texts->take(cp932); }
    // A seat's name: the one text for each of its rows.
    std::string_view name(const SeatFacts& seat) const { return texts->share(seat.name); }
};

using Getter = void (*)(const Row&, ValueSink&);

enum class RowKind { Game, Seat, Placing, Hand, Change, Yaku, Tenpai };
constexpr std::size_t kKindCount = 7;

enum class Form {
    Value,  // one value; a list only in JSON
    Spread, // a list: in the tables the columns NAME_1 to NAME_4, NULL past its end
    Rows,   // the rows of another kind: a JSON array, and in the tables a table of their own
    Embed,  // tables only: the columns of the one row of another kind that select finds
};

struct Column {
    const char* sql;  // its name in the tables; null: not there
    const char* type; // its SQL type and constraints
    const char* json; // its key in JSON; null: not there
    const char* list; // its name in list --format csv; null: not there
    Getter get;       // Value and Spread
    Form form = Form::Value;
    RowKind rows = RowKind::Game;   // Rows and Embed: the kind of the rows
    bool (*select)(Row&) = nullptr; // Embed: finds the row; false if there is none
};

struct Kind {
    const char* table; // null: no table of its own
    const char* keys;  // its SQL table constraints
    std::vector<Column> columns;
    // The rows of this kind under a parent row: how many (absent: the list is null), and
    // the one at row.index.
    std::optional<std::size_t> (*count)(const Row& parent);
    void (*at)(Row& row);
    // list --format csv: the row's slot, 1 to 4 (seatN_, placeN_); null: not in list.
    int (*slot)(const Row& row);
    // JSON: each row is the value of its one JSON column rather than an object.
    bool jsonValue;
};

const char* const kKey = "INTEGER NOT NULL";
const char* const kInt = "INTEGER";
const char* const kText = "TEXT";
const char* const kTextNN = "TEXT NOT NULL";

// A fact whose place differs between the tables and JSON has an entry at each place,
// both with one of these getters.
void handDraw(const Row& r, ValueSink& s) {
    s.flag(r.hand->draw);
}
void changeSeat(const Row& r, ValueSink& s) {
    if (r.change->seat) {
        s.integer(*r.change->seat);
    } else {
        s.null();
    }
}

template <typename T> void optionalValue(ValueSink& s, const std::optional<T>& value) {
    if (value) {
        s.integer(*value);
    } else {
        s.null();
    }
}

template <typename Text>
void optionalText(const Row& r, ValueSink& s, const std::optional<Text>& cp932) {
    if (cp932) {
        s.text(r.utf8(*cp932));
    } else {
        s.null();
    }
}

void texts(const Row& r, ValueSink& s, const std::vector<std::string_view>& cp932) {
    s.beginArray();
    for (std::string_view text : cp932) {
        s.text(r.utf8(text));
    }
    s.endArray();
}

const char* kindName(HandKind kind) {
    switch (kind) {
    case HandKind::Ron:
        return "ron";
    case HandKind::Tsumo:
        return "tsumo";
    case HandKind::Win:
        return "win";
    case HandKind::Draw:
        return "draw";
    case HandKind::Other:
        break;
    }
    return "other";
}

const char* roleName(ChangeRole role) {
    switch (role) {
    case ChangeRole::Win:
        return "win";
    case ChangeRole::DealIn:
        return "deal_in";
    case ChangeRole::TsumoPayment:
        return "tsumo_payment";
    case ChangeRole::DrawPayment:
        return "draw_payment";
    case ChangeRole::DrawReceipt:
        return "draw_receipt";
    case ChangeRole::Other:
        break;
    }
    return "other";
}

// As the result line writes it, which is its seat's name when it has one.
void changeName(const Row& r, ValueSink& s) {
    for (const SeatFacts& seat : r.game->seats) {
        if (r.change->seat == seat.seat) {
            s.text(r.name(seat));
            return;
        }
    }
    s.text(r.utf8(r.change->name));
}

void gameNumber(const Row& r, ValueSink& s) {
    s.integer(r.game->number);
}

void handNumber(const Row& r, ValueSink& s) {
    s.integer(r.hand->number);
}

// A row's place among the rows of its kind under its hand, from 1.
void positionNumber(const Row& r, ValueSink& s) {
    s.integer(static_cast<long long>(r.index) + 1);
}

using R = const Row&;
using S = ValueSink&;

// In the order of RowKind. Each column: its name in the tables, SQL type, JSON key, name in
// list --format csv, and getter.
const std::array<Kind, kKindCount> kCatalogue{{
        // RowKind::Game
        {"games",
         "",
         {
             {"game_id", "INTEGER PRIMARY KEY", "number", "number", gameNumber},
             // list: the log's own text when the time does not read.
             {nullptr, nullptr, nullptr, "start",
              [](R r, S s) { s.text(r.utf8(r.game->start ? *r.game->start : r.game->startRaw)); }},
             {"start_time", kText, "start", nullptr,
              [](R r, S s) { optionalText(r, s, r.game->start); }},
             {"start_raw", kTextNN, "startRaw", nullptr,
              [](R r, S s) { s.text(r.utf8(r.game->startRaw)); }},
             {nullptr, nullptr, nullptr, "end",
              [](R r, S s) { s.text(r.utf8(r.game->end ? *r.game->end : r.game->endRaw)); }},
             {"end_time", kText, "end", nullptr, [](R r, S s) { optionalText(r, s, r.game->end); }},
             {"end_raw", kTextNN, "endRaw", nullptr,
              [](R r, S s) { s.text(r.utf8(r.game->endRaw)); }},
             {"table_name", kTextNN, "table", "table",
              [](R r, S s) { s.text(r.utf8(r.game->table)); }},
             {"player_count", kKey, "playerCount", "players",
              [](R r, S s) { s.integer(r.game->playerCount); }},
             {"aborted", kKey, "aborted", "aborted", [](R r, S s) { s.flag(r.game->aborted); }},
             {"hand_count", kKey, nullptr, nullptr,
              [](R r, S s) { s.integer(static_cast<long long>(r.game->hands.size())); }},
             {"player_line", kTextNN, "playerLine", nullptr,
              [](R r, S s) { s.text(r.utf8(r.game->playerLine)); }},
             {nullptr, nullptr, "seats", "seat", nullptr, Form::Rows, RowKind::Seat},
             {nullptr, nullptr, "placings", "place", nullptr, Form::Rows, RowKind::Placing},
             {nullptr, nullptr, "hands", nullptr, nullptr, Form::Rows, RowKind::Hand},
             {"start_points", kInt, "startPoints", "start_points",
              [](R r, S s) { optionalValue(s, r.game->startPoints); }},
         },
         nullptr,
         nullptr,
         nullptr,
         false},
        // RowKind::Seat
        {"seats",
         "PRIMARY KEY (game_id, seat), FOREIGN KEY (game_id) REFERENCES games",
         {
             {"game_id", kKey, nullptr, nullptr, gameNumber},
             {"seat", kKey, "seat", nullptr, [](R r, S s) { s.integer(r.seat->seat); }},
             {"name", kTextNN, "name", "name", [](R r, S s) { s.text(r.name(*r.seat)); }},
             {"rating", kInt, "rating", "rating",
              [](R r, S s) { optionalValue(s, r.seat->rating); }},
             {"entry_raw", kTextNN, "raw", nullptr, [](R r, S s) { s.text(r.utf8(r.seat->raw)); }},
             // The placing of the seat's name: NULL in an aborted half-game.
             {nullptr, nullptr, nullptr, nullptr, nullptr, Form::Embed, RowKind::Placing,
              [](Row& r) { return (r.placing = findPlacing(*r.game, r.seat->name)) != nullptr; }},
             // Not known without running points: null rather than a guess.
             {"bust", kInt, "bust", nullptr, [](R r, S s) {
                  if (r.game->startPoints) {
                      s.flag(r.seat->bust);
                  } else {
                      s.null();
                  }
              }},
         },
         [](R parent) { return std::optional<std::size_t>(parent.game->seats.size()); },
         [](Row& r) { r.seat = &r.game->seats[r.index]; },
         [](R r) { return r.seat->seat; },
         false},
        // RowKind::Placing
        {nullptr,
         "",
         {
             {"place", kInt, "place", nullptr,
              [](R r, S s) { optionalValue(s, r.placing->place); }},
             {nullptr, nullptr, "name", "name", [](R r, S s) { s.text(r.utf8(r.placing->name)); }},
             {"score", "REAL", "score", "score", [](R r, S s) {
                  if (r.placing->scoreTenths) {
                      s.tenths(*r.placing->scoreTenths);
                  } else {
                      s.null();
                  }
              }},
             {"points", kInt, "points", "points",
              [](R r, S s) { optionalValue(s, r.placing->points); }},
             {"placing_raw", kText, "raw", nullptr,
              [](R r, S s) { s.text(r.utf8(r.placing->raw)); }},
         },
         [](R parent) { return std::optional<std::size_t>(parent.game->placings.size()); },
         [](Row& r) { r.placing = &r.game->placings[r.index]; },
         [](R r) { return static_cast<int>(r.index) + 1; },
         false},
        // RowKind::Hand
        {"hands",
         "PRIMARY KEY (game_id, hand_no), FOREIGN KEY (game_id) REFERENCES games",
         {
             {"game_id", kKey, nullptr, nullptr, gameNumber},
             {"hand_no", kKey, "number", nullptr, handNumber},
             {"title", kTextNN, "title", nullptr, [](R r, S s) { s.text(r.utf8(r.hand->title)); }},
             {"wind", kText, "wind", nullptr, [](R r, S s) { optionalText(r, s, r.hand->wind); }},
             {"round", kInt, "round", nullptr, [](R r, S s) { optionalValue(s, r.hand->round); }},
             {"honba", kInt, "honba", nullptr, [](R r, S s) { optionalValue(s, r.hand->honba); }},
             {"riichi_sticks", kInt, "riichiSticks", nullptr,
              [](R r, S s) { optionalValue(s, r.hand->riichiSticks); }},
             {"draw", kKey, nullptr, nullptr, handDraw},
             {"result", kTextNN, "result", nullptr,
              [](R r, S s) { s.text(r.utf8(r.hand->result)); }},
             {"result_parsed", kKey, "resultParsed", nullptr,
              [](R r, S s) { s.flag(r.hand->resultParsed); }},
             {nullptr, nullptr, "changes", nullptr, nullptr, Form::Rows, RowKind::Change},
             {nullptr, nullptr, "draw", nullptr, handDraw},
             {nullptr, nullptr, "winners", nullptr, [](R r, S s) { texts(r, s, r.hand->winners); }},
             {nullptr, nullptr, "payers", nullptr, [](R r, S s) { texts(r, s, r.hand->payers); }},
             {"yaku", kTextNN, "yaku", nullptr, [](R r, S s) { s.text(r.utf8(r.hand->yaku)); }},
             {nullptr, nullptr, "yakuTokens", nullptr,
              [](R r, S s) { texts(r, s, r.hand->yakuTokens); }},
             {"dealer_seat", kInt, "dealer", nullptr,
              [](R r, S s) { optionalValue(s, r.hand->dealer); }},
             {"kind", kText, "kind", nullptr, [](R r, S s) {
                  if (r.hand->kind) {
                      s.text(kindName(*r.hand->kind));
                  } else {
                      s.null();
                  }
              }},
             {"fu", kInt, "fu", nullptr, [](R r, S s) { optionalValue(s, r.hand->fu); }},
             {"han", kInt, "han", nullptr, [](R r, S s) { optionalValue(s, r.hand->han); }},
             {"limit_name", kText, "limit", nullptr,
              [](R r, S s) { optionalText(r, s, r.hand->limit); }},
             {nullptr, nullptr, "yakuNames", nullptr, nullptr, Form::Rows, RowKind::Yaku},
             {"dora", kKey, "dora", nullptr, [](R r, S s) { s.integer(r.hand->dora); }},
             {"ura", kKey, "ura", nullptr, [](R r, S s) { s.integer(r.hand->ura); }},
             {"aka", kKey, "aka", nullptr, [](R r, S s) { s.integer(r.hand->aka); }},
             // The tenpai table cannot tell "none in tenpai" from "not known": this can.
             {"tenpai_count", kInt, nullptr, nullptr, [](R r, S s) {
                  if (r.hand->tenpai) {
                      s.integer(static_cast<long long>(r.hand->tenpai->size()));
                  } else {
                      s.null();
                  }
              }},
             {nullptr, nullptr, "tenpai", nullptr, nullptr, Form::Rows, RowKind::Tenpai},
             {"winner_riichi", kInt, "winnerRiichi", nullptr, [](R r, S s) {
                  if (r.hand->winnerRiichi) {
                      s.flag(*r.hand->winnerRiichi);
                  } else {
                      s.null();
                  }
              }},
             {"points", kInt, "pointsAfter", nullptr,
              [](R r, S s) {
                  if (r.hand->pointsAfter.empty()) {
                      s.null();
                      return;
                  }
                  s.beginArray();
                  for (long long points : r.hand->pointsAfter) {
                      s.integer(points);
                  }
                  s.endArray();
              },
              Form::Spread},
         },
         [](R parent) { return std::optional<std::size_t>(parent.game->hands.size()); },
         [](Row& r) { r.hand = &r.game->hands[r.index]; },
         nullptr,
         false},
        // RowKind::Change
        {"deltas",
         "PRIMARY KEY (game_id, hand_no, position), "
         "FOREIGN KEY (game_id, hand_no) REFERENCES hands, "
         "FOREIGN KEY (game_id, seat) REFERENCES seats",
         {
             {"game_id", kKey, nullptr, nullptr, gameNumber},
             {"hand_no", kKey, nullptr, nullptr, handNumber},
             {"position", kKey, nullptr, nullptr, positionNumber},
             {"name", kTextNN, "name", nullptr, [](R r, S s) { changeName(r, s); }},
             {"seat", kInt, nullptr, nullptr, changeSeat},
             {"change", kKey, "change", nullptr, [](R r, S s) { s.integer(r.change->change); }},
             {nullptr, nullptr, "seat", nullptr, changeSeat},
             {"role", kTextNN, "role", nullptr, [](R r, S s) { s.text(roleName(r.change->role)); }},
         },
         [](R parent) { return std::optional<std::size_t>(parent.hand->changes.size()); },
         [](Row& r) { r.change = &r.hand->changes[r.index]; },
         nullptr,
         false},
        // RowKind::Yaku
        {"yaku",
         "PRIMARY KEY (game_id, hand_no, position), "
         "FOREIGN KEY (game_id, hand_no) REFERENCES hands",
         {
             {"game_id", kKey, nullptr, nullptr, gameNumber},
             {"hand_no", kKey, nullptr, nullptr, handNumber},
             {"position", kKey, nullptr, nullptr, positionNumber},
             {"name", kTextNN, "name", nullptr,
              [](R r, S s) { s.text(r.utf8(r.hand->yakuNames[r.index])); }},
         },
         [](R parent) { return std::optional<std::size_t>(parent.hand->yakuNames.size()); },
         [](Row&) {},
         nullptr,
         true},
        // RowKind::Tenpai
        {"tenpai",
         "PRIMARY KEY (game_id, hand_no, seat), "
         "FOREIGN KEY (game_id, hand_no) REFERENCES hands, "
         "FOREIGN KEY (game_id, seat) REFERENCES seats",
         {
             {"game_id", kKey, nullptr, nullptr, gameNumber},
             {"hand_no", kKey, nullptr, nullptr, handNumber},
             {"seat", kKey, "seat", nullptr,
              [](R r, S s) { s.integer((*r.hand->tenpai)[r.index]); }},
         },
         [](R parent) {
             return parent.hand->tenpai ? std::optional<std::size_t>(parent.hand->tenpai->size())
                                        : std::nullopt;
         },
         [](Row&) {},
         nullptr,
         true},
}};

const Kind& kindOf(RowKind kind) {
    return kCatalogue[static_cast<std::size_t>(kind)];
}

// Visits each row of kind under parent, with its own pointer set.
template <typename Visit> void forEachRow(RowKind kind, const Row& parent, Visit visit) {
    const Kind& info = kindOf(kind);
    const std::optional<std::size_t> count = info.count(parent);
    for (std::size_t i = 0; count && i < *count; ++i) {
        Row row = parent;
        row.index = i;
        info.at(row);
        visit(row);
    }
}

// ---- The tables ----

// What the tables take of a kind, worked out once: its table (its index in exportTables()),
// the columns that fill its rows, and the columns of its child rows that have a table.
struct TablePlan {
    std::optional<std::size_t> table;
    std::vector<const Column*> fields;
    std::vector<const Column*> children;
};

const std::array<TablePlan, kKindCount>& tablePlans() {
    static const auto plans = [] {
        std::array<TablePlan, kKindCount> out;
        std::size_t next = 0;
        for (std::size_t i = 0; i < kKindCount; ++i) {
            if (kCatalogue[i].table) {
                out[i].table = next++;
            }
            for (const Column& column : kCatalogue[i].columns) {
                if (column.form == Form::Rows && kindOf(column.rows).table) {
                    out[i].children.push_back(&column);
                } else if (column.form != Form::Rows &&
                           (column.sql || column.form == Form::Embed)) {
                    out[i].fields.push_back(&column);
                }
            }
        }
        return out;
    }();
    return plans;
}

// A list's values spread over the columns NAME_1 to NAME_4.
class SpreadSink : public ValueSink {
  public:
    explicit SpreadSink(FieldSink& fields) : fields_(fields) {}
    void null() override {
        if (!inArray_) {
            filled_ = 0; // the whole list is absent
        } else if (filled_++ < kPlacingCount) {
            fields_.null();
        }
    }
    void integer(long long value) override {
        if (filled_++ < kPlacingCount) {
            fields_.integer(value);
        }
    }
    void tenths(long long value) override {
        if (filled_++ < kPlacingCount) {
            fields_.tenths(value);
        }
    }
    void text(std::string_view utf8) override {
        if (filled_++ < kPlacingCount) {
            fields_.text(utf8);
        }
    }
    void flag(bool value) override {
        if (filled_++ < kPlacingCount) {
            fields_.flag(value);
        }
    }
    void beginArray() override { inArray_ = true; }
    void endArray() override { inArray_ = false; }
    // NULL in the columns the list did not reach.
    void finish() {
        for (int i = filled_; i < kPlacingCount; ++i) {
            fields_.null();
        }
    }

  private:
    FieldSink& fields_;
    int filled_ = 0;
    bool inArray_ = false;
};

void tableFields(const Column& column, const Row& row, FieldSink& fields) {
    switch (column.form) {
    case Form::Value:
        column.get(row, fields);
        break;
    case Form::Spread: {
        SpreadSink spread(fields);
        column.get(row, spread);
        spread.finish();
        break;
    }
    case Form::Embed: {
        Row inner = row;
        const bool found = column.select(inner);
        for (const Column& c : kindOf(column.rows).columns) {
            if (c.sql && found) {
                c.get(inner, fields);
            } else if (c.sql) {
                fields.null();
            }
        }
        break;
    }
    case Form::Rows:
        break;
    }
}

void tableRows(const std::array<TablePlan, kKindCount>& plans, RowKind kind, const Row& row,
               TableSink& sink) {
    const TablePlan& plan = plans[static_cast<std::size_t>(kind)];
    if (plan.table) {
        FieldSink& fields = sink.beginRow(*plan.table);
        for (const Column* column : plan.fields) {
            tableFields(*column, row, fields);
        }
        sink.endRow();
    }
    for (const Column* column : plan.children) {
        forEachRow(column->rows, row,
                   [&](const Row& child) { tableRows(plans, column->rows, child, sink); });
    }
}

class NoFields : public FieldSink {
  public:
    void null() override {}
    void integer(long long) override {}
    void tenths(long long) override {}
    void text(std::string_view) override {}
    void flag(bool) override {}
};

class NoTables : public TableSink {
  public:
    FieldSink& beginRow(std::size_t) override { return fields_; }
    void endRow() override {}

  private:
    NoFields fields_;
};

// Runs write twice over game: once to collect its texts, once into out, converted.
template <typename Write, typename Sink>
void twice(const GameFacts& game, Sink& none, Sink& out, Write write) {
    Texts texts;
    Row row;
    row.game = &game;
    row.texts = &texts;
    write(row, none);
    texts.convert();
    write(row, out);
}

// ---- JSON ----

class NoJson : public JsonSink {
  public:
    void null() override {}
    void integer(long long) override {}
    void tenths(long long) override {}
    void text(std::string_view) override {}
    void flag(bool) override {}
    void beginArray() override {}
    void endArray() override {}
    void beginObject() override {}
    void key(const char*) override {}
    void endObject() override {}
};

void jsonObject(RowKind kind, const Row& row, bool withHands, JsonSink& sink);

void jsonValue(const Column& column, const Row& row, bool withHands, JsonSink& sink) {
    if (column.form != Form::Rows) {
        column.get(row, sink);
        return;
    }
    const Kind& info = kindOf(column.rows);
    if (!info.count(row)) {
        sink.null();
        return;
    }
    sink.beginArray();
    forEachRow(column.rows, row, [&](const Row& child) {
        if (!info.jsonValue) {
            jsonObject(column.rows, child, withHands, sink);
            return;
        }
        for (const Column& c : info.columns) {
            if (c.json) {
                c.get(child, sink);
            }
        }
    });
    sink.endArray();
}

void jsonObject(RowKind kind, const Row& row, bool withHands, JsonSink& sink) {
    sink.beginObject();
    for (const Column& column : kindOf(kind).columns) {
        const bool hands = column.form == Form::Rows && column.rows == RowKind::Hand;
        if (column.json && (withHands || !hands)) {
            sink.key(column.json);
            jsonValue(column, row, withHands, sink);
        }
    }
    sink.endObject();
}

// ---- list --format csv ----

// The fields of one row in the slot's columns (empty when there is no row in it).
void listSlot(const Column& rows, const Row& game, int slot, FieldSink& fields) {
    std::optional<Row> found;
    forEachRow(rows.rows, game, [&](const Row& child) {
        if (kindOf(rows.rows).slot(child) == slot) {
            found = child; // the last row in the slot, as list always took it
        }
    });
    for (const Column& c : kindOf(rows.rows).columns) {
        if (c.list && found) {
            c.get(*found, fields);
        } else if (c.list) {
            fields.null();
        }
    }
}

void listFields(const Row& game, FieldSink& fields) {
    for (const Column& column : kindOf(RowKind::Game).columns) {
        if (!column.list) {
            continue;
        }
        if (column.form != Form::Rows) {
            column.get(game, fields);
            continue;
        }
        for (int slot = 1; slot <= kPlacingCount; ++slot) {
            listSlot(column, game, slot, fields);
        }
    }
}

} // namespace

const std::vector<ExportTableInfo>& exportTables() {
    static const std::vector<ExportTableInfo> tables = [] {
        std::vector<ExportTableInfo> out;
        for (const Kind& kind : kCatalogue) {
            if (!kind.table) {
                continue;
            }
            ExportTableInfo table{kind.table, {}, kind.keys};
            for (const Column& column : kind.columns) {
                if (column.form == Form::Value && column.sql) {
                    table.columns.push_back({column.sql, column.type});
                } else if (column.form == Form::Spread) {
                    for (int n = 1; n <= kPlacingCount; ++n) {
                        table.columns.push_back(
                            {std::string(column.sql) + "_" + std::to_string(n), column.type});
                    }
                } else if (column.form == Form::Embed) {
                    for (const Column& c : kindOf(column.rows).columns) {
                        if (c.sql) {
                            table.columns.push_back({c.sql, c.type});
                        }
                    }
                }
            }
            out.push_back(std::move(table));
        }
        return out;
    }();
    return tables;
}

const std::vector<ExportIndex>& exportIndexes() {
    static const std::vector<ExportIndex> indexes{
        {"games_start_time", "games", "start_time"},
        {"seats_name", "seats", "name"},
    };
    return indexes;
}

void writeTableRows(const GameFacts& game, TableSink& sink) {
    NoTables none;
    const auto& plans = tablePlans();
    const auto write = [&plans](const Row& row, TableSink& out) {
        tableRows(plans, RowKind::Game, row, out);
    };
    TableSink& noneSink = none;
    twice(game, noneSink, sink, write);
}

void writeGameJson(const GameFacts& game, bool withHands, JsonSink& sink) {
    NoJson none;
    JsonSink& noneSink = none;
    twice(game, noneSink, sink, [withHands](const Row& row, JsonSink& out) {
        jsonObject(RowKind::Game, row, withHands, out);
    });
}

std::vector<std::string> listCsvHeader() {
    std::vector<std::string> header;
    for (const Column& column : kindOf(RowKind::Game).columns) {
        if (!column.list) {
            continue;
        }
        if (column.form != Form::Rows) {
            header.emplace_back(column.list);
            continue;
        }
        for (int slot = 1; slot <= kPlacingCount; ++slot) {
            for (const Column& c : kindOf(column.rows).columns) {
                if (c.list) {
                    header.push_back(column.list + std::to_string(slot) + "_" + c.list);
                }
            }
        }
    }
    return header;
}

void writeListCsvRow(const GameFacts& game, FieldSink& sink) {
    NoFields none;
    FieldSink& noneSink = none;
    twice(game, noneSink, sink, [](const Row& row, FieldSink& out) { listFields(row, out); });
}
