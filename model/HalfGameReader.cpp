// The order of the parsers for one half-game, and where it broke (analysis/Messages words it).
#include "model/HalfGameReader.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "model/LineReader.h"
#include "model/LogMarkers.h"

namespace {

// Which line a step failed on: the one the reader delivered last.
bool fail(LineReader& reader, HalfGameError* error, HalfGameStep step, const char* line) {
    if (!error) {
        return false;
    }
    error->step = step;
    error->line = reader.lineNumber();
    error->offset = reader.lineOffset();
    error->atEnd = reader.lastReadAtEnd();
    error->found = error->atEnd ? std::string() : std::string(line);
    if (error->atEnd) {
        // The line that is missing: one past the last, where the input ended.
        ++error->line;
        error->offset = reader.offset();
    }
    if (reader.overlong()) {
        // The over-long line is what broke it, whatever step noticed. No line is
        // delivered after it, so it is the last one the reader numbered.
        error->step = HalfGameStep::LineLength;
        error->line = reader.lineNumber();
        error->atEnd = false;
        error->found = reader.lastLine();
        error->offset = reader.lineOffsetOf(error->line);
    }
    return false;
}

// A footer read as a later placing line: the half-game has fewer placing lines than
// players. Points at that line rather than at the footer that then goes missing.
bool misplacedFooter(const GameRecord& record, LineReader& reader, HalfGameError* error) {
    for (int i = 1; i < record.playerCount; ++i) {
        const char* placing = record.placings[i];
        // Placings are stored from the line's third byte: "----- " becomes "--- ".
        if (std::strncmp(placing, logmark::kFooter.data() + 2, logmark::kFooter.size() - 2) == 0 &&
            std::strstr(placing, logmark::kEnd.data())) {
            if (error) {
                error->step = HalfGameStep::Placing;
                error->placing = i + 1;
                // The footer step read one line past the placings.
                error->line = reader.lineNumber() - (record.playerCount - i);
                error->offset = reader.lineOffsetOf(error->line);
                error->atEnd = false;
                error->found = std::string("--") + placing;
            }
            return true;
        }
    }
    return false;
}

std::size_t readCount = 0;

} // namespace

std::size_t halfGamesRead() {
    return readCount;
}

bool readHalfGameLines(GameRecord& record, LineReader& reader, HalfGameError* error,
                       RecordLines* lines) {
    ++readCount;
    char line[kLineBufferSize];
    reader.readLine(line);
    if (error) {
        error->gameLine = reader.lineNumber();
    }
    if (lines) {
        // Field by field: the list of hand lines keeps its storage from the last record.
        lines->players = lines->sectionEnd = lines->footer = 0;
        lines->hands.clear();
        std::fill(std::begin(lines->placings), std::end(lines->placings), 0);
        lines->header = reader.lineNumber();
    }
    if (!record.parseHeader(line)) {
        return fail(reader, error, HalfGameStep::Header, line);
    }
    reader.readLine(line);
    if (lines) {
        lines->players = reader.lineNumber();
    }
    if (!record.parsePlayers(line)) {
        return fail(reader, error, HalfGameStep::Players, line);
    }
    bool completed = false;
    const HandSectionEnd end = record.parseHands(reader, lines ? &lines->hands : nullptr);
    if (lines) {
        lines->sectionEnd = reader.lineNumber();
    }
    switch (end) {
    case HandSectionEnd::Failed:
        if (!error) {
            return false;
        }
        if (reader.lastReadAtEnd()) {
            // Nothing after the player line, or a hand line without its yaku line.
            return fail(reader, error,
                        record.hands.empty() ? HalfGameStep::FirstHand : HalfGameStep::YakuLine,
                        "");
        }
        if (record.hands.empty()) {
            return fail(reader, error, HalfGameStep::FirstHand, reader.lastLine().c_str());
        }
        if (reader.lastLine().find(logmark::kRound) != std::string::npos) {
            return fail(reader, error, HalfGameStep::HandLine, reader.lastLine().c_str());
        }
        fail(reader, error, HalfGameStep::SectionEnd, "");
        if (error->step == HalfGameStep::SectionEnd) {
            error->atEnd = true; // the section ran on to the end of the input
            error->found.clear();
            ++error->line;
            error->offset = reader.offset();
        }
        return false;
    case HandSectionEnd::ResultsFollow:
        if (!record.parsePlacings(reader)) {
            if (error) {
                error->placing = 1;
            }
            return fail(reader, error, HalfGameStep::Placing, reader.lastLine().c_str());
        }
        completed = true;
        if (lines) {
            // parsePlacings read one line per player, the first right after the header.
            for (int i = 0; i < record.playerCount && i < kPlacingCount; ++i) {
                lines->placings[i] = lines->sectionEnd + 1 + i;
            }
        }
        break;
    case HandSectionEnd::Aborted:
        record.setAborted();
        break;
    }
    reader.readLine(line);
    if (lines) {
        lines->footer = reader.lineNumber();
    }
    if (!record.parseFooter(line)) {
        if (completed && misplacedFooter(record, reader, error)) {
            return false;
        }
        return fail(reader, error, HalfGameStep::Footer, line);
    }
    if (reader.overlong()) {
        return fail(reader, error, HalfGameStep::LineLength, line);
    }
    return true;
}

bool readHalfGame(GameRecord& record, LineReader& reader, HalfGameError* error) {
    if (!readHalfGameLines(record, reader, error, nullptr)) {
        return false;
    }
    char line[kLineBufferSize];
    reader.readLine(line); // the separator line, whatever it holds
    if (reader.overlong()) {
        return fail(reader, error, HalfGameStep::LineLength, line);
    }
    return true;
}
