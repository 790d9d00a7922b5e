// The messages of the core as data: a code and its values, worded from one catalogue in
// English for the command and in Japanese for the page. The English names no flag (the
// command adds it); the Japanese names what the player can do on the page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/LogSet.h"
#include "model/HalfGameReader.h"

enum class MessageCode {
    BrokenHalfGame,  // a half-game that does not read fails the logs
    SkippedHalfGame, // the same, skipped by salvage
    NoHalfGame,      // a file with no half-game in it
    NothingRead,     // salvage kept no half-game
    LogsNotLoaded,   // check: how many of the logs did not load
    Unfinished,      // the last half-game has not ended: left out
    EndOfFileByte,   // bytes after a 0x1A are not read
    SeatsPastFour,
    SeatMarksUnread, // seat marks before [1], repeated or past the table's size
    Unconvertible,   // characters of a UTF-8 log that CP932 cannot hold
    ReadTwice,       // duplicates counted once
    MoreWarnings,    // warnings past the first ones, counted
    NoneToReport,    // the filters left no half-game
    NoNamedSeat,     // no half-game has a named seat: no owner to report
    NotSeated,       // a player asked for is in none of the half-games
    StartAfterEnd,   // the start date is after the end date
    WriteFailed,     // an output file could not be written
};

enum class MessageKind { Error, Warning, Note };
enum class MessageLanguage { English, Japanese };

// A message's values; each code uses the ones its texts name.
struct Message {
    Message() = default;
    explicit Message(MessageCode code) : code(code) {}

    MessageCode code = MessageCode::BrokenHalfGame;
    std::string file;                 // UTF-8, as the user named it
    long line = 0;                    // where a warning's first case is
    long first = 0, last = 0;         // the lines of a half-game
    std::size_t count = 0, total = 0; // what the code counts, and of how many
    HalfGameError error;              // where a half-game broke (its found is CP932)
    std::string player;               // UTF-8, as typed
    std::vector<std::string> names;   // UTF-8: the names nearest to player
    std::string since, until;         // dates as typed
    std::string reason;               // UTF-8: why a write failed, with its path (English)
};

// One row of the catalogue. Templates are CP932 with {name} for a value: file, line,
// first, last, count, total, player, since, until, reason; broken (where a half-game broke,
// worded in the same language) and names (the nearest names); {count:one|many} writes a
// count with its noun in agreement, {count?one|many} the word alone.
struct MessageEntry {
    MessageCode code;
    const char* id; // stable, for the page: "broken-half-game"
    MessageKind kind;
    const char* english;
    const char* japanese;
};

// Every row, one for each code, in the codes' order.
const std::vector<MessageEntry>& messageCatalogue();
const MessageEntry& messageEntry(MessageCode code);
const char* messageKindName(MessageKind kind); // "error", "warning", "note"

// The message in words: UTF-8.
std::string messageText(const Message& message, MessageLanguage language);

// The message of a warning of the pass, and of a broken half-game (skipped: salvage read
// past it) in the file named file (UTF-8).
Message warningMessage(const LogWarning& warning, const std::string& file);
Message problemMessage(const LoadProblem& problem, const std::string& file, bool skipped);
