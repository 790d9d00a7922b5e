// Score logs read through the command's one pass and kept whole, for tests that look at
// any half-game by its position.
#pragma once

#include <string>
#include <vector>

#include "analysis/LogSet.h"

struct LoadedLog {
    std::vector<GameRecord> records;
    std::vector<RecordLines> lineSets;
    std::vector<RecordOrigin> origins;
    std::vector<LoadProblem> problems;
    std::size_t duplicates = 0;
    bool ok = false;

    std::size_t size() const { return records.size(); }
    const GameRecord& record(std::size_t position) const { return records.at(position); }
    const RecordLines& lines(std::size_t position) const { return lineSets.at(position); }
};

inline LoadedLog loadLog(std::vector<std::string> files, const LogSetOptions& options = {}) {
    LogSet logs;
    logs.load(std::move(files), options);
    LoadedLog out;
    out.ok = logs.read([&](const LoadedGame& game) {
        out.records.push_back(game.record);
        out.lineSets.push_back(game.lines);
        out.origins.push_back(game.origin);
    });
    out.problems = logs.problems();
    out.duplicates = logs.duplicates();
    return out;
}
