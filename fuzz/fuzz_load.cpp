// Fuzz target: arbitrary bytes as a score log, through the line reader and the loader.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/GameFacts.h"
#include "analysis/LogSet.h"
#include "analysis/Messages.h"
#include "fuzz/ReferenceTexts.h"
#include "model/GameLibrary.h"
#include "model/GameRecord.h"
#include "model/LineReader.h"
#include "model/RecordText.h"

namespace {

bool terminatedWithin(const char* field, std::size_t width) {
    return std::memchr(field, '\0', width) != nullptr;
}

// Every line is NUL-terminated within the buffer, input is consumed, and once the
// reader is at its end (or failed) every further line is empty. The first skip lines
// are read and checked but not kept.
std::vector<std::string> readAllLines(LineReader& reader, std::size_t inputSize,
                                      std::size_t skip = 0) {
    std::vector<std::string> lines;
    char line[kLineBufferSize];
    std::size_t count = 0;
    while (!reader.atEnd()) {
        std::memset(line, 0x55, sizeof line);
        reader.readLine(line);
        require(terminatedWithin(line, sizeof line), "line not terminated");
        if (++count > skip) {
            lines.emplace_back(line, std::strlen(line));
        }
        require(count <= inputSize + 1, "reader makes no progress");
    }
    require(count >= skip, "filler lines lost");
    reader.readLine(line);
    require(line[0] == '\0', "line after the end is not empty");
    require(reader.atEnd(), "atEnd changed after the end");
    return lines;
}

// The file reader works in 64 KiB blocks; putting the input just before a block
// boundary (the first byte picks how far) lets every boundary case meet the fuzzer.
void compareWithStreamReader(const char* data, std::size_t size,
                             const std::vector<std::string>& memoryLines, bool overlong) {
    if (size == 0) {
        return;
    }
    constexpr std::size_t kBlock = 64 * 1024;
    constexpr std::size_t kFillerLine = 199;
    const std::size_t lead = kBlock - 1 - static_cast<unsigned char>(data[0]);
    // Filler lines of 199 bytes and one shorter line, so the input starts exactly at lead.
    static std::string bytes;
    bytes.clear();
    while (bytes.size() + kFillerLine + 1 <= lead) {
        bytes.append(kFillerLine, 'f').push_back('\n');
    }
    std::size_t fillerLines = bytes.size() / (kFillerLine + 1);
    if (bytes.size() < lead) {
        bytes.append(lead - bytes.size() - 1, 'g').push_back('\n');
        ++fillerLines;
    }
    bytes.append(data, size);

    std::FILE* stream = fmemopen(&bytes[0], bytes.size(), "rb");
    require(stream != nullptr, "fmemopen");
    LineReader fromStream(stream);
    const std::vector<std::string> streamLines =
        readAllLines(fromStream, bytes.size(), fillerLines);
    const bool streamOverlong = fromStream.overlong();
    std::fclose(stream);

    // Behind the filler the stream reader must deliver the same lines as the
    // memory reader gave for the input alone.
    require(streamOverlong == overlong, "over-long flags disagree");
    require(streamLines == memoryLines, "stream and memory readers disagree");
}

void checkRecord(const GameRecord& r) {
    require(r.playerCount >= 2 && r.playerCount <= 4, "playerCount out of 2..4");
    require(terminatedWithin(r.tableName, kTextFieldSize), "tableName");
    require(terminatedWithin(r.playerLine, kTextFieldSize), "playerLine");
    require(terminatedWithin(r.startTime, kTimeFieldSize), "startTime");
    require(terminatedWithin(r.endTime, kTimeFieldSize), "endTime");
    require(std::strlen(r.startTime) <= 16 && std::strlen(r.endTime) <= 16, "time over 16 bytes");
    for (const auto& placing : r.placings) {
        require(terminatedWithin(placing, kTextFieldSize), "placing");
    }
    const bool aborted = std::strcmp(r.placings[0], "途中終了") == 0;
    if (!aborted) {
        require(std::strncmp(r.placings[0], "1位 ", 4) == 0, "first placing marker");
        require(!r.hands.empty(), "completed half-game without hands");
    }
    for (int p = aborted ? 1 : r.playerCount; p < kPlacingCount; ++p) {
        require(r.placings[p][0] == '\0', "placing beyond the players not empty");
    }
    require(handCount(r) == r.hands.size(), "handCount");
    for (const HandRecord& h : r.hands) {
        require(terminatedWithin(h.handName, kHandNameSize), "handName");
        require(terminatedWithin(h.handResult, kTextFieldSize), "handResult");
        require(terminatedWithin(h.handYaku, kTextFieldSize), "handYaku");
        require(handResultText(h.handResult) == referenceHandResult(h.handResult), "result text");
        require(handYakuText(h.handYaku) == referenceHandYaku(h.handYaku), "yaku text");
    }
}

// The index covers the records in order; the panes work on every position.
void checkLibrary(const GameLibrary& lib, int expected) {
    require(lib.recordCount() == expected, "record count");
    for (int i = 0; i < lib.recordCount(); ++i) {
        const GameRecord* r = lib.record(i);
        require(r != nullptr, "null index entry");
        checkRecord(*r);
        require(lib.timesAndPlayersText(i) == referenceTimesAndPlayers(*r), "pane 1 text");
        require(lib.placingsText(i) == referencePlacings(*r), "pane 2 text");
    }
    require(lib.timesAndPlayersText(-1) == kNoRecordText, "pane 1 at -1");
    require(lib.placingsText(lib.recordCount()) == kNoRecordText, "pane 2 past the end");
}

// The command's reading: where it and the program's loader both take the log whole,
// they find the same half-games; salvage always reads, and names what it skipped; the
// facts of every half-game it keeps can be read without a crash.
void checkLogSet(const char* data, std::size_t size, bool loaded, int count) {
    LogSet strict;
    strict.load({std::string(data, size)});
    const bool read = strict.read([](const LoadedGame&) {});
    if (read && loaded) {
        require(strict.size() + strict.duplicates() == static_cast<std::size_t>(count),
                "LogSet count");
    }
    if (!read) {
        require(!strict.problems().empty(), "failed LogSet without a problem");
        require(!messageText(problemMessage(strict.problems()[0], "log", false),
                             MessageLanguage::Japanese)
                     .empty(),
                "no diagnostic");
    }
    require(strict.size() + strict.duplicates() <= strict.halfGamesFound(), "more than found");
    LogSet salvaged;
    salvaged.load({std::string(data, size)}, LogSetOptions{true});
    require(salvaged.read([](const LoadedGame& game) {
        const GameFacts facts = gameFacts(game.record, static_cast<int>(game.number));
        require(facts.seats.size() <= static_cast<std::size_t>(facts.playerCount), "seats");
        require(facts.hands.size() == game.record.hands.size(), "hand facts");
        require(game.lines.hands.size() == game.record.hands.size(), "hand lines");
        for (const HandFacts& hand : facts.hands) {
            require(!hand.resultParsed || hand.draw || !hand.changes.empty() || hand.result.empty(),
                    "parsed result without changes");
        }
    }),
            "salvage failed");
    for (const LoadProblem& problem : salvaged.problems()) {
        require(problem.firstLine >= 1 && problem.firstLine <= problem.lastLine + 1,
                "skipped lines out of order");
        for (const MessageLanguage language :
             {MessageLanguage::English, MessageLanguage::Japanese}) {
            messageText(problemMessage(problem, "log", true), language);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);

    LineReader reader(bytes, size);
    const std::vector<std::string> lines = readAllLines(reader, size);
    compareWithStreamReader(bytes, size, lines, reader.overlong());

    GameLibrary lib;
    const bool loaded = lib.loadFromMemory(bytes, size);
    checkLogSet(bytes, size, loaded, lib.recordCount());
    if (!loaded) {
        require(lib.recordCount() == 0, "failed load left records");
        return 0;
    }
    const int count = lib.recordCount();
    checkLibrary(lib, count);

    // The same bytes again are appended after the first copy.
    require(lib.loadFromMemory(bytes, size), "second load of the same bytes failed");
    checkLibrary(lib, 2 * count);
    for (int i = 0; i < count; ++i) {
        require(std::strcmp(lib.record(i)->tableName, lib.record(count + i)->tableName) == 0,
                "second copy differs");
    }
    lib.clear();
    require(lib.recordCount() == 0, "clear left records");
    lib.clear();
    return 0;
}
