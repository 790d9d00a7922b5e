// Reads one half-game through the five parsers, and says where it broke when it fails.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/GameRecord.h"

class LineReader;

// What the reader expected on the line that broke a half-game.
enum class HalfGameStep {
    Header,
    Players,
    FirstHand,  // a hand line or the abort line, right after the player line
    HandLine,   // a later hand line: it has "本場(リーチ" but no ")"
    YakuLine,   // the line after a hand line
    SectionEnd, // the result header or the abort line, before the input ended
    Placing,    // the placing line numbered in placing
    Footer,
    LineLength, // a line of more than 199 bytes
};

struct HalfGameError {
    HalfGameStep step = HalfGameStep::Header;
    long line = 0;          // 1-based, in the reader's numbering
    std::size_t offset = 0; // of that line's first byte
    bool atEnd = false;     // the input had ended: found is empty
    std::string found;      // the line as read (CP932, at most 199 bytes)
    int placing = 0;        // for Placing: 1 to 4
    long gameLine = 0;      // the half-game's header line
};

// The reader's numbers of the lines that held each piece of a half-game.
struct RecordLines {
    long header = 0;
    long players = 0;
    std::vector<long> hands;           // each hand's line, in the record's hand order
    long sectionEnd = 0;               // the result header, or the abort line
    long placings[kPlacingCount] = {}; // 0 for none (aborted, or fewer players)
    long footer = 0;
};

// Reads one half-game into record with the loader's rules: its lines, then one
// separator line of any content. On failure returns false and, when error is given,
// fills it. An over-long line met anywhere in the half-game is reported as such, also
// when the half-game itself parsed.
bool readHalfGame(GameRecord& record, LineReader& reader, HalfGameError* error);

// The same up to and including the footer line, without the separator line, noting in
// lines (when given) where each piece stood.
bool readHalfGameLines(GameRecord& record, LineReader& reader, HalfGameError* error,
                       RecordLines* lines);

// How many half-games the readers above have read in this process: each command reads
// a half-game once, and its tests check that.
std::size_t halfGamesRead();
