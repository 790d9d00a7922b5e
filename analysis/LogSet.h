// One or more score logs loaded together: their half-games merged in start-time order,
// duplicates counted once, each record with the file and lines it came from.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "model/GameRecord.h"
#include "model/HalfGameReader.h"

// Where a record came from.
struct RecordOrigin {
    std::size_t file = 0;   // index into the files given to load
    long firstLine = 0;     // its header line, 1-based
    long lastLine = 0;      // its last line (the separator, or the footer at the end)
    std::size_t offset = 0; // its header line's first byte in the file
    std::size_t end = 0;    // one past its last byte
};

// The line numbers of a loaded record's pieces, 1-based in its file.
struct RecordLines {
    long header = 0;
    long players = 0;
    std::vector<long> hands;           // each hand's line, in the record's hand order
    long sectionEnd = 0;               // the result header, or the abort line
    long placings[kPlacingCount] = {}; // 0 for none (aborted, or fewer players)
    long footer = 0;
};

// A half-game that could not be read.
struct LoadProblem {
    std::size_t file = 0;
    HalfGameError error;
    long firstLine = 0; // the broken half-game's lines, as skipped by salvage
    long lastLine = 0;
};

struct LogSetOptions {
    // Skip a broken half-game by going on at the next header line, instead of failing.
    bool salvage = false;
    enum class Keep {
        Records, // every record stays in memory: record() is a plain look-up
        // Only where each record starts: record() reads it again from the file's bytes
        // into one slot. Far less memory and time for a pass over a large log; the
        // reference record() gives lasts until it is called for another position.
        Offsets,
        Counts, // nothing: size(), handCount() and abortedCount() answer (check)
    };
    Keep keep = Keep::Records;
};

class LogSet {
  public:
    LogSet() = default;
    LogSet(const LogSet&) = delete;
    LogSet& operator=(const LogSet&) = delete;

    // Loads the CP932 bytes of each file (the set keeps them). Returns false when a
    // file breaks and salvage is off: problems() then holds the first problem and the
    // set is empty. With salvage every problem is listed and the rest is kept.
    bool load(std::vector<std::string> files, const LogSetOptions& options = {});

    std::size_t size() const { return count_; }
    // Position 0 is number 1: start-time order, stable across and within files.
    const GameRecord& record(std::size_t position) const {
        return merged_.empty() ? reread(position) : *merged_[position];
    }
    const RecordOrigin& origin(std::size_t position) const { return origins_[position]; }
    // Found again by reading the record's lines with the loader's rules: kept out of
    // loading, which never needs them.
    RecordLines lines(std::size_t position) const;

    const std::vector<LoadProblem>& problems() const { return problems_; }
    // Half-games dropped because one with the same lines was read before.
    std::size_t duplicates() const { return duplicates_; }
    std::size_t handCount() const { return hands_; }
    std::size_t abortedCount() const { return aborted_; }

  private:
    const GameRecord& reread(std::size_t position) const;

    std::vector<std::string> files_;
    mutable GameRecord slot_;
    mutable std::size_t slotPosition_ = static_cast<std::size_t>(-1);
    std::list<GameRecord> records_;
    std::vector<const GameRecord*> merged_;
    std::vector<RecordOrigin> origins_;
    std::vector<LoadProblem> problems_;
    std::size_t duplicates_ = 0;
    std::size_t count_ = 0, hands_ = 0, aborted_ = 0;
};
