// Writes valid score logs of any size from a seed, for tests, benchmarks and fuzz seeds.
#pragma once

#include <cstdint>
#include <string>

struct GeneratorOptions {
    std::uint64_t seed = 1;
    int halfGames = 14;
    // Hands of a completed half-game vary around this; aborted ones hold fewer.
    int averageHands = 12;
    bool crlf = true;
    // Share of half-games that end with the abort line, in percent (0 for none).
    int abortedPercent = 12;
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
