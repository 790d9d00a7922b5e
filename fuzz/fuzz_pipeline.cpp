// Fuzz target: arbitrary bytes as a log through the command's whole pipeline. Each input
// is decoded as a log file is, read with and without salvage, and every half-game kept is
// taken through its facts, the rows of the tables (CSV fields and an in-memory SQLite
// database), its JSON and its list row; then every player's figures, the stats tables
// and JSON, and the report page. The counts of each must agree with the facts.
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/Figures.h"
#include "analysis/GameFacts.h"
#include "analysis/GameSelection.h"
#include "analysis/LogSet.h"
#include "analysis/NewestGames.h"
#include "analysis/Stats.h"
#include "cli/StatsOutput.h"
#include "export/Columns.h"
#include "export/Csv.h"
#include "export/JsonWriter.h"
// After JsonWriter.h, which includes RapidJSON's stack as UBSan can take it; as there.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("pointer-overflow"))), apply_to = function)
#endif
#include <rapidjson/document.h>
#if defined(__clang__)
#pragma clang attribute pop
#endif
#include "fuzz/ReferenceTexts.h"
#include "report/ReportPage.h"
#include "text/Encoding.h"

namespace {

// The tables of the export, by their index in exportTables().
enum Table : std::size_t { Games, Seats, Hands, Deltas, Yaku, Tenpai, kTables };
const char* const kTableNames[kTables] = {"games", "seats", "hands", "deltas", "yaku", "tenpai"};

// The database of the SQLite export, in memory, made once; each input's rows are
// inserted in a transaction that is rolled back.
class MemoryDatabase {
  public:
    MemoryDatabase() {
        require(sqlite3_open(":memory:", &db_) == SQLITE_OK, "sqlite open");
        for (const ExportTableInfo& table : exportTables()) {
            // The schema of the SQLite export: its keys catch a row written twice.
            std::string create = std::string("CREATE TABLE ") + table.name + " (";
            std::string insert = std::string("INSERT INTO ") + table.name + " VALUES (";
            for (std::size_t i = 0; i < table.columns.size(); ++i) {
                create += (i ? ", " : "") + table.columns[i].name + " " + table.columns[i].sqlType;
                insert += i ? ",?" : "?";
            }
            create += *table.keys ? std::string(", ") + table.keys + ") WITHOUT ROWID" : ")";
            execute(create);
            sqlite3_stmt* statement = nullptr;
            require(sqlite3_prepare_v2(db_, (insert + ")").c_str(), -1, &statement, nullptr) ==
                        SQLITE_OK,
                    "sqlite prepare");
            inserts_.push_back(statement);
            columns_.push_back(static_cast<int>(table.columns.size()));
            std::string countSql = std::string("SELECT count(*) FROM ") + table.name;
            require(sqlite3_prepare_v2(db_, countSql.c_str(), -1, &statement, nullptr) == SQLITE_OK,
                    "sqlite prepare count");
            counts_.push_back(statement);
        }
    }
    void execute(const std::string& sql) {
        require(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK,
                sqlite3_errmsg(db_));
    }
    sqlite3_stmt* insert(std::size_t table) { return inserts_.at(table); }
    int columns(std::size_t table) const { return columns_.at(table); }
    long long count(std::size_t table) {
        sqlite3_stmt* statement = counts_.at(table);
        require(sqlite3_step(statement) == SQLITE_ROW, "sqlite count");
        const long long n = sqlite3_column_int64(statement, 0);
        sqlite3_reset(statement);
        return n;
    }

  private:
    sqlite3* db_ = nullptr; // kept for the process, as the statements are
    std::vector<sqlite3_stmt*> inserts_, counts_;
    std::vector<int> columns_;
};

MemoryDatabase& database() {
    static MemoryDatabase db;
    return db;
}

// Each field given to the CSV writer and bound to the table's insert statement; counts
// the rows of each table and the fields of each row.
class RowChecker : public TableSink, private FieldSink {
  public:
    explicit RowChecker(MemoryDatabase& db) : db_(db) {}
    FieldSink& beginRow(std::size_t table) override {
        require(table < kTables, "a table past the known ones");
        table_ = table;
        field_ = 0;
        line_.clear();
        csv_.beginRow(line_);
        statement_ = db_.insert(table);
        return *this;
    }
    void endRow() override {
        csv_.endRow();
        require(field_ == db_.columns(table_), "a row's fields differ from its table's columns");
        require(sqlite3_step(statement_) == SQLITE_DONE, "a row the SQLite table refuses");
        sqlite3_reset(statement_);
        ++rows[table_];
    }
    long long rows[kTables] = {};

  private:
    int next() {
        require(field_ < db_.columns(table_), "more fields than columns");
        return ++field_;
    }
    void null() override {
        csv_.null();
        sqlite3_bind_null(statement_, next());
    }
    void integer(long long value) override {
        csv_.integer(value);
        sqlite3_bind_int64(statement_, next(), value);
    }
    void tenths(long long value) override {
        csv_.tenths(value);
        sqlite3_bind_double(statement_, next(), static_cast<double>(value) / 10.0);
    }
    void text(std::string_view utf8) override {
        csv_.text(utf8);
        require(isValidUtf8(utf8), "a text of the tables that is not UTF-8");
        sqlite3_bind_text(statement_, next(), utf8.data(), static_cast<int>(utf8.size()),
                          SQLITE_TRANSIENT);
    }
    void flag(bool value) override {
        csv_.flag(value);
        sqlite3_bind_int64(statement_, next(), value);
    }

    MemoryDatabase& db_;
    CsvFields csv_;
    std::string line_;
    std::size_t table_ = 0;
    int field_ = 0;
    sqlite3_stmt* statement_ = nullptr;
};

// Counts the fields of list's CSV row.
class FieldCounter : public FieldSink {
  public:
    void null() override { ++fields; }
    void integer(long long) override { ++fields; }
    void tenths(long long) override { ++fields; }
    void text(std::string_view) override { ++fields; }
    void flag(bool) override { ++fields; }
    std::size_t fields = 0;
};

bool hasSeat(const GameFacts& game, int seat) {
    return std::any_of(game.seats.begin(), game.seats.end(),
                       [&](const SeatFacts& s) { return s.seat == seat; });
}

// The facts of one half-game agree with its record and with themselves.
void checkFacts(const GameRecord& record, const GameFacts& game) {
    const auto players = static_cast<int>(tableSeats(game));
    require(players == record.playerCount && players >= 2, "table size");
    int last = 0;
    for (const SeatFacts& seat : game.seats) {
        require(seat.seat > last && seat.seat <= players, "seats out of order or past the table");
        last = seat.seat;
    }
    require(game.placings.size() == (game.aborted ? 0u : static_cast<std::size_t>(players)),
            "placings");
    require(game.hands.size() == record.hands.size(), "hand facts");
    bool pointsKnown = game.startPoints.has_value();
    if (pointsKnown) {
        require(game.seats.size() == static_cast<std::size_t>(players),
                "start points, seat missing");
    }
    for (const HandFacts& hand : game.hands) {
        require(!hand.dealer || (*hand.dealer >= 1 && *hand.dealer <= players), "dealer seat");
        for (const PointChange& change : hand.changes) {
            require(!change.seat || hasSeat(game, *change.seat), "change of no seat");
        }
        if (hand.tenpai) {
            require(std::is_sorted(hand.tenpai->begin(), hand.tenpai->end()), "tenpai order");
            require(std::adjacent_find(hand.tenpai->begin(), hand.tenpai->end()) ==
                        hand.tenpai->end(),
                    "tenpai twice");
            for (int seat : *hand.tenpai) {
                require(hasSeat(game, seat), "tenpai of no seat");
            }
        }
        require(hand.pointsAfter.size() == (pointsKnown ? game.seats.size() : 0u), "points after");
    }
    // Start points and busts read without the hands' facts are the same.
    GameFacts alone;
    readGameFacts(record, game.number, alone);
    readStartPoints(record, alone);
    require(alone.startPoints == game.startPoints, "start points with and without hands");
    require(alone.seats.size() == game.seats.size(), "seats with and without hands");
    for (std::size_t i = 0; i < game.seats.size(); ++i) {
        require(alone.seats[i].bust == game.seats[i].bust, "busts with and without hands");
    }
}

struct Totals {
    long long rows[kTables] = {};
    std::size_t seatings = 0; // distinct names seated, summed over the half-games
};

// The rows, JSON and list row of one half-game, counted against its facts.
void checkWriters(const GameFacts& game, RowChecker& rows, Totals& expected) {
    expected.rows[Games] += 1;
    expected.rows[Seats] += static_cast<long long>(game.seats.size());
    expected.rows[Hands] += static_cast<long long>(game.hands.size());
    for (const HandFacts& hand : game.hands) {
        expected.rows[Deltas] += static_cast<long long>(hand.changes.size());
        expected.rows[Yaku] += static_cast<long long>(hand.yakuNames.size());
        expected.rows[Tenpai] += hand.tenpai ? static_cast<long long>(hand.tenpai->size()) : 0;
    }
    std::set<std::string_view> names;
    for (const SeatFacts& seat : game.seats) {
        if (!seat.name.empty()) {
            names.insert(seat.name);
        }
    }
    expected.seatings += names.size();

    writeTableRows(game, rows);

    for (const bool withHands : {true, false}) {
        std::string json;
        StringOutput output(json);
        StringJsonWriter writer(output);
        JsonWriterSink<StringJsonWriter> sink(writer);
        writeGameJson(game, withHands, sink);
        rapidjson::Document doc;
        doc.Parse(json.data(), json.size());
        require(!doc.HasParseError() && doc.IsObject(), "a half-game's JSON does not parse");
        require(doc["seats"].Size() == game.seats.size(), "JSON seats");
        require(doc["placings"].Size() == game.placings.size(), "JSON placings");
        require(doc.HasMember("hands") == withHands, "JSON hands member");
        if (!withHands) {
            continue;
        }
        const auto& hands = doc["hands"];
        require(hands.Size() == game.hands.size(), "JSON hands");
        for (rapidjson::SizeType h = 0; h < hands.Size(); ++h) {
            const HandFacts& hand = game.hands[h];
            require(hands[h]["changes"].Size() == hand.changes.size(), "JSON changes");
            require(hands[h]["yakuNames"].Size() == hand.yakuNames.size(), "JSON yaku");
            require(hands[h]["tenpai"].IsNull() != hand.tenpai.has_value(), "JSON tenpai");
        }
    }

    static const std::size_t listColumns = listCsvHeader().size();
    FieldCounter list;
    writeListCsvRow(game, list);
    require(list.fields == listColumns, "list's CSV row differs from its header");
}

// A player's figures agree with each other.
void checkStats(const PlayerStats& stats) {
    for (const TableSizeStats& s : stats.bySize) {
        const auto players = static_cast<std::size_t>(s.players);
        require(s.completed + s.aborted == s.games, "completed and aborted");
        require(s.placeCounts.size() == players && s.placeRates.size() == players, "places");
        int placed = 0;
        for (int count : s.placeCounts) {
            placed += count;
        }
        require(placed + s.unplaced == s.completed, "placed and unplaced");
        require(s.bySeat.size() == players, "seats of the table");
        int bySeat = 0;
        for (const SeatPlaces& seat : s.bySeat) {
            bySeat += seat.games;
        }
        require(bySeat == placed, "placed by seat");
        int dated = 0;
        for (const PeriodStats& period : s.periods) {
            dated += period.games;
        }
        require(dated + s.undated == s.games, "periods");
        int hours = 0;
        for (const HourStats& hour : s.hours) {
            hours += hour.games;
        }
        require(hours == dated, "hours");
        require(s.wins <= s.hands && s.dealIns <= s.hands && s.draws <= s.hands, "hand counts");
        for (const Figure& figure : sizeFigures()) {
            if (figure.value) {
                figure.value(s);
            }
            figureText(figure, s, "-");
            intervalText(figure, s, " - ");
        }
    }
}

int totalGames(const PlayerStats& stats) {
    int games = 0;
    for (const TableSizeStats& s : stats.bySize) {
        games += s.games;
    }
    return games;
}

std::size_t occurrences(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryDatabase& db = database();
    for (std::size_t t = 0; t < kTables; ++t) {
        require(exportTables().size() == kTables &&
                    exportTables()[t].name == std::string_view(kTableNames[t]),
                "the export's tables changed: update the target");
    }
    DecodedLog log = decodeLog(std::string(reinterpret_cast<const char*>(data), size));

    // Without salvage: a log that fails names its problem; one that reads keeps what
    // salvage keeps.
    LogSet strict;
    strict.load({log.cp932});
    const bool whole = strict.read([](const LoadedGame&) {});
    require(whole || !strict.problems().empty(), "failed without a problem");

    GameSelection selection({std::move(log.cp932)}, LogSetOptions{true});
    const PeriodUnit unit = static_cast<PeriodUnit>(size % 4);
    StatsCollector everyone;
    StatsCollector owners(std::string(), unit);
    NewestGames newest(kListedGames, std::string(), selection.logs().halfGamesFound());
    RowChecker rows(db);
    Totals expected;
    std::size_t games = 0, hands = 0;
    db.execute("BEGIN");
    const bool read = selection.run(FactsNeeded::Hands, [&](const SelectedGame& game) {
        require(game.record != nullptr, "a visit without its record");
        checkFacts(*game.record, game.facts);
        checkWriters(game.facts, rows, expected);
        everyone.add(game.facts);
        owners.add(game.facts);
        newest.add(*game.record, game.facts);
        ++games;
        hands += game.facts.hands.size();
    });
    require(read, "salvage failed");
    require(games == selection.logs().size() && hands == selection.logs().handCount(),
            "the visits and the logs' counts");
    if (whole) {
        require(strict.size() == games, "the same half-games with and without salvage");
    }
    for (std::size_t t = 0; t < kTables; ++t) {
        require(rows.rows[t] == expected.rows[t], "the rows of a table");
        require(db.count(t) == expected.rows[t], "the rows in SQLite");
    }
    db.execute("ROLLBACK");

    // Every player's figures: each seated name once a half-game.
    const std::vector<PlayerStats> all = everyone.all(1);
    require(all.size() == everyone.names().size(), "players");
    std::size_t seatings = 0;
    for (const PlayerStats& stats : all) {
        checkStats(stats);
        seatings += static_cast<std::size_t>(totalGames(stats));
    }
    require(seatings == expected.seatings, "the half-games of every player");
    allPlayersTable(all, 1);

    const std::optional<OwnerGuess> owner = owners.owner();
    require(owner.has_value() == !all.empty(), "an owner when anyone is seated");
    if (!owner) {
        return 0;
    }
    ReportInput input;
    input.stats = owners.stats(owner->name);
    checkStats(input.stats);
    require(totalGames(input.stats) == owner->games, "the owner's half-games");
    const std::string heading = "heading";
    statsTable(input.stats, heading);
    periodTable(input.stats, heading, unit);
    JsonBuffer buffer;
    IndentedJsonWriter writer(buffer);
    writer.StartObject();
    writeStatsMembers(writer, input.stats);
    writer.EndObject();
    rapidjson::Document doc;
    doc.Parse(buffer.GetString(), buffer.GetSize());
    require(!doc.HasParseError() && doc.IsObject(), "stats JSON does not parse");

    input.whose =
        owner->inEveryGame ? ReportWhose::OwnerInEveryGame : ReportWhose::OwnerInMostGames;
    input.selectedGames = games;
    input.listed = newest.of(owner->name);
    require(input.listed.size() ==
                std::min<std::size_t>(kListedGames, static_cast<std::size_t>(owner->games)),
            "the report's half-games");
    const std::string page = reportPage(input);
    require(isValidUtf8(page), "the report is not UTF-8");
    require(occurrences(page, "<details><summary><span class=\"when\">") == input.listed.size(),
            "the report lists other half-games than it holds");
    return 0;
}
