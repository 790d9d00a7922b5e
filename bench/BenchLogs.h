// The generated score logs that every benchmark reads: one file per size, made once.
#pragma once

#include <cstddef>
#include <string>

// Half-game counts of the benchmark logs.
constexpr int kSmallLog = 1000;
constexpr int kMediumLog = 10000;
constexpr int kLargeLog = 100000;

// Where the log of that many half-games is kept; nothing is written.
std::string benchLogFileName(int halfGames);
// The path of the log of that many half-games (about 12 hands each), written on first use.
const std::string& benchLogPath(int halfGames);
// The same log's bytes, read once and kept.
const std::string& benchLogBytes(int halfGames);
std::size_t benchLogSize(int halfGames);
