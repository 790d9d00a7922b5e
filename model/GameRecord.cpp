// The five parsers that turn the lines of one half-game into a GameRecord.
#include "model/GameRecord.h"

#include <algorithm>
#include <cstring>

#include "model/LineReader.h"
#include "model/LogMarkers.h"

namespace {

constexpr std::size_t kTimeTextBytes = 16;

bool startsWith(const char* line, std::string_view marker) {
    return std::strncmp(line, marker.data(), marker.size()) == 0;
}

// Copies count bytes and terminates them; every count here fits its field.
void copyBytes(char* field, const char* from, std::size_t count) {
    std::memcpy(field, from, count);
    field[count] = '\0';
}

// How many bytes of a line of the given length stand from position start on.
std::size_t tailLength(std::size_t length, std::size_t start) {
    return length > start ? length - start : 0;
}

// The time after a marker: one byte skipped, then at most 16 bytes.
void copyTime(char (&field)[kTimeFieldSize], const char* line, std::size_t length,
              const char* marker) {
    const std::size_t start = static_cast<std::size_t>(marker - line) + 5;
    copyBytes(field, line + start, std::min(tailLength(length, start), kTimeTextBytes));
}

// The markers as C strings, for strstr and strcmp on NUL-terminated lines.
const char* const kRoundMarker = logmark::kRound.data();
const char* const kResultsLine = logmark::kResults.data();
const char* const kAbortLine = logmark::kAbort.data();

} // namespace

bool GameRecord::parseHeader(const char* line) {
    if (!startsWith(line, logmark::kHeader)) {
        return false;
    }
    const char* start = std::strstr(line, logmark::kStart.data());
    if (!start) {
        return false;
    }
    // The table name ends one byte before the marker; a marker right after the
    // prefix leaves no name at all.
    const std::size_t p = static_cast<std::size_t>(start - line);
    const std::size_t nameBytes = p >= 7 ? p - 7 : 0;
    std::memcpy(tableName, line + 6, nameBytes);
    tableName[nameBytes] = '\0';
    copyTime(startTime, line, std::strlen(line), start);
    return true;
}

bool GameRecord::parsePlayers(const char* line) {
    playerLine[0] = '\0';
    const char* first = std::strstr(line, logmark::kSeatMarks[0].data());
    if (!first || !std::strstr(line, logmark::kSeatMarks[1].data())) {
        return false;
    }
    if (!std::strstr(line, logmark::kSeatMarks[2].data())) {
        playerCount = 2;
    } else if (!std::strstr(line, logmark::kSeatMarks[3].data())) {
        playerCount = 3;
    } else {
        playerCount = 4;
    }
    copyBytes(playerLine, first, std::strlen(first));
    return true;
}

HandSectionEnd GameRecord::parseHands(LineReader& reader, std::vector<long>* handLines) {
    char line[kLineBufferSize];
    reader.readLine(line);
    for (;;) {
        const char* close = std::strchr(line, ')');
        if (!close) {
            return std::strcmp(line, kAbortLine) == 0 ? HandSectionEnd::Aborted
                                                      : HandSectionEnd::Failed;
        }
        HandRecord& hand = spare.addTo(hands);
        if (handLines) {
            handLines->push_back(reader.lineNumber());
        }
        // A title too long for its field is cut; the result still starts after the ")".
        const std::size_t j = static_cast<std::size_t>(close - line);
        const std::size_t titleBytes = j >= 2 ? j - 1 : 0;
        const std::size_t keptBytes = std::min<std::size_t>(titleBytes, kHandNameSize - 1);
        std::memcpy(hand.handName, line + 2, keptBytes);
        hand.handName[keptBytes] = '\0';
        copyBytes(hand.handResult, line + j + 2, tailLength(std::strlen(line), j + 2));

        reader.readLine(line);
        copyBytes(hand.handYaku, line + 4, tailLength(std::strlen(line), 4));

        // The yaku line itself may already be the next hand line or the section's end.
        for (;;) {
            if (std::strstr(line, kRoundMarker)) {
                break;
            }
            if (std::strcmp(line, kAbortLine) == 0) {
                return HandSectionEnd::Aborted;
            }
            if (std::strcmp(line, kResultsLine) == 0) {
                return HandSectionEnd::ResultsFollow;
            }
            if (reader.atEnd()) {
                return HandSectionEnd::Failed;
            }
            reader.readLine(line);
        }
    }
}

bool GameRecord::parsePlacings(LineReader& reader) {
    char line[kLineBufferSize];
    reader.readLine(line);
    if (!startsWith(line, logmark::kFirstPlacing)) {
        return false;
    }
    copyBytes(placings[0], line + 2, std::strlen(line + 2));
    for (int i = 1; i < kPlacingCount; ++i) {
        if (i < playerCount) {
            reader.readLine(line);
            copyBytes(placings[i], line + 2, tailLength(std::strlen(line), 2));
        } else {
            placings[i][0] = '\0';
        }
    }
    return true;
}

bool GameRecord::parseFooter(const char* line) {
    if (!startsWith(line, logmark::kFooter)) {
        return false;
    }
    const char* end = std::strstr(line, logmark::kEnd.data());
    if (!end) {
        return false;
    }
    copyTime(endTime, line, std::strlen(line), end);
    return true;
}

void GameRecord::setAborted() {
    copyBytes(placings[0], logmark::kAborted.data(), logmark::kAborted.size());
    for (int i = 1; i < kPlacingCount; ++i) {
        placings[i][0] = '\0';
    }
}

std::uint32_t handCount(const GameRecord& record) {
    return static_cast<std::uint32_t>(record.hands.size());
}

bool GameRecord::aborted() const {
    return std::string_view(placings[0]) == logmark::kAborted;
}
