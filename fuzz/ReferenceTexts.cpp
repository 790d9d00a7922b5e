// Second versions of the pane texts and the search, written plainly from the rules.
#include "fuzz/ReferenceTexts.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/GameLibrary.h"
#include "search/SearchOptions.h"

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz: invariant broken: %s\n", what);
        std::abort();
    }
}

namespace {

std::string joined(const std::string (&pieces)[4]) {
    return pieces[0] + "\r\n" + pieces[1] + "\r\n" + pieces[2] + "\r\n" + pieces[3];
}

const std::size_t npos = std::string::npos;

} // namespace

std::string referenceTimesAndPlayers(const GameRecord& record) {
    const std::string line = record.playerLine;
    std::string pieces[4];
    std::size_t place = 0;
    for (int i = 0; i < record.playerCount && i < 4; ++i) {
        if (place >= line.size()) {
            break; // nothing left: the later players stay empty
        }
        const std::size_t first = line.find(' ', place);
        const std::size_t second = first == npos ? npos : line.find(' ', first + 1);
        if (second == npos) {
            pieces[i] = line.substr(place);
            place = line.size();
        } else {
            pieces[i] = line.substr(place, second - place);
            place = second + 1;
        }
    }
    return std::string("開始:") + record.startTime + "\r\n終了:" + record.endTime + "\r\n\r\n" +
           joined(pieces);
}

std::string referencePlacings(const GameRecord& record) {
    const std::string pieces[4] = {record.placings[0], record.placings[1], record.placings[2],
                                   record.placings[3]};
    return joined(pieces);
}

std::string referenceHandResult(const std::string& result) {
    std::string pieces[4];
    std::size_t place = 0;
    for (auto& piece : pieces) {
        const std::size_t first = result.find(' ', place);
        if (first == npos) {
            break;
        }
        const std::size_t second = result.find(' ', first + 1);
        if (second == npos) {
            piece = result.substr(place);
            break;
        }
        piece = result.substr(place, second - place);
        place = second + 1;
    }
    return joined(pieces);
}

std::string referenceHandYaku(const std::string& yaku) {
    const std::size_t first = yaku.find(' ');
    if (first == npos) {
        return yaku;
    }
    std::size_t cut = first;
    if (first >= 2 && yaku.compare(first - 2, 2, "符") == 0) {
        cut = yaku.find(' ', first + 1);
    }
    if (cut == npos) {
        return yaku + "\r\n\r\n";
    }
    return yaku.substr(0, cut) + "\r\n\r\n" + yaku.substr(cut + 1);
}

namespace {

bool fieldMatches(const GameRecord& r, std::int32_t target, const char* text) {
    auto has = [text](const char* field) { return std::strstr(field, text) != nullptr; };
    switch (target) {
    case 1:
        return has(r.tableName);
    case 2:
        return has(r.playerLine);
    case 3:
        return has(r.startTime);
    case 4:
        return has(r.endTime);
    case 8:
    case 9:
    case 10:
    case 11:
        return has(r.placings[target - 8]);
    default:
        break;
    }
    for (const HandRecord& h : r.hands) {
        const char* field = target == 5 ? h.handName : target == 6 ? h.handYaku : h.handResult;
        if (has(field)) {
            return true;
        }
    }
    return false;
}

} // namespace

int referenceSearch(const GameLibrary& library, const SearchOptions& options) {
    if (options.target < 1 || options.target > 11) {
        return -1;
    }
    const auto count = static_cast<std::uint32_t>(library.recordCount());
    const auto step = static_cast<std::uint32_t>(options.step);
    for (std::uint32_t pos = static_cast<std::uint32_t>(options.startIndex) + step; pos < count;
         pos += step) {
        if (fieldMatches(*library.record(static_cast<int>(pos)), options.target,
                         options.searchText)) {
            return static_cast<int>(pos);
        }
    }
    return -1;
}
