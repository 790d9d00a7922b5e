// Reads the facts of a half-game out of its record's fields; nothing is guessed.
#include "analysis/GameFacts.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <string_view>

namespace {

using Words = std::vector<std::string_view>;

// The words of a text into words, whose storage is kept from call to call.
void splitWords(std::string_view text, Words& words) {
    words.clear();
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
}

// The texts of a list, assigned over the ones it held: their storage is used again.
void setText(std::vector<std::string>& list, std::size_t& used, std::string_view text) {
    if (used < list.size()) {
        list[used].assign(text.data(), text.size());
    } else {
        list.emplace_back(text);
    }
    ++used;
}

void setOptional(std::optional<std::string>& field, std::string_view text) {
    if (field) {
        field->assign(text.data(), text.size());
    } else {
        field.emplace(text);
    }
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

void readSeats(const char* playerLine, int playerCount, std::vector<SeatFacts>& seats) {
    thread_local Words words;
    std::size_t used = 0;
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
        if (used == seats.size()) {
            seats.emplace_back();
        }
        SeatFacts& facts = seats[used++];
        facts.seat = seat;
        facts.rating.reset();
        facts.bust = false;
        const std::string_view raw = trim(line.substr(from, to - from));
        facts.raw.assign(raw.data(), raw.size());
        splitWords(raw, words);
        std::string_view name = raw;
        if (!words.empty() && words.back().size() >= 2 && words.back()[0] == 'R') {
            // The last word is the rating word; a rating that does not read stays absent.
            const std::string_view ratingWord = words.back();
            const auto rating = digits(ratingWord.substr(1), 999'999);
            if (rating) {
                facts.rating = static_cast<int>(*rating);
            }
            if (rating || ratingWord == "R-" || words.size() > 1) {
                name = trim(raw.substr(0, static_cast<std::size_t>(ratingWord.data() - raw.data())));
            }
        }
        facts.name.assign(name.data(), name.size());
    }
    seats.resize(used);
}

void readPlacing(const char* placing, PlacingFacts& facts) {
    thread_local Words words;
    facts.raw.assign(placing);
    facts.place.reset();
    facts.scoreTenths.reset();
    facts.points.reset();
    facts.name.clear();
    const std::string_view line(placing);
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
    splitWords(rest, words);
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
        facts.name.assign(from, static_cast<std::size_t>(to - from));
    }
}

// "東1局 0本場(リーチ0)": wind, round, honba and riichi sticks, each only if it reads.
void readTitle(HandFacts& hand) {
    const std::string_view title(hand.title);
    const std::size_t kyoku = title.find("局");
    if (kyoku != std::string_view::npos && kyoku >= 3) {
        // The wind is one double-byte character, the round the digits after it.
        const auto round = digits(title.substr(2, kyoku - 2), 99);
        if (round) {
            setOptional(hand.wind, title.substr(0, 2));
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

// The next word of rest, taken off its front; empty at the end.
std::string_view nextWord(std::string_view& rest) {
    std::size_t from = 0;
    while (from < rest.size() && rest[from] == ' ') {
        ++from;
    }
    std::size_t to = from;
    while (to < rest.size() && rest[to] != ' ') {
        ++to;
    }
    const std::string_view word = rest.substr(from, to - from);
    rest.remove_prefix(to);
    return word;
}

// The result line's pairs of name and signed change, each given to each(name, change) in
// order; false when the line does not read so. "流局 0" reads, as a draw with none.
template <typename Each> bool readChanges(std::string_view result, bool& draw, Each each) {
    std::string_view name = nextWord(result);
    draw = name == "流局";
    if (draw) {
        return nextWord(result) == "0" && nextWord(result).empty();
    }
    if (name.empty()) {
        return false;
    }
    for (; !name.empty(); name = nextWord(result)) {
        const auto change = signedInt(nextWord(result));
        if (!change) {
            return false;
        }
        each(name, *change);
    }
    return true;
}

void readResult(HandFacts& hand) {
    std::size_t used = 0;
    hand.resultParsed = readChanges(hand.result, hand.draw, [&](std::string_view name, int change) {
        if (used == hand.changes.size()) {
            hand.changes.emplace_back();
        }
        PointChange& added = hand.changes[used++];
        added.name.assign(name.data(), name.size());
        added.change = change;
        added.seat.reset();
        added.role = ChangeRole::Other;
    });
    hand.changes.resize(hand.resultParsed ? used : 0);
}

bool isHonourWordLead(std::string_view word) {
    return word == "役牌" || word == "場風" || word == "自風" || word == "門風";
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Leading ASCII digits; a CP932 trail byte is never one, so the rest starts a character.
std::size_t digitCount(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n])) {
        ++n;
    }
    return n;
}

enum class Token { Yaku, Fu, Han, Limit, Dora, Ura, Aka, Draw };

// The first character of a text as one number: a double-byte character's two bytes.
unsigned leadOf(std::string_view text) {
    if (text.size() < 2) {
        return text.empty() ? 0 : static_cast<unsigned char>(text[0]);
    }
    return static_cast<unsigned char>(text[0]) << 8 | static_cast<unsigned char>(text[1]);
}

// What a yaku token says, and its count for fu, han and dora. Any number of digits
// makes a fu or han word; only a count up to 999 is read. A yaku line holds a handful
// of tokens and a log a million lines: the first character decides which words a token
// can be before any is compared.
Token tokenKind(std::string_view token, std::optional<int>& count) {
    if (!token.empty() && isDigit(token[0])) {
        const std::size_t n = digitCount(token);
        const std::string_view unit = token.substr(n);
        if (unit == "符" || unit == "飜" || unit == "翻") {
            if (const auto value = digits(token.substr(0, n), 999)) {
                count = static_cast<int>(*value);
            }
            return unit == "符" ? Token::Fu : Token::Han;
        }
        return Token::Yaku;
    }
    struct Word {
        std::string_view text;
        Token kind;
        bool prefix; // the word begins the token, a count of dora follows
    };
    static const Word kWords[] = {
        {"ドラ", Token::Dora, true}, {"裏", Token::Ura, true},        {"赤", Token::Aka, true},
        {"満貫", Token::Limit, false}, {"跳満", Token::Limit, false}, {"倍満", Token::Limit, false},
        {"三倍満", Token::Limit, false}, {"役満", Token::Limit, false},
        {"数え役満", Token::Limit, false}, {"ダブル役満", Token::Limit, false},
        {"トリプル役満", Token::Limit, false}, {"流局", Token::Draw, false},
    };
    static const unsigned kTenpai = leadOf("聴牌:");
    const unsigned lead = leadOf(token);
    if (lead == kTenpai) {
        return startsWith(token, "聴牌:") ? Token::Draw : Token::Yaku;
    }
    for (const Word& word : kWords) {
        if (leadOf(word.text) != lead) {
            continue;
        }
        if (!word.prefix) {
            if (token == word.text) {
                return word.kind;
            }
            continue;
        }
        if (!startsWith(token, word.text)) {
            continue;
        }
        const std::string_view number = token.substr(word.text.size());
        // Up to three digits: a count, never an overflow.
        if (number.empty() || number.size() > 3 || digitCount(number) != number.size()) {
            return Token::Yaku;
        }
        count = static_cast<int>(*digits(number, 999));
        return word.kind;
    }
    return Token::Yaku;
}

// Fu, han, limit, dora and the yaku names out of the yaku tokens.
void readYakuTokens(HandFacts& hand) {
    std::size_t names = 0;
    for (const std::string& token : hand.yakuTokens) {
        std::optional<int> count;
        switch (tokenKind(token, count)) {
        case Token::Fu:
            hand.fu = hand.fu ? hand.fu : count;
            break;
        case Token::Han:
            hand.han = hand.han ? hand.han : count;
            break;
        case Token::Limit:
            if (!hand.limit) {
                hand.limit.emplace(token);
            }
            break;
        case Token::Dora:
            hand.dora += *count;
            break;
        case Token::Ura:
            hand.ura += *count;
            break;
        case Token::Aka:
            hand.aka += *count;
            break;
        case Token::Draw:
            break;
        case Token::Yaku:
            // Once each: "立直 立直" is a hand with 立直.
            if (std::find(hand.yakuNames.begin(), hand.yakuNames.begin() + names, token) ==
                hand.yakuNames.begin() + names) {
                setText(hand.yakuNames, names, token);
            }
            break;
        }
    }
    hand.yakuNames.resize(names);
}

// The facts of one hand that its record alone tells, over what hand held before.
void readHand(const HandRecord& record, int number, HandFacts& hand) {
    thread_local Words words;
    hand.number = number;
    hand.title.assign(record.handName);
    hand.wind.reset();
    hand.round.reset();
    hand.honba.reset();
    hand.riichiSticks.reset();
    hand.result.assign(record.handResult);
    hand.yaku.assign(record.handYaku);
    hand.draw = false;
    hand.dealer.reset();
    hand.kind.reset();
    hand.fu.reset();
    hand.han.reset();
    hand.limit.reset();
    hand.dora = hand.ura = hand.aka = 0;
    hand.tenpai.reset();
    hand.winnerRiichi.reset();
    hand.pointsAfter.clear();
    readTitle(hand);
    readResult(hand);
    splitWords(hand.yaku, words);
    if (!words.empty() && words[0] == "流局") {
        hand.draw = true;
    }
    std::size_t tokens = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (isHonourWordLead(words[i]) && i + 1 < words.size()) {
            const char* from = words[i].data();
            setText(hand.yakuTokens, tokens,
                    std::string_view(from, static_cast<std::size_t>(words[i + 1].data() +
                                                                   words[i + 1].size() - from)));
            ++i;
        } else {
            setText(hand.yakuTokens, tokens, words[i]);
        }
    }
    hand.yakuTokens.resize(tokens);
    std::size_t winners = 0, payers = 0;
    for (const PointChange& change : hand.changes) {
        if (change.change > 0 && !hand.draw) {
            setText(hand.winners, winners, change.name);
        } else if (change.change < 0) {
            setText(hand.payers, payers, change.name);
        }
    }
    hand.winners.resize(winners);
    hand.payers.resize(payers);
    readYakuTokens(hand);
}

// The seat of the player called name; absent when no seat, or more than one, has it.
std::optional<int> seatOf(const GameFacts& game, std::string_view name) {
    std::optional<int> found;
    for (const SeatFacts& seat : game.seats) {
        if (!name.empty() && seat.name == name) {
            if (found) {
                return std::nullopt;
            }
            found = seat.seat;
        }
    }
    return found;
}

// The title's "(親:NAME)"; else seat (N - 1) mod players + 1 of a wind's Nth round.
std::optional<int> dealerOf(const GameFacts& game, const HandFacts& hand) {
    const std::string_view title(hand.title);
    if (const std::size_t at = title.find("(親:"); at != std::string_view::npos) {
        const std::size_t from = at + std::strlen("(親:");
        const std::size_t close = title.find(')', from);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        // A name that is no seat's is not replaced by the round's seat: the title disagrees.
        return seatOf(game, title.substr(from, close - from));
    }
    static const char* const kWinds[] = {"東", "南", "西", "北"};
    const bool wind = hand.wind && std::any_of(std::begin(kWinds), std::end(kWinds),
                                               [&](const char* w) { return *hand.wind == w; });
    if (!wind || !hand.round || *hand.round < 1 || game.playerCount < 2) {
        return std::nullopt;
    }
    return (*hand.round - 1) % game.playerCount + 1;
}

// The stats' rules: tsumo is one winner paid by every other player, a ron (deal-in) at
// least one winner paid by exactly one player; at 2 players both look the same.
std::optional<HandKind> kindOf(const GameFacts& game, const HandFacts& hand) {
    if (hand.draw) {
        return HandKind::Draw; // counted a draw even when its payments do not read
    }
    if (!hand.resultParsed) {
        return std::nullopt;
    }
    if (hand.winners.empty()) {
        return HandKind::Other;
    }
    if (game.playerCount < 3) {
        return HandKind::Win;
    }
    if (hand.winners.size() == 1 &&
        hand.payers.size() == static_cast<std::size_t>(game.playerCount - 1)) {
        return HandKind::Tsumo;
    }
    return hand.payers.size() == 1 ? HandKind::Ron : HandKind::Other;
}

ChangeRole roleOf(HandKind kind, int change) {
    if (change == 0) {
        return ChangeRole::Other;
    }
    if (kind == HandKind::Draw) {
        return change > 0 ? ChangeRole::DrawReceipt : ChangeRole::DrawPayment;
    }
    if (change > 0) {
        return ChangeRole::Win; // every gain of a hand that is no draw: its winners
    }
    return kind == HandKind::Ron     ? ChangeRole::DealIn
           : kind == HandKind::Tsumo ? ChangeRole::TsumoPayment
                                     : ChangeRole::Other;
}

// "聴牌:甲,乙" in a draw's yaku: the seats in seat order; absent if a name has no seat.
std::optional<std::vector<int>> tenpaiOf(const GameFacts& game, const HandFacts& hand) {
    const auto token = std::find_if(hand.yakuTokens.begin(), hand.yakuTokens.end(),
                                    [](const std::string& t) { return startsWith(t, "聴牌:"); });
    if (!hand.draw || token == hand.yakuTokens.end()) {
        return std::nullopt;
    }
    std::string_view names = std::string_view(*token).substr(std::strlen("聴牌:"));
    std::vector<int> seats;
    if (names == "なし") {
        return seats;
    }
    while (true) {
        const std::size_t comma = names.find(',');
        const auto seat = seatOf(game, names.substr(0, comma));
        if (!seat) {
            return std::nullopt;
        }
        seats.push_back(*seat);
        if (comma == std::string_view::npos) {
            break;
        }
        names.remove_prefix(comma + 1);
    }
    std::sort(seats.begin(), seats.end());
    seats.erase(std::unique(seats.begin(), seats.end()), seats.end());
    return seats;
}

// The facts of a hand that need its half-game.
void placeHand(const GameFacts& game, HandFacts& hand) {
    hand.dealer = dealerOf(game, hand);
    hand.kind = kindOf(game, hand);
    for (PointChange& change : hand.changes) {
        change.seat = seatOf(game, change.name);
        change.role = roleOf(*hand.kind, change.change); // changes read: kind is known
    }
    hand.tenpai = tenpaiOf(game, hand);
    if (hand.kind && *hand.kind != HandKind::Draw && hand.winners.size() == 1) {
        const auto& names = hand.yakuNames;
        hand.winnerRiichi = std::find(names.begin(), names.end(), "立直") != names.end() ||
                            std::find(names.begin(), names.end(), "ダブル立直") != names.end();
    }
}

// Each seat's changes summed over the record's hands; absent when a result does not
// read or a change names no single seat.
std::optional<std::vector<long long>> changeTotals(const GameFacts& game,
                                                   const GameRecord& record) {
    std::vector<long long> totals(game.seats.size(), 0);
    for (const HandRecord& hand : record.hands) {
        bool draw = false, seated = true;
        const bool read =
            readChanges(hand.handResult, draw, [&](std::string_view name, int change) {
                const auto seat = seatOf(game, name);
                seated = seated && seat;
                if (seat) {
                    totals[static_cast<std::size_t>(*seat - 1)] += change;
                }
            });
        if (!read || !seated) {
            return std::nullopt;
        }
    }
    return totals;
}

// The same from hands already read.
std::optional<std::vector<long long>> changeTotals(const GameFacts& game) {
    std::vector<long long> totals(game.seats.size(), 0);
    for (const HandFacts& hand : game.hands) {
        if (!hand.resultParsed) {
            return std::nullopt;
        }
        for (const PointChange& change : hand.changes) {
            if (!change.seat) {
                return std::nullopt;
            }
            totals[static_cast<std::size_t>(*change.seat - 1)] += change.change;
        }
    }
    return totals;
}

// startPoints and bust: each placing's points less its player's changes, the same for all.
void setStartPoints(GameFacts& game, const std::optional<std::vector<long long>>& totals) {
    game.startPoints.reset();
    const auto players = static_cast<std::size_t>(game.playerCount);
    if (!totals || game.aborted || game.seats.size() != players ||
        game.placings.size() != players) {
        return;
    }
    bool placed[kPlacingCount] = {};
    std::optional<long long> start;
    for (const PlacingFacts& placing : game.placings) {
        const auto seat = seatOf(game, placing.name);
        if (!seat || !placing.points || placed[*seat - 1]) {
            return;
        }
        placed[*seat - 1] = true;
        const long long own = *placing.points - (*totals)[static_cast<std::size_t>(*seat - 1)];
        if (start && *start != own) {
            return;
        }
        start = own;
    }
    game.startPoints = start;
    for (SeatFacts& seat : game.seats) {
        seat.bust = *start + (*totals)[static_cast<std::size_t>(seat.seat - 1)] < 0;
    }
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

void readGameFacts(const GameRecord& record, int number, GameFacts& game) {
    game.number = number;
    game.startRaw.assign(record.startTime);
    game.endRaw.assign(record.endTime);
    game.start = isoTime(record.startTime);
    game.end = isoTime(record.endTime);
    game.table.assign(record.tableName);
    game.playerCount = record.playerCount;
    game.aborted = record.aborted();
    game.playerLine.assign(record.playerLine);
    readSeats(record.playerLine, record.playerCount, game.seats);
    const int placings = game.aborted ? 0 : std::min<int>(record.playerCount, kPlacingCount);
    game.placings.resize(static_cast<std::size_t>(placings));
    for (int i = 0; i < placings; ++i) {
        readPlacing(record.placings[i], game.placings[static_cast<std::size_t>(i)]);
    }
    game.startPoints.reset();
}

void readStartPoints(const GameRecord& record, GameFacts& game) {
    game.hands.clear();
    setStartPoints(game, game.aborted ? std::nullopt : changeTotals(game, record));
}

void readHandFacts(const GameRecord& record, GameFacts& game) {
    // Kept rather than cleared: each hand's texts and lists are written over.
    std::vector<HandFacts>& hands = game.hands;
    hands.resize(record.hands.size());
    int n = 0;
    for (const HandRecord& hand : record.hands) {
        HandFacts& facts = hands[static_cast<std::size_t>(n)];
        readHand(hand, ++n, facts);
        placeHand(game, facts);
    }
    setStartPoints(game, game.aborted ? std::nullopt : changeTotals(game));
    if (!game.startPoints) {
        return;
    }
    std::vector<long long> points(game.seats.size(), *game.startPoints);
    for (HandFacts& facts : hands) {
        for (const PointChange& change : facts.changes) {
            points[static_cast<std::size_t>(*change.seat - 1)] += change.change;
        }
        facts.pointsAfter = points;
    }
}

GameFacts gameFacts(const GameRecord& record, int number, bool withHands) {
    GameFacts game;
    readGameFacts(record, number, game);
    if (withHands) {
        readHandFacts(record, game);
    } else {
        readStartPoints(record, game);
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
