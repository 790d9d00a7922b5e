// The tables of the export: the one home of their columns, shared by the SQLite schema
// and the CSV headers, and of the mapping from a game's facts to their rows.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "analysis/GameFacts.h"

enum class ExportTable { Games, Seats, Hands, Deltas };
constexpr std::size_t kExportTableCount = 4;

struct ExportColumn {
    const char* name;
    const char* sqlType; // the declared type and column constraints
};

struct ExportTableInfo {
    ExportTable id;
    const char* name; // also the CSV file's name, less ".csv"
    std::vector<ExportColumn> columns;
    const char* keys; // the SQL table constraints: primary and foreign keys
};

struct ExportIndex {
    const char* name;
    const char* table;
    const char* columns;
};

const std::array<ExportTableInfo, kExportTableCount>& exportTables();
const std::vector<ExportIndex>& exportIndexes();

// Receives a game's rows field by field, in the column order of exportTables().
class RowSink {
  public:
    virtual ~RowSink() = default;
    virtual void beginRow(ExportTable table) = 0;
    virtual void null() = 0;
    virtual void integer(long long value) = 0;
    virtual void tenths(int value) = 0; // a score: 408 is 40.8
    virtual void text(std::string_view utf8) = 0;
    virtual void endRow() = 0;
};

// The rows of one game (its hands filled): the games row, then its seats, its hands,
// and the point changes of each hand.
void emitGameRows(const GameFacts& game, RowSink& sink);

// "40.8", "-0.5", "3.0": a score's text, as the log writes it but without "+".
std::string tenthsText(int tenths);
