// Fuzz target: searches, pane texts and hand texts over a fixed generated library.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/ReferenceTexts.h"
#include "model/GameLibrary.h"
#include "model/RecordText.h"
#include "samples/generator/ScoreLogGenerator.h"
#include "search/SearchOptions.h"

namespace {

// Loaded once per process; every input searches the same records.
const GameLibrary& library() {
    static GameLibrary lib;
    static const bool loaded = [] {
        GeneratorOptions options;
        options.seed = 77;
        options.halfGames = 40;
        options.averageHands = 5;
        options.abortedPercent = 25;
        options.crlf = false;
        const std::string log = generateScoreLog(options);
        return lib.loadFromMemory(log.data(), log.size());
    }();
    require(loaded && lib.recordCount() == 40, "generated log did not load");
    return lib;
}

// Reads the input from the front; missing bytes read as zero.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::int32_t int32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= static_cast<std::uint32_t>(byte()) << (8 * i);
        }
        return static_cast<std::int32_t>(v);
    }
    // The next bytes up to a NUL or the end, at most limit of them.
    std::string text(std::size_t limit) {
        std::string out;
        while (pos_ < size_ && out.size() < limit) {
            const char c = static_cast<char>(data_[pos_++]);
            if (c == '\0') {
                break;
            }
            out += c;
        }
        return out;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Mostly values near the library's range, sometimes any int32 at all.
std::int32_t position(Input& in, int count) {
    const std::uint8_t mode = in.byte();
    if (mode & 0x80) {
        return in.int32();
    }
    return static_cast<std::int32_t>(mode % (count + 3)) - 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const GameLibrary& lib = library();
    static const GameLibrary empty;
    Input in(data, size);

    const std::uint8_t flags = in.byte();
    SearchOptions options;
    std::memset(&options, 0xAB, sizeof options);
    options.target = (flags & 0x80) ? in.int32() : static_cast<std::int32_t>((flags & 0x1F) % 12);
    options.step = (flags & 0x40) ? -1 : 1;
    options.startIndex = position(in, lib.recordCount());
    const std::string text = in.text(kSearchTextSize - 1);
    std::memcpy(options.searchText, text.c_str(), text.size() + 1);

    const SearchOptions before = options;
    const GameLibrary& searched = (flags & 0x20) ? empty : lib;
    const int found = searched.search(options);
    require(std::memcmp(&before, &options, sizeof options) == 0, "search changed the request");
    require(found == referenceSearch(searched, options), "search differs from the reference");
    require(found == -1 || (found >= 0 && found < searched.recordCount()), "found out of range");

    // Pane texts at a position that may or may not hold a record.
    const int pane = position(in, lib.recordCount());
    const std::string times = lib.timesAndPlayersText(pane);
    const std::string placings = lib.placingsText(pane);
    if (pane < 0 || pane >= lib.recordCount()) {
        require(times == kNoRecordText && placings == kNoRecordText, "error! text expected");
    } else {
        require(times == referenceTimesAndPlayers(*lib.record(pane)), "pane 1 text");
        require(placings == referencePlacings(*lib.record(pane)), "pane 2 text");
    }

    // The hand texts over arbitrary bytes: the search text and what follows it.
    const std::string more = in.text(kTextFieldSize - 1);
    for (const std::string* s : {&text, &more}) {
        require(handResultText(s->c_str()) == referenceHandResult(*s), "hand result text");
        require(handYakuText(s->c_str()) == referenceHandYaku(*s), "hand yaku text");
    }
    return 0;
}
