// The loaded score log: half-game records in file order, indexed by list position.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "model/GameRecord.h"
#include "platform/FileChooser.h"

struct SearchOptions;

class GameLibrary : public FileChooser {
  public:
    // Sets the file dialog's defaults: a .txt filter, "c:\program files\" and so on.
    GameLibrary();
    ~GameLibrary() { clear(); }
    GameLibrary(const GameLibrary&) = delete;
    GameLibrary& operator=(const GameLibrary&) = delete;

    // Appends the half-games of the file that fileName() names. A score file loads
    // whole or not at all: a bad half-game, an over-long line or a lack of memory
    // empties the library and returns false. A missing path, or one that cannot be
    // opened or read, returns false and leaves the library as it was.
    bool load();
    // Loads from bytes in memory by the same rules (tests, fuzzing, benchmarks).
    bool loadFromMemory(const char* data, std::size_t size);
    // Destroys every record and the index.
    void clear();

    int recordCount() const { return static_cast<int>(records.size()); }
    // The record at 0 <= position < recordCount(); the caller checks the range.
    const GameRecord* record(int position) const { return index[position]; }

    // The first record after startIndex, one step at a time, whose chosen field
    // contains the search text; -1 when none does or the target is unknown.
    int search(const SearchOptions& options) const;

    // Pane texts of the record at position; "error!" for a position out of range.
    // (ui/SummaryPanes puts them into the main window's edit controls.)
    std::string timesAndPlayersText(int position) const;
    std::string placingsText(int position) const;

  private:
    bool loadFrom(LineReader& reader);
    void rebuildIndex();

    // Each record is one node of the list: one allocation per record, owned here.
    std::list<GameRecord> records;
    std::unique_ptr<const GameRecord*[]> index;
};
