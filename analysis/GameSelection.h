// What a command reads: its logs, its filter, and the facts of each selected half-game,
// all computed in the one pass that reads the logs. Every command goes through here.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "analysis/GameFacts.h"
#include "analysis/GameFilter.h"
#include "analysis/LogSet.h"

// What a command may make of a half-game's facts before its visit, on either of the
// pass's threads: the texts it writes, say. The strings are kept from game to game.
using RenderedGame = std::vector<std::string>;

// One selected half-game, as a visit sees it. The references last for the visit only.
struct SelectedGame {
    const GameFacts& facts;     // with hands when the pass was asked for them
    const RecordOrigin& origin; // its file and lines
    const RecordLines& lines;
    const GameRecord* record; // the record the facts view
    // What render made of it; null when the pass was given no render, or for the
    // newest N of a filter's last, which the visit renders itself.
    const RenderedGame* rendered = nullptr;
};

// What the pass works out of each selected half-game.
enum class FactsNeeded {
    None,  // nothing: the visit reads the record (no filter may be set)
    Games, // the half-game's own facts, without its hands
    Hands, // the half-game's facts with every hand's
};

class GameSelection {
  public:
    GameSelection(std::vector<std::string> files, const LogSetOptions& options,
                  GameFilter filter = {});
    GameSelection(const GameSelection&) = delete;
    GameSelection& operator=(const GameSelection&) = delete;

    // The one pass: reads every half-game once and visits each selected one, in order,
    // with the facts asked for. With a filter's last N the visits come after the pass,
    // for the newest N. Returns false when a broken half-game failed the logs (see
    // LogSet::read); nothing is visited after that.
    bool run(FactsNeeded needed, const std::function<void(const SelectedGame&)>& visit);
    // The same, with each selected half-game given to render first, which may run on
    // another thread than visit (and than the caller), while visit runs on the caller's,
    // in order: render must touch nothing but its half-game and what it makes.
    using Render = std::function<void(const SelectedGame&, RenderedGame&)>;
    bool run(FactsNeeded needed, const Render& render,
             const std::function<void(const SelectedGame&)>& visit);
    // The same, visiting each hand of each selected half-game together with it.
    bool forEachHand(const std::function<void(const GameFacts&, const HandFacts&)>& visit);

    // Told on the caller's thread, now and then during run(), how many half-games have
    // been read so far (of about logs().halfGamesFound()).
    void setProgress(std::function<void(std::size_t read)> progress) {
        progress_ = std::move(progress);
    }

    const LogSet& logs() const { return logs_; }
    const GameFilter& filter() const { return filter_; }
    // After run(): how many half-games the filter kept.
    std::size_t selectedCount() const { return selected_; }

  private:
    LogSet logs_;
    GameFilter filter_;
    std::size_t selected_ = 0;
    std::function<void(std::size_t)> progress_;
};
