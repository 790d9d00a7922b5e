// Writes valid score logs of any size from a seed, for tests, benchmarks and fuzz seeds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The service's rating rule for the owner's ratings, for tests that learn it back:
// after a completed half-game the owner's rating moves by a[place] + (T − R) ÷ divisor,
// T the mean rating of the others and R the owner's. The others' ratings are drawn so
// that the move is a whole number, so the rule holds exactly.
struct GeneratedRatingRule {
    std::array<std::vector<int>, 3> a; // by place, for 4, 3 and 2 players
    int divisor = 4;                   // b = 1 / divisor
    int start = 1500;                  // the owner's first rating at each size
};

struct GeneratorOptions {
    std::uint64_t seed = 1;
    int halfGames = 14;
    // Hands of a completed half-game vary around this; aborted ones hold fewer.
    int averageHands = 12;
    bool crlf = true;
    // Share of half-games that end with the abort line, in percent (0 for none).
    int abortedPercent = 12;
    // With a rule, the owner (Kuma, the last name) sits in every half-game and their
    // ratings follow it; without, every rating is drawn at random.
    const GeneratedRatingRule* ratingRule = nullptr;
};

// What a generated log holds, so a test can check a load against it.
struct GeneratorStats {
    int halfGames = 0;
    int completed = 0;
    int aborted = 0;
    int abortedWithoutHands = 0;
    int twoPlayer = 0;
    int threePlayer = 0;
    int fourPlayer = 0;
    std::uint64_t hands = 0;
};

// The log as CP932 bytes; the same options always give the same bytes, on every
// platform. Every half-game is valid, so the whole log loads.
std::string generateScoreLog(const GeneratorOptions& options, GeneratorStats* stats = nullptr);

// The number of records a load of that log gives.
inline int expectedRecordCount(const GeneratorOptions& options) {
    return options.halfGames > 0 ? options.halfGames : 0;
}
