// One half-game of the score log and its hands, as fixed-width CP932 byte fields.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

class LineReader;

// Sizes of the fixed text fields; each width includes the terminating NUL.
constexpr int kHandNameSize = 30;
constexpr int kTextFieldSize = 200;
constexpr int kTimeFieldSize = 20;
constexpr int kPlacingCount = 4;

struct HandRecord {
    // Left unfilled: the parser writes every field, so zeroing 430 bytes per hand
    // would only be overwritten.
    HandRecord() {}

    char handName[kHandNameSize];
    char handResult[kTextFieldSize];
    char handYaku[kTextFieldSize];
};

// Hand records kept for a later parse, so that a reader of many half-games into one
// record allocates no hand after the first few. A copy of a record takes none of them.
class SpareHands {
  public:
    SpareHands() = default;
    SpareHands(const SpareHands&) {}
    SpareHands& operator=(const SpareHands&) { return *this; }
    SpareHands(SpareHands&&) noexcept = default;
    SpareHands& operator=(SpareHands&&) noexcept = default;

    // Appends a hand to hands, a spare one if there is one; its fields are unfilled.
    HandRecord& addTo(std::list<HandRecord>& hands) {
        if (list_.empty()) {
            return hands.emplace_back();
        }
        hands.splice(hands.end(), list_, list_.begin());
        return hands.back();
    }
    void take(std::list<HandRecord>& hands) { list_.splice(list_.end(), hands); }

  private:
    std::list<HandRecord> list_;
};

// How the hand section of a half-game ended.
enum class HandSectionEnd { Failed, ResultsFollow, Aborted };

struct GameRecord {
    // Each hand is one node of the list: one allocation per hand, owned here.
    std::list<HandRecord> hands;
    std::int16_t playerCount;
    char tableName[kTextFieldSize];
    char playerLine[kTextFieldSize];
    char placings[kPlacingCount][kTextFieldSize];
    char startTime[kTimeFieldSize];
    char endTime[kTimeFieldSize];

    // Construction sets up only the empty hand list; the parsers fill the rest.
    GameRecord() : hands() {}

    // Each parser takes a NUL-terminated line of at most 199 bytes (or reads from
    // the reader) and reports success; a failed record is discarded by the loader.
    bool parseHeader(const char* line);
    bool parsePlayers(const char* line);
    // handLines, when given, gets the reader's number of each hand line.
    HandSectionEnd parseHands(LineReader& reader, std::vector<long>* handLines = nullptr);
    bool parsePlacings(LineReader& reader);
    bool parseFooter(const char* line);

    // Writes the placings of a half-game that ended with the abort line.
    void setAborted();
    bool aborted() const;

    // Destroys every hand in order and leaves the list empty.
    void freeHands() { hands.clear(); }
    // Empties the list too, keeping its hands for the next parseHands of this record.
    void recycleHands() { spare.take(hands); }

    SpareHands spare;
};

std::uint32_t handCount(const GameRecord& record);
