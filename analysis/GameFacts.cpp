// Reads the facts of a half-game out of its record's fields; nothing is guessed.
#include "analysis/GameFacts.h"

#include <cstring>
#include <limits>
#include <string_view>

namespace {

using Words = std::vector<std::string_view>;

Words splitWords(std::string_view text) {
    Words words;
    words.reserve(16); // a result or yaku line: one allocation rather than five

    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ') {
            ++i;
        }
        if (i > start) {
            words.push_back(text.substr(start, i - start));
        }
    }
    return words;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whole decimal digits that fit an int; absent otherwise.
std::optional<long long> digits(std::string_view text, long long limit) {
    if (text.empty() || text.size() > 18) {
        return std::nullopt;
    }
    long long value = 0;
    for (char c : text) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > limit) {
        return std::nullopt;
    }
    return value;
}

// "+5200" or "-5200"; a sign is required.
std::optional<int> signedInt(std::string_view text) {
    if (text.size() < 2 || (text[0] != '+' && text[0] != '-')) {
        return std::nullopt;
    }
    const auto value = digits(text.substr(1), std::numeric_limits<int>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int>(text[0] == '-' ? -*value : *value);
}

// "+40.8", "-5.0", "+3": tenths of a point; a sign is required.
std::optional<int> signedTenths(std::string_view text) {
    if (text.size() < 2 || (text[0] != '+' && text[0] != '-')) {
        return std::nullopt;
    }
    std::string_view whole = text.substr(1);
    std::string_view fraction;
    if (const auto dot = whole.find('.'); dot != std::string_view::npos) {
        fraction = whole.substr(dot + 1);
        whole = whole.substr(0, dot);
        if (fraction.size() != 1) {
            return std::nullopt;
        }
    }
    const auto units = digits(whole, 10'000'000);
    const auto tenths = fraction.empty() ? std::optional<long long>(0) : digits(fraction, 9);
    if (!units || !tenths) {
        return std::nullopt;
    }
    const long long value = *units * 10 + *tenths;
    return static_cast<int>(text[0] == '-' ? -value : value);
}

// "(60800)" or "(-21200)".
std::optional<long long> pointsInParens(std::string_view text) {
    if (text.size() < 3 || text.front() != '(' || text.back() != ')') {
        return std::nullopt;
    }
    std::string_view inner = text.substr(1, text.size() - 2);
    const bool negative = !inner.empty() && inner[0] == '-';
    if (negative || (!inner.empty() && inner[0] == '+')) {
        inner.remove_prefix(1);
    }
    const auto value = digits(inner, 1'000'000'000'000LL);
    if (!value) {
        return std::nullopt;
    }
    return negative ? -*value : *value;
}

std::vector<SeatFacts> seatsOf(const char* playerLine, int playerCount) {
    std::vector<SeatFacts> seats;
    const std::string_view line(playerLine);
    for (int seat = 1; seat <= playerCount; ++seat) {
        const char marker[] = {'[', static_cast<char>('0' + seat), ']', '\0'};
        const std::size_t at = line.find(marker);
        if (at == std::string_view::npos) {
            continue; // "[1]", "[2]" and "[4]" without "[3]" counts two players
        }
        const std::size_t from = at + 3;
        // The entry ends at the next "[n]" marker of any seat, so a fifth seat is
        // never read into the fourth.
        std::size_t to = line.size();
        for (std::size_t i = from; i + 2 < line.size(); ++i) {
            if (line[i] == '[' && isDigit(line[i + 1]) && line[i + 2] == ']') {
                to = i;
                break;
            }
        }
        SeatFacts facts;
        facts.seat = seat;
        facts.raw = std::string(trim(line.substr(from, to - from)));
        const Words words = splitWords(facts.raw);
        std::string_view name = facts.raw;
        if (!words.empty() && words.back().size() >= 2 && words.back()[0] == 'R') {
            // The last word is the rating word; a rating that does not read stays absent.
            const std::string_view ratingWord = words.back();
            const auto rating = digits(ratingWord.substr(1), 999'999);
            if (rating) {
                facts.rating = static_cast<int>(*rating);
            }
            if (rating || ratingWord == "R-" || words.size() > 1) {
                name = trim(std::string_view(facts.raw).substr(
                    0, static_cast<std::size_t>(ratingWord.data() - facts.raw.data())));
            }
        }
        facts.name = std::string(name);
        seats.push_back(std::move(facts));
    }
    return seats;
}

PlacingFacts placingOf(const char* placing) {
    PlacingFacts facts;
    facts.raw = placing;
    const std::string_view line(facts.raw);
    // "1位 name +40.8 (60800)": the place, then the last two words are score and points.
    const std::size_t mark = line.find("位");
    std::string_view rest = line;
    if (mark != std::string_view::npos && mark > 0) {
        const auto place = digits(line.substr(0, mark), 9);
        if (place) {
            facts.place = static_cast<int>(*place);
            rest = line.substr(mark + std::strlen("位"));
        }
    }
    Words words = splitWords(rest);
    if (!words.empty()) {
        facts.points = pointsInParens(words.back());
        if (facts.points) {
            words.pop_back();
        }
    }
    if (!words.empty()) {
        facts.scoreTenths = signedTenths(words.back());
        if (facts.scoreTenths || (facts.points && words.size() > 1)) {
            words.pop_back(); // a score word without its sign is dropped from the name
        }
    }
    if (!words.empty()) {
        const char* from = words.front().data();
        const char* to = words.back().data() + words.back().size();
        facts.name = std::string(from, static_cast<std::size_t>(to - from));
    }
    return facts;
}

// "東1局 0本場(リーチ0)": wind, round, honba and riichi sticks, each only if it reads.
void readTitle(HandFacts& hand) {
    const std::string_view title(hand.title);
    const std::size_t kyoku = title.find("局");
    if (kyoku != std::string_view::npos && kyoku >= 3) {
        // The wind is one double-byte character, the round the digits after it.
        const auto round = digits(title.substr(2, kyoku - 2), 99);
        if (round) {
            hand.wind = std::string(title.substr(0, 2));
            hand.round = static_cast<int>(*round);
        }
    }
    const std::size_t honba = title.find("本場(リーチ");
    if (honba != std::string_view::npos) {
        std::size_t start = honba;
        while (start > 0 && isDigit(title[start - 1])) {
            --start;
        }
        if (const auto value = digits(title.substr(start, honba - start), 999)) {
            hand.honba = static_cast<int>(*value);
        }
        const std::size_t from = honba + std::strlen("本場(リーチ");
        const std::size_t close = title.find(')', from);
        if (close != std::string_view::npos) {
            if (const auto value = digits(title.substr(from, close - from), 999)) {
                hand.riichiSticks = static_cast<int>(*value);
            }
        }
    }
}

void readResult(HandFacts& hand) {
    const Words words = splitWords(hand.result);
    const bool drawWord = !words.empty() && words[0] == "流局";
    if (drawWord) {
        hand.draw = true;
        // "流局 0": a draw with no payments.
        hand.resultParsed = words.size() == 2 && words[1] == "0";
        return;
    }
    hand.resultParsed = !words.empty() && words.size() % 2 == 0;
    hand.changes.reserve(words.size() / 2);
    for (std::size_t i = 0; hand.resultParsed && i + 1 < words.size(); i += 2) {
        const auto change = signedInt(words[i + 1]);
        if (!change) {
            hand.resultParsed = false;
            break;
        }
        hand.changes.push_back({std::string(words[i]), *change});
    }
    if (!hand.resultParsed) {
        hand.changes.clear();
    }
}

bool isHonourWordLead(std::string_view word) {
    return word == "役牌" || word == "場風" || word == "自風" || word == "門風";
}

} // namespace

std::optional<std::string> isoTime(const char* logTime) {
    const std::string_view text(logTime);
    static const char kShape[] = "dddd/dd/dd dd:dd";
    if (text.size() != sizeof kShape - 1) {
        return std::nullopt;
    }
    std::string iso(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] == 'd' ? !isDigit(text[i]) : text[i] != kShape[i]) {
            return std::nullopt;
        }
        if (text[i] == '/') {
            iso[i] = '-';
        }
    }
    return iso;
}

HandFacts handFacts(const HandRecord& record, int number) {
    HandFacts hand;
    hand.number = number;
    hand.title = record.handName;
    hand.result = record.handResult;
    hand.yaku = record.handYaku;
    readTitle(hand);
    readResult(hand);
    const Words words = splitWords(hand.yaku);
    if (!words.empty() && words[0] == "流局") {
        hand.draw = true;
    }
    hand.yakuTokens.reserve(words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (isHonourWordLead(words[i]) && i + 1 < words.size()) {
            const char* from = words[i].data();
            hand.yakuTokens.emplace_back(
                from, static_cast<std::size_t>(words[i + 1].data() + words[i + 1].size() - from));
            ++i;
        } else {
            hand.yakuTokens.emplace_back(words[i]);
        }
    }
    for (const PointChange& change : hand.changes) {
        if (change.change > 0 && !hand.draw) {
            hand.winners.push_back(change.name);
        } else if (change.change < 0) {
            hand.payers.push_back(change.name);
        }
    }
    return hand;
}

GameFacts gameFacts(const GameRecord& record, int number, bool withHands) {
    GameFacts game;
    game.number = number;
    game.startRaw = record.startTime;
    game.endRaw = record.endTime;
    game.start = isoTime(record.startTime);
    game.end = isoTime(record.endTime);
    game.table = record.tableName;
    game.playerCount = record.playerCount;
    game.aborted = std::strcmp(record.placings[0], "途中終了") == 0;
    game.playerLine = record.playerLine;
    game.seats = seatsOf(record.playerLine, record.playerCount);
    if (!game.aborted) {
        for (int i = 0; i < record.playerCount && i < kPlacingCount; ++i) {
            game.placings.push_back(placingOf(record.placings[i]));
        }
    }
    if (withHands) {
        game.hands.reserve(record.hands.size());
        int n = 0;
        for (const HandRecord& hand : record.hands) {
            game.hands.push_back(handFacts(hand, ++n));
        }
    }
    return game;
}

const SeatFacts* findSeat(const GameFacts& game, const std::string& name) {
    for (const SeatFacts& seat : game.seats) {
        if (seat.name == name) {
            return &seat;
        }
    }
    return nullptr;
}

const PlacingFacts* findPlacing(const GameFacts& game, const std::string& name) {
    for (const PlacingFacts& placing : game.placings) {
        if (placing.name == name) {
            return &placing;
        }
    }
    return nullptr;
}
