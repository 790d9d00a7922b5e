// Reads the facts of a half-game out of its record's fields; nothing is guessed.
#include "analysis/GameFacts.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string_view>

#include "model/LogMarkers.h"

namespace {

// The words of a text as far as the seat and placing lines read them: the first, the
// last three and how many there are. It lives on the stack: the Windows builds' runtime
// destroys a per-thread object wrongly when its thread ends.
class Words {
  public:
    explicit Words(std::string_view text) {
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
                add(text.substr(start, i - start));
            }
        }
    }
    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }
    std::string_view front() const { return first_; }
    std::string_view back() const { return last_[(count_ - 1) % kKept]; }
    // At most kKept - 1 times: the words before those are not kept.
    void pop_back() { --count_; }

  private:
    static constexpr std::size_t kKept = 3;
    void add(std::string_view word) {
        if (count_ == 0) {
            first_ = word;
        }
        last_[count_ % kKept] = word;
        ++count_;
    }
    std::string_view first_;
    std::string_view last_[kKept];
    std::size_t count_ = 0;
};

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

// Two short texts equal: most differ in their size or first byte, so memcmp is rarely
// reached. (A log's words are compared millions of times.)
bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           (a.empty() || (a[0] == b[0] && std::memcmp(a.data(), b.data(), a.size()) == 0));
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
    std::size_t used = 0;
    const std::string_view line(playerLine);
    // Each seat of the table at its mark's first place in the line: seat numbers run from
    // 1 to the table's size and none is read twice.
    for (int seat = 1; seat <= std::min(playerCount, kPlacingCount); ++seat) {
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
        facts.raw = raw;
        const Words words(raw);
        std::string_view name = raw;
        if (!words.empty() && words.back().size() >= 2 && words.back()[0] == 'R') {
            // The last word is the rating word; a rating that does not read stays absent.
            const std::string_view ratingWord = words.back();
            const auto rating = digits(ratingWord.substr(1), 999'999);
            if (rating) {
                facts.rating = static_cast<int>(*rating);
            }
            if (rating || ratingWord == "R-" || words.size() > 1) {
                name =
                    trim(raw.substr(0, static_cast<std::size_t>(ratingWord.data() - raw.data())));
            }
        }
        facts.name = name;
    }
    seats.resize(used);
}

} // namespace

int unreadSeatMarks(std::string_view playerLine, int playerCount) {
    const std::size_t first = playerLine.find(logmark::kSeatMarks[0]);
    if (first == std::string_view::npos) {
        return 0; // no player line: the loader did not take it
    }
    std::array<bool, 9> read{}; // by the n of "[n]"
    int unread = 0;
    for (std::size_t at = playerLine.find('['); at != std::string_view::npos;
         at = playerLine.find('[', at + 1)) {
        const int seat = seatMarkAt(playerLine, at);
        bool* seen = numbered(read, seat);
        if (!seen || (seat > kPlacingCount && at >= first)) {
            continue;
        }
        // As readSeats reads the line: each seat of the table at its first mark from "[1]".
        const bool seated = at >= first && seat <= playerCount && !*seen;
        *seen = *seen || seated;
        unread += !seated;
    }
    return unread;
}

namespace {

void readPlacing(const char* placing, PlacingFacts& facts) {
    facts.raw = placing;
    facts.place.reset();
    facts.scoreTenths.reset();
    facts.points.reset();
    facts.name = {};
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
    Words words(rest);
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
        facts.name = std::string_view(from, static_cast<std::size_t>(to - from));
    }
}

// "東1局 0本場(リーチ0)": wind, round, honba and riichi sticks, each only if it reads.
// The shape nearly every title has, "東1局 0本場(リーチ0)", read in one sweep; false
// (and nothing set) for any other, which readTitle then reads by its rules.
bool readUsualTitle(HandFacts& hand) {
    static const std::string_view kKyoku = "局", kHonba = "本場(リーチ";
    const std::string_view t = hand.title;
    std::size_t i = 2;
    int round = 0, honba = 0, sticks = 0;
    const auto number = [&](int& value, std::size_t most) {
        const std::size_t from = i;
        while (i < t.size() && i - from < most && isDigit(t[i])) {
            value = value * 10 + (t[i++] - '0');
        }
        return i > from && (i >= t.size() || !isDigit(t[i]));
    };
    // The wind, then the round's digits, then the first 局 of the title.
    if (t.size() < 2 || static_cast<unsigned char>(t[0]) < 0x81 || t.substr(0, 2) == kKyoku ||
        !number(round, 2) || t.substr(i, kKyoku.size()) != kKyoku) {
        return false;
    }
    i += kKyoku.size();
    if (i >= t.size() || t[i++] != ' ' || !number(honba, 3) ||
        t.substr(i, kHonba.size()) != kHonba) {
        return false;
    }
    i += kHonba.size();
    if (!number(sticks, 3) || i + 1 != t.size() || t[i] != ')') {
        return false;
    }
    hand.wind = t.substr(0, 2);
    hand.round = round;
    hand.honba = honba;
    hand.riichiSticks = sticks;
    return true;
}

void readTitle(HandFacts& hand) {
    if (readUsualTitle(hand)) {
        return;
    }
    const std::string_view title(hand.title);
    const std::size_t kyoku = title.find("局");
    if (kyoku != std::string_view::npos && kyoku >= 3) {
        // The wind is one double-byte character, the round the digits after it.
        const auto round = digits(title.substr(2, kyoku - 2), 99);
        if (round) {
            hand.wind = title.substr(0, 2);
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

// The first space from p on, or end. Eight bytes at a time: a log's lines are mostly
// words of several bytes. (No CP932 trail byte is a space.)
inline const char* spaceFrom(const char* p, const char* const end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    constexpr std::uint64_t kSpaces = kOnes * ' ';
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t x = word ^ kSpaces; // a zero byte where a space was
        if (const std::uint64_t zeros = (x - kOnes) & ~x & kHighs) {
            // The lowest flagged byte is the first space; flags above it may be false.
            return p + __builtin_ctzll(zeros) / 8;
        }
        p += 8;
    }
    while (p < end && *p != ' ') {
        ++p;
    }
    return p;
}

// The next word of rest, taken off its front; empty at the end.
inline std::string_view nextWord(std::string_view& rest) {
    const char* p = rest.data();
    const char* const end = p + rest.size();
    while (p < end && *p == ' ') {
        ++p;
    }
    const char* const from = p;
    p = spaceFrom(p, end);
    rest = std::string_view(p, static_cast<std::size_t>(end - p));
    return std::string_view(from, static_cast<std::size_t>(p - from));
}

// The result line's pairs of name and signed change, each given to each(name, change) in
// order; false when the line does not read so. "流局 0" reads, as a draw with none.
template <typename Each> bool readChanges(std::string_view result, bool& draw, Each each) {
    static const std::string_view kDraw = "流局";
    std::string_view name = nextWord(result);
    draw = sameText(name, kDraw);
    if (draw) {
        return nextWord(result) == "0" && nextWord(result).empty();
    }
    if (name.empty()) {
        return false;
    }
    for (; !name.empty(); name = nextWord(result)) {
        // The signed change: "+5200" or "-5200", read in place.
        const std::string_view word = nextWord(result);
        if (word.size() < 2 || word.size() > 11 || (word[0] != '+' && word[0] != '-')) {
            return false;
        }
        long long value = 0;
        for (std::size_t i = 1; i < word.size(); ++i) {
            const unsigned digit = static_cast<unsigned char>(word[i]) - '0';
            if (digit > 9) {
                return false;
            }
            value = value * 10 + digit;
        }
        if (value > std::numeric_limits<int>::max()) {
            return false;
        }
        each(name, static_cast<int>(word[0] == '-' ? -value : value));
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
        added.name = name;
        added.change = change;
        added.seat.reset();
        added.role = ChangeRole::Other;
    });
    hand.changes.resize(hand.resultParsed ? used : 0);
}

bool isHonourWordLead(std::string_view word) {
    static const std::string_view kLeads[] = {"役牌", "場風", "自風", "門風"};
    return word.size() == kLeads[0].size() &&
           std::any_of(std::begin(kLeads), std::end(kLeads),
                       [&](std::string_view lead) { return sameText(word, lead); });
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
constexpr unsigned leadOf(std::string_view text) {
    if (text.size() < 2) {
        return text.empty() ? 0 : static_cast<unsigned char>(text[0]);
    }
    return static_cast<unsigned>(static_cast<unsigned char>(text[0])) << 8 |
           static_cast<unsigned char>(text[1]);
}

// A count of dora after its word: one to three digits; Yaku for anything else.
Token doraCount(std::string_view token, std::string_view word, Token kind,
                std::optional<int>& count) {
    if (!startsWith(token, word)) {
        return Token::Yaku;
    }
    const std::string_view number = token.substr(word.size());
    // Up to three digits: a count, never an overflow.
    if (number.empty() || number.size() > 3 || digitCount(number) != number.size()) {
        return Token::Yaku;
    }
    count = static_cast<int>(*digits(number, 999));
    return kind;
}

// What a yaku token says, and its count for fu, han and dora. Any number of digits
// makes a fu or han word; only a count up to 999 is read. A yaku line holds a handful
// of tokens and a log a million lines: the first character decides which word a token
// can be before anything is compared.
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
    const auto limit = [&](std::string_view word) {
        return sameText(token, word) ? Token::Limit : Token::Yaku;
    };
    switch (leadOf(token)) {
    case leadOf("ド"):
        return doraCount(token, "ドラ", Token::Dora, count);
    case leadOf("裏"):
        return doraCount(token, "裏", Token::Ura, count);
    case leadOf("赤"):
        return doraCount(token, "赤", Token::Aka, count);
    case leadOf("満"):
        return limit("満貫");
    case leadOf("跳"):
        return limit("跳満");
    case leadOf("倍"):
        return limit("倍満");
    case leadOf("三"):
        return limit("三倍満");
    case leadOf("役"):
        return limit("役満");
    case leadOf("数"):
        return limit("数え役満");
    case leadOf("ダ"):
        return limit("ダブル役満");
    case leadOf("ト"):
        return limit("トリプル役満");
    case leadOf("流"):
        return sameText(token, "流局") ? Token::Draw : Token::Yaku;
    case leadOf("聴"):
        return startsWith(token, "聴牌:") ? Token::Draw : Token::Yaku;
    default:
        return Token::Yaku;
    }
}

// Fu, han, limit, dora and the yaku names out of the yaku tokens.
void readYakuTokens(HandFacts& hand) {
    hand.yakuNames.clear();
    for (const std::string_view token : hand.yakuTokens) {
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
            if (std::none_of(hand.yakuNames.begin(), hand.yakuNames.end(),
                             [&](std::string_view name) { return sameText(name, token); })) {
                hand.yakuNames.push_back(token);
            }
            break;
        }
    }
}

// The facts of one hand that its record alone tells, over what hand held before.
void readHand(const HandRecord& record, int number, HandFacts& hand) {
    hand.number = number;
    hand.title = record.handName;
    hand.wind.reset();
    hand.round.reset();
    hand.honba.reset();
    hand.riichiSticks.reset();
    hand.result = record.handResult;
    hand.yaku = record.handYaku;
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
    hand.yakuTokens.clear();
    std::string_view rest = hand.yaku;
    for (std::string_view word = nextWord(rest); !word.empty(); word = nextWord(rest)) {
        // "役牌 白": the lead word and the next are one token.
        if (isHonourWordLead(word)) {
            if (const std::string_view next = nextWord(rest); !next.empty()) {
                word = std::string_view(
                    word.data(), static_cast<std::size_t>(next.data() + next.size() - word.data()));
            }
        }
        hand.yakuTokens.push_back(word);
    }
    static const std::string_view kDraw = "流局";
    if (!hand.yakuTokens.empty() && sameText(hand.yakuTokens.front(), kDraw)) {
        hand.draw = true;
    }
    hand.winners.clear();
    hand.payers.clear();
    for (const PointChange& change : hand.changes) {
        if (change.change > 0 && !hand.draw) {
            hand.winners.push_back(change.name);
        } else if (change.change < 0) {
            hand.payers.push_back(change.name);
        }
    }
    readYakuTokens(hand);
}

// The seat of the player called name; absent when no seat, or more than one, has it.
std::optional<int> seatOf(const GameFacts& game, std::string_view name) {
    std::optional<int> found;
    for (const SeatFacts& seat : game.seats) {
        if (!name.empty() && sameText(seat.name, name)) {
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
    static const std::string_view kWinds[] = {"東", "南", "西", "北"};
    const bool wind =
        hand.wind && std::any_of(std::begin(kWinds), std::end(kWinds),
                                 [&](std::string_view w) { return sameText(*hand.wind, w); });
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
    if (!hand.draw) {
        return std::nullopt; // most hands: nothing to look for
    }
    const auto token = std::find_if(hand.yakuTokens.begin(), hand.yakuTokens.end(),
                                    [](std::string_view t) { return startsWith(t, "聴牌:"); });
    if (token == hand.yakuTokens.end()) {
        return std::nullopt;
    }
    std::string_view names = token->substr(std::strlen("聴牌:"));
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
        static const std::string_view kRiichi = "立直", kDouble = "ダブル立直";
        hand.winnerRiichi =
            std::any_of(hand.yakuNames.begin(), hand.yakuNames.end(), [](std::string_view name) {
                return sameText(name, kRiichi) || sameText(name, kDouble);
            });
    }
}

// Each seat's changes summed over the record's hands; absent when a result does not
// read or a change names no single seat.
std::optional<std::vector<long long>> changeTotals(const GameFacts& game,
                                                   const GameRecord& record) {
    // By seat number: a line that gives seats 1 and 3 of three has no seat 2.
    std::vector<long long> totals(tableSeats(game), 0);
    for (const HandRecord& hand : record.hands) {
        bool draw = false, seated = true;
        const bool read =
            readChanges(hand.handResult, draw, [&](std::string_view name, int change) {
                const auto seat = seatOf(game, name);
                long long* total = seat ? numbered(totals, *seat) : nullptr;
                seated = seated && total;
                if (total) {
                    *total += change;
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
    std::vector<long long> totals(tableSeats(game), 0);
    for (const HandFacts& hand : game.hands) {
        if (!hand.resultParsed) {
            return std::nullopt;
        }
        for (const PointChange& change : hand.changes) {
            long long* total = change.seat ? numbered(totals, *change.seat) : nullptr;
            if (!total) {
                return std::nullopt;
            }
            *total += change.change;
        }
    }
    return totals;
}

// startPoints and bust: each placing's points less its player's changes, the same for all.
void setStartPoints(GameFacts& game, const std::optional<std::vector<long long>>& totals) {
    game.startPoints.reset();
    // Every seat of the table in the line, each with one placing: seat n is then seats[n - 1].
    const std::size_t players = tableSeats(game);
    if (!totals || game.aborted || players == 0 || game.seats.size() != players ||
        game.placings.size() != players || totals->size() != players) {
        return;
    }
    std::array<bool, kPlacingCount> placed{};
    std::optional<long long> start;
    for (const PlacingFacts& placing : game.placings) {
        const auto seat = seatOf(game, placing.name);
        bool* seatPlaced = seat ? numbered(placed, *seat) : nullptr;
        if (!seatPlaced || *seatPlaced || !placing.points) {
            return;
        }
        *seatPlaced = true;
        const long long own = *placing.points - *numbered(*totals, *seat);
        if (start && *start != own) {
            return;
        }
        start = own;
    }
    game.startPoints = start;
    for (SeatFacts& seat : game.seats) {
        seat.bust = *start + *numbered(*totals, seat.seat) < 0;
    }
}

} // namespace

void isoTime(const char* logTime, std::optional<std::string>& iso) {
    const std::string_view text(logTime);
    static const char kShape[] = "dddd/dd/dd dd:dd";
    bool shaped = text.size() == sizeof kShape - 1;
    for (std::size_t i = 0; shaped && i < text.size(); ++i) {
        shaped = kShape[i] == 'd' ? isDigit(text[i]) : text[i] == kShape[i];
    }
    if (!shaped) {
        iso.reset();
        return;
    }
    if (!iso) {
        iso.emplace();
    }
    iso->assign(text.data(), text.size());
    (*iso)[4] = (*iso)[7] = '-';
}

std::optional<std::string> isoTime(const char* logTime) {
    std::optional<std::string> iso;
    isoTime(logTime, iso);
    return iso;
}

SeatPart seatPart(const HandFacts& hand, int seat, std::string_view name) {
    const auto mine = [&](const PointChange& c) {
        return c.seat ? *c.seat == seat : c.name == name;
    };
    SeatPart part;
    int payers = 0;
    bool paid = false;
    for (const PointChange& c : hand.changes) {
        if (mine(c)) {
            part.change += c.change;
            if (c.change > 0 && !part.won) {
                part.won = true;
                part.gain = c.change;
            }
        }
        if (c.change < 0) {
            ++payers;
            paid = mine(c);
        }
    }
    part.onlyPayer = payers == 1 && paid;
    return part;
}

std::size_t tableSeats(const GameFacts& game) {
    return static_cast<std::size_t>(std::clamp(game.playerCount, 0, kPlacingCount));
}

void readGameFacts(const GameRecord& record, int number, GameFacts& game) {
    game.number = number;
    game.startRaw = record.startTime;
    game.endRaw = record.endTime;
    isoTime(record.startTime, game.start);
    isoTime(record.endTime, game.end);
    game.table = record.tableName;
    game.playerCount = record.playerCount;
    game.aborted = record.aborted();
    game.playerLine = record.playerLine;
    readSeats(record.playerLine, record.playerCount, game.seats);
    const int placings = game.aborted ? 0 : static_cast<int>(tableSeats(game));
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

void SpareHandFacts::resize(std::vector<HandFacts>& hands, std::size_t count) {
    while (hands.size() > count) {
        list_.push_back(std::move(hands.back()));
        hands.pop_back();
    }
    while (hands.size() < count) {
        if (list_.empty()) {
            hands.emplace_back();
        } else {
            hands.push_back(std::move(list_.back()));
            list_.pop_back();
        }
    }
}

void readHandFacts(const GameRecord& record, GameFacts& game) {
    // Kept rather than cleared: each hand's lists are written over.
    std::vector<HandFacts>& hands = game.hands;
    game.spareHands.resize(hands, record.hands.size());
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
    // Start points mean every seat of the table is in the line: seat order is seat number.
    std::vector<long long> points(tableSeats(game), *game.startPoints);
    for (HandFacts& facts : hands) {
        for (const PointChange& change : facts.changes) {
            if (long long* own = change.seat ? numbered(points, *change.seat) : nullptr) {
                *own += change.change;
            }
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

const SeatFacts* findSeat(const GameFacts& game, std::string_view name) {
    for (const SeatFacts& seat : game.seats) {
        if (seat.name == name) {
            return &seat;
        }
    }
    return nullptr;
}

const PlacingFacts* findPlacing(const GameFacts& game, std::string_view name) {
    for (const PlacingFacts& placing : game.placings) {
        if (placing.name == name) {
            return &placing;
        }
    }
    return nullptr;
}

HeldGame::HeldGame(const GameRecord& record, const GameFacts& facts)
    : record_(record), number_(facts.number), withHands_(!facts.hands.empty()) {}

void HeldGame::hold(const GameRecord& record, const GameFacts& facts) {
    record_ = record;
    number_ = facts.number;
    withHands_ = !facts.hands.empty();
    facts_.reset();
}

const GameFacts& HeldGame::facts() const {
    if (!facts_) {
        facts_ = gameFacts(record_, number_, withHands_);
    }
    return *facts_;
}
