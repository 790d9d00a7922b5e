// The order of the parsers for one half-game, and the words for where it broke.
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

namespace {

bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A line as a diagnostic shows it: quoted, cut after about 48 bytes at a character's
// end, control bytes written as \xNN.
std::string quoted(const std::string& text) {
    constexpr std::size_t kShown = 48;
    std::string out = "\"";
    std::size_t i = 0;
    while (i < text.size() && i < kShown) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (isLeadByte(c) && i + 1 < text.size()) {
            out.append(text, i, 2);
            i += 2;
        } else if (c < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
            ++i;
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
    if (i < text.size()) {
        out += " …";
    }
    return out + "\"";
}

std::string expectedText(const HalfGameError& error) {
    switch (error.step) {
    case HalfGameStep::Header:
        return "the header line \"" + std::string(logmark::kHeader) + "… " +
               std::string(logmark::kStart) + " …\"";
    case HalfGameStep::Players:
        return "the player line \"[1]… [2]…\"";
    case HalfGameStep::FirstHand:
        return "the first hand line \"  東1局 …) …\" or the abort line \"" +
               std::string(logmark::kAbort) + "\"";
    case HalfGameStep::HandLine:
        return "a hand line whose title ends in \")\"";
    case HalfGameStep::YakuLine:
        return "the yaku line after the hand line";
    case HalfGameStep::SectionEnd:
        return "the result header \"" + std::string(logmark::kResults) + "\" or the abort line";
    case HalfGameStep::Placing:
        return "the placing line \"  " + std::to_string(error.placing) + "位 …\"";
    case HalfGameStep::Footer:
        return "the footer line \"" + std::string(logmark::kFooter) + "… " +
               std::string(logmark::kEnd) + " …\"";
    case HalfGameStep::LineLength:
        return "a line of at most 199 bytes";
    }
    return {};
}

} // namespace

std::string describeHalfGameError(const HalfGameError& error) {
    std::string text = "line " + std::to_string(error.line) + " (byte " +
                       std::to_string(error.offset) + "): expected " + expectedText(error) +
                       ", found ";
    if (error.step == HalfGameStep::LineLength) {
        text += "a longer one starting " + quoted(error.found);
    } else if (error.atEnd) {
        text += "the end of the file";
        if (error.gameLine > 0) {
            text += " inside the half-game from line " + std::to_string(error.gameLine);
        }
    } else {
        text += quoted(error.found);
    }
    return text;
}
