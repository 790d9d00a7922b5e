// One or more score logs read together: their half-games merged in start-time order,
// duplicates counted once, each half-game read once with the file and lines it came from.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "model/GameRecord.h"
#include "model/HalfGameReader.h"

// Where a half-game came from.
struct RecordOrigin {
    std::size_t file = 0;   // index into the files given to load
    long firstLine = 0;     // its header line, 1-based
    long lastLine = 0;      // its last line: the separator, or the footer when none follows
    std::size_t offset = 0; // its header line's first byte in the file
    std::size_t end = 0;    // one past its last byte
};

// A half-game that could not be read, or lines between half-games that are none.
struct LoadProblem {
    std::size_t file = 0;
    HalfGameError error;
    long firstLine = 0; // the lines it spans, as salvage skips them
    long lastLine = 0;
};

// Something of a log that was read past or left out; the log itself still loads.
struct LogWarning {
    std::size_t file = 0;
    long line = 0;         // 1-based: the first line it concerns
    long lastLine = 0;     // Unfinished: the half-game's last line
    std::size_t count = 0; // bytes, seats or characters; worded by analysis/Messages
    enum class Kind {
        EndOfFileByte,
        Unfinished,
        SeatPastFour,
        SeatUnread,   // a seat mark before [1], repeated, or past the table's size
        Unconvertible // characters of a UTF-8 log that CP932 cannot hold, read as "?"
    } kind = Kind::EndOfFileByte;
};

struct LogSetOptions {
    // Skip a broken half-game, going on at the next header line, instead of failing.
    bool salvage = false;
    // Fail on an unfinished last half-game too, instead of skipping it with a warning.
    bool strict = false;
};

// One half-game as the pass hands it out; the references last for the visit only.
struct LoadedGame {
    std::size_t number = 0; // 1-based, in the merged order, duplicates left out
    const GameRecord& record;
    const RecordOrigin& origin;
    const RecordLines& lines; // 1-based in its file
};

// How one file fared.
struct FileSummary {
    std::size_t games = 0, hands = 0, aborted = 0; // half-games kept from it
    std::size_t duplicates = 0;                    // dropped as copies of earlier ones
    std::size_t problems = 0;                      // broken half-games or stray lines
};

class LogSet {
  public:
    LogSet() = default;
    LogSet(const LogSet&) = delete;
    LogSet& operator=(const LogSet&) = delete;

    // Takes the CP932 bytes of each file (the set keeps them) and finds where each
    // half-game starts. Nothing is read yet: read() does that, once.
    void load(std::vector<std::string> files, const LogSetOptions& options = {});

    // Reads every half-game once, in start-time order (stable across and within the
    // files), and hands each one kept to visit. A header line always starts a
    // half-game: one that has not ended by then is broken. Blank lines between
    // half-games are skipped. Returns false when a broken half-game fails the logs
    // (no salvage): the visits stop at the first one met, the rest is still read so
    // that problems() lists every one, in the files' order.
    bool read(const std::function<void(const LoadedGame&)>& visit);
    // The same, reading each half-game into the record that supply gives; supply is
    // asked again only once the record it gave has been handed to visit (a half-game
    // that is broken or a copy is read over). For a reader on another thread than the
    // one that uses the records.
    bool read(const std::function<GameRecord&()>& supply,
              const std::function<void(const LoadedGame&)>& visit);

    std::size_t fileCount() const { return files_.size(); }
    // After load(): how many header lines begin a half-game, an upper bound of those
    // that read() will hand out.
    std::size_t halfGamesFound() const { return found_; }
    // After read(): what was kept, skipped and noticed.
    std::size_t size() const { return count_; }
    std::size_t handCount() const { return hands_; }
    std::size_t abortedCount() const { return aborted_; }
    std::size_t duplicates() const { return duplicates_; }
    const std::vector<LoadProblem>& problems() const { return problems_; }
    const std::vector<LogWarning>& warnings() const { return warnings_; }
    const FileSummary& summary(std::size_t file) const { return summaries_[file]; }

  private:
    // The lines from one header line to the next (or to the end): one half-game, or the
    // lines before a file's first header line.
    struct Segment {
        std::size_t file = 0;
        std::size_t offset = 0, end = 0; // its bytes
        long firstLine = 0, lastLine = 0;
        bool header = false; // false: the lines before the first header line
        bool last = false;   // the file's last: it ends where the file ends
        char startTime[kTimeFieldSize] = {};
    };
    void scan(std::size_t file);
    void readSegment(const Segment& segment, const std::function<void(const LoadedGame&)>& visit);
    void strayLines(const Segment& segment, std::size_t from, long line);
    void addProblem(const Segment& segment, HalfGameError error, long firstLine, long lastLine);

    std::vector<std::string> files_;
    LogSetOptions options_;
    std::vector<Segment> segments_;
    std::vector<FileSummary> summaries_;
    std::vector<LoadProblem> problems_;
    std::vector<LogWarning> warnings_;
    std::size_t found_ = 0;
    std::size_t count_ = 0, hands_ = 0, aborted_ = 0, duplicates_ = 0;
    bool failed_ = false;
};
