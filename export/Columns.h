// The columns of every kind of row that half-games are written as: a half-game, its
// seats and placings, its hands, their point changes, yaku names and tenpai seats. Each
// column is named once for the tables (SQLite and CSV), for JSON and for list's CSV, with
// the one function that reads its value from the facts; every output walks this catalogue.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/GameFacts.h"

// Takes the values of one row, or of one JSON object, in order. Texts are UTF-8 and last
// until the half-game's walk ends (a row's, until its endRow at least).
class ValueSink {
  public:
    virtual ~ValueSink() = default;
    virtual void null() = 0;
    virtual void integer(long long value) = 0;
    virtual void tenths(long long value) = 0; // a score: 408 is 40.8
    virtual void text(std::string_view utf8) = 0;
    virtual void flag(bool value) = 0;
    // A value that is a list (JSON only): the values between the two calls.
    virtual void beginArray() = 0;
    virtual void endArray() = 0;
};

// Appends value's decimal digits: the one integer form of the CSV and the JSON.
void appendInteger(std::string& out, long long value);

// A sink of the tables, where every value is one field: an array is a mistake of the
// catalogue, reported by std::logic_error.
class FieldSink : public ValueSink {
  public:
    void beginArray() final;
    void endArray() final;
};

// Takes JSON: the values of ValueSink, and objects key by key.
class JsonSink : public ValueSink {
  public:
    virtual void beginObject() = 0;
    virtual void key(const char* name) = 0;
    virtual void endObject() = 0;
};

// Takes the rows of the tables; a table is its index in exportTables().
class TableSink {
  public:
    virtual ~TableSink() = default;
    // The sink of the row's fields, in the order of the table's columns.
    virtual FieldSink& beginRow(std::size_t table) = 0;
    virtual void endRow() = 0;
};

struct TableColumn {
    std::string name;
    const char* sqlType; // the declared type and column constraints
};

struct ExportTableInfo {
    const char* name; // also the CSV file's name, less ".csv"
    std::vector<TableColumn> columns;
    const char* keys; // the SQL table constraints: primary and foreign keys
};

struct ExportIndex {
    const char* name;
    const char* table;
    const char* columns;
};

// The tables of the export (SQLite and CSV), drawn from the catalogue.
const std::vector<ExportTableInfo>& exportTables();
const std::vector<ExportIndex>& exportIndexes();

// The rows of one half-game (its hands filled) for every table: its games row, then its
// seats, then each hand followed by its point changes, yaku names and tenpai seats.
void writeTableRows(const GameFacts& game, TableSink& sink);

// One half-game as a JSON object; its hands only with withHands. Absent facts are null.
void writeGameJson(const GameFacts& game, bool withHands, JsonSink& sink);

// list --format csv: the names of its columns, and the fields of one half-game's row.
std::vector<std::string> listCsvHeader();
void writeListCsvRow(const GameFacts& game, FieldSink& sink);
