// The facts of a half-game and its hands, read out of the loaded record's fields.
// Every text is CP932, as in the record, and is a view into the record's fields: the
// facts are valid while their record is (HeldGame keeps both, to use them later). A
// piece that does not parse stays absent (an empty optional), and the raw text it came
// from is kept beside it.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/GameRecord.h"

struct SeatFacts {
    int seat = 0;              // 1 to 4: the [n] of the player line
    std::string_view name;     // the entry less its rating word; empty if none
    std::optional<int> rating; // "R1318" -> 1318; absent for "R-" or a rating too large
    std::string_view raw;      // the entry as written after "[n]", spaces trimmed
    bool bust = false;         // below 0 after the last hand (飛び); only with running points
};

struct PlacingFacts {
    std::optional<int> place;        // the n of "n位"
    std::string_view name;           // between the place and the score
    std::optional<int> scoreTenths;  // "+40.8" -> 408; absent without a sign
    std::optional<long long> points; // "(60800)" -> 60800
    std::string_view raw;            // the placing line from "n位" on
};

// What a point change was paid or received for.
enum class ChangeRole { Win, DealIn, TsumoPayment, DrawPayment, DrawReceipt, Other };

struct PointChange {
    std::string_view name;
    int change = 0;          // "+5200" -> 5200, "-5200" -> -5200
    std::optional<int> seat; // the one seat with that name
    ChangeRole role = ChangeRole::Other;
};

// How a hand ended. Win: a win at 2 players, where ron and tsumo pay alike.
enum class HandKind { Ron, Tsumo, Win, Draw, Other };

struct HandFacts {
    int number = 0;                       // 1-based within the half-game
    std::string_view title;               // handName as stored
    std::optional<std::string_view> wind; // "東" of "東1局"
    std::optional<int> round;             // 1 of "東1局"
    std::optional<int> honba;             // 0 of "0本場"
    std::optional<int> riichiSticks;      // 1 of "(リーチ1)"
    std::string_view result;              // handResult as stored
    bool resultParsed = false;            // every piece of result read as name and change
    std::vector<PointChange> changes;     // in the order of the result line
    bool draw = false;                    // 流局, in the result or the yaku line
    // Non-draws: the players whose change is positive. Draws: none.
    std::vector<std::string_view> winners;
    // The players whose change is negative (in a draw, those paying for no tenpai).
    std::vector<std::string_view> payers;
    std::string_view yaku; // handYaku as stored
    // The yaku line in words; "役牌 白", "場風 東" and "自風 南" stay one token each.
    std::vector<std::string_view> yakuTokens;

    // Their rules: docs/stats.md, "The facts of a hand". Dealer, kind, seats, tenpai and
    // points need the half-game.
    std::optional<int> dealer;             // seat: the title's (親:NAME), or its round
    std::optional<HandKind> kind;          // absent when a non-draw's result does not read
    std::optional<int> fu, han;            // "30符", "4飜" or "4翻"
    std::optional<std::string_view> limit; // "満貫", "倍満", "役満", ...
    std::vector<std::string_view>
        yakuNames;                  // yakuTokens less value, dora and draw words; once each
    int dora = 0, ura = 0, aka = 0; // "ドラ3", "裏1", "赤1", summed
    // Draws: the seats after "聴牌:", in seat order; empty for "聴牌:なし".
    std::optional<std::vector<int>> tenpai;
    std::optional<bool> winnerRiichi; // one winner only: 立直 or ダブル立直 in the yaku
    // Each seat's points after this hand, seat order; empty without running points.
    std::vector<long long> pointsAfter;
};

// Hand facts beyond the current half-game's, kept with their lists for a longer one,
// so that a GameFacts read again and again allocates almost nothing. A copy of the
// facts takes none of them.
class SpareHandFacts {
  public:
    SpareHandFacts() = default;
    SpareHandFacts(const SpareHandFacts&) {}
    SpareHandFacts& operator=(const SpareHandFacts&) { return *this; }
    SpareHandFacts(SpareHandFacts&&) noexcept = default;
    SpareHandFacts& operator=(SpareHandFacts&&) noexcept = default;

    // Gives hands count entries, the spare ones first; the entries' fields are stale.
    void resize(std::vector<HandFacts>& hands, std::size_t count);

  private:
    std::vector<HandFacts> list_;
};

struct GameFacts {
    int number = 0;                        // 1-based, in the order the command lists games
    std::string_view startRaw, endRaw;     // startTime and endTime as stored
    std::optional<std::string> start, end; // "2003/06/06 08:24" -> "2003-06-06 08:24"
    std::string_view table;
    int playerCount = 0;
    bool aborted = false;               // ended with the abort line (途中終了)
    std::string_view playerLine;        // as stored
    std::vector<SeatFacts> seats;       // one per player, seat order
    std::vector<PlacingFacts> placings; // completed games: one per placing line
    // Each player's placing points less their changes, when every player's gives the
    // same; absent for aborted games and when anything it needs does not read.
    std::optional<long long> startPoints;
    std::vector<HandFacts> hands; // filled only when asked for
    SpareHandFacts spareHands;
};

// The entry numbered n (1 for the first) of a list kept by a number that a log gives: a
// seat, a place. Null when the list has no such entry. Every list indexed by such a
// number goes through here, so that no number of a log reaches past its list.
template <typename List> auto numbered(List& list, int n) -> decltype(&list[0]) {
    if (n < 1 || static_cast<std::size_t>(n) > std::size(list)) {
        return nullptr;
    }
    return &list[static_cast<std::size_t>(n - 1)];
}

// One seat's part in a hand, by the rules every tally shares: the seat's entries are
// found by seat where its name is a seat's alone, else by name; its first gain is its
// win; a deal-in is a hand whose one payer it is (where payments tell ron from tsumo).
struct SeatPart {
    long long change = 0; // the sum of its entries
    int gain = 0;         // its win's points, when it won
    bool won = false;
    bool onlyPayer = false;
};
SeatPart seatPart(const HandFacts& hand, int seat, std::string_view name);

// How many seats the half-game's table has: the seat numbers of its facts run from 1 to
// this, and the lists kept by seat have this many entries.
std::size_t tableSeats(const GameFacts& game);

// How many seat marks of a player line as the log writes it (the loader keeps the line
// from its first "[1]" on) give no seat in the facts: a mark before that "[1]", a seat's
// second mark, a seat past the table's size ("[4]" without "[3]"). Marks past "[4]" after
// the first "[1]" are not counted here: LogSet warns of them apart.
int unreadSeatMarks(std::string_view playerLine, int playerCount);

// The facts of one record; its hands too when withHands is set.
GameFacts gameFacts(const GameRecord& record, int number, bool withHands = true);

// The same in steps, over a GameFacts kept from one half-game to the next so that a
// pass over many allocates almost nothing. readGameFacts fills the half-game's own
// facts (no start points; the hands are left as they were, to be written over); then
// readHandFacts adds every hand's and the running points, or readStartPoints the start
// points and busts alone (and no hands).
void readGameFacts(const GameRecord& record, int number, GameFacts& game);
void readHandFacts(const GameRecord& record, GameFacts& game);
void readStartPoints(const GameRecord& record, GameFacts& game);

// A half-game kept past the visit that read it: its own copy of the record, whose facts
// are read again from the copy when first asked for (most kept half-games never are).
// It stays where it was made (it can be neither copied nor moved, as the facts view the
// copy): keep it in a node-based container or behind a pointer. Not for two threads.
class HeldGame {
  public:
    // facts: what the pass read of record, which the copy's facts will equal.
    HeldGame(const GameRecord& record, const GameFacts& facts);
    HeldGame(const HeldGame&) = delete;
    HeldGame& operator=(const HeldGame&) = delete;

    // Keeps another half-game instead, reusing the memory of the last.
    void hold(const GameRecord& record, const GameFacts& facts);

    const GameRecord& record() const { return record_; }
    const GameFacts& facts() const;

  private:
    GameRecord record_;
    int number_;
    bool withHands_;
    mutable std::optional<GameFacts> facts_;
};

// The seat whose name is name, or null.
const SeatFacts* findSeat(const GameFacts& game, std::string_view name);
// The placing of the player called name, or null (aborted games have none).
const PlacingFacts* findPlacing(const GameFacts& game, std::string_view name);

// "2003/06/06 08:24" -> "2003-06-06 08:24"; absent unless it is digits in that shape.
std::optional<std::string> isoTime(const char* logTime);
// The same into iso, whose string is used again.
void isoTime(const char* logTime, std::optional<std::string>& iso);
