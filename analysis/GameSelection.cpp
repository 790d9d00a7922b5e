// The pass every command makes: each half-game read once, its facts worked out once.
#include "analysis/GameSelection.h"

#include <deque>

GameSelection::GameSelection(std::vector<std::string> files, const LogSetOptions& options,
                             GameFilter filter)
    : filter_(std::move(filter)) {
    logs_.load(std::move(files), options);
}

bool GameSelection::run(FactsNeeded needed, const std::function<void(const SelectedGame&)>& visit) {
    selected_ = 0;
    const bool narrowing = narrows(filter_);
    const auto last = static_cast<std::size_t>(std::max(filter_.last, 0));
    // --last: only the facts of the newest N that passed so far, visited at the end.
    struct Held {
        GameFacts facts;
        RecordOrigin origin;
        RecordLines lines;
    };
    std::deque<Held> held;
    GameFacts facts;
    const bool read = logs_.read([&](const LoadedGame& game) {
        const int number = static_cast<int>(game.number);
        if (filter_.number != 0 && game.number != filter_.number) {
            return; // known without any facts
        }
        if (needed == FactsNeeded::None && !narrowing) {
            facts.number = number;
        } else {
            readGameFacts(game.record, number, facts);
            if (narrowing && !passes(filter_, facts)) {
                return;
            }
            if (needed == FactsNeeded::Hands) {
                readHandFacts(game.record, facts);
            } else {
                readStartPoints(game.record, facts);
            }
        }
        ++selected_;
        if (last > 0) {
            held.push_back({facts, game.origin, game.lines});
            if (held.size() > last) {
                held.pop_front();
            }
            return;
        }
        visit(SelectedGame{facts, game.origin, game.lines, &game.record});
    });
    if (!read) {
        return false;
    }
    selected_ = last > 0 ? held.size() : selected_;
    for (const Held& game : held) {
        visit(SelectedGame{game.facts, game.origin, game.lines, nullptr});
    }
    return true;
}

bool GameSelection::forEachHand(
    const std::function<void(const GameFacts&, const HandFacts&)>& visit) {
    return run(FactsNeeded::Hands, [&](const SelectedGame& game) {
        for (const HandFacts& hand : game.facts.hands) {
            visit(game.facts, hand);
        }
    });
}
