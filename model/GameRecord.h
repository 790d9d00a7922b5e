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
};

std::uint32_t handCount(const GameRecord& record);
