// The words that mark the lines of a score log: the one home of what every reader of
// a log looks for. Each is CP932 and NUL-terminated.
#pragma once

#include <string_view>

namespace logmark {

extern const std::string_view kHeader;       // prefix of a header line
extern const std::string_view kStart;        // in the header: ends the table name
extern const std::string_view kSeatMarks[4]; // "[1]" to "[4]" in the player line
extern const std::string_view kRound;        // in every hand line but the first
extern const std::string_view kResults;      // the whole result header line
extern const std::string_view kAbort;        // the whole abort line
extern const std::string_view kFirstPlacing; // prefix of the first placing line
extern const std::string_view kFooter;       // prefix of a footer line
extern const std::string_view kEnd;          // in the footer: stands before the end time
extern const std::string_view kAborted;      // the first placing of an aborted half-game

} // namespace logmark

// A line that begins a half-game: "===== " and somewhere "開始".
bool isHeaderLine(std::string_view line);

// The n of a one-digit "[n]" mark at a position of a player line; 0 for none.
int seatMarkAt(std::string_view line, std::size_t at);
// How many marks past "[4]" a player line holds: seats that no table has.
int seatsBeyondFour(std::string_view playerLine);
